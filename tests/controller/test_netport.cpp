// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Network serial ports without a network: the port file's address, the telnet side of
// RFC 2217 on hand-written byte rows, the server's refusal text, and when a kicking server's
// port counts as taken.
#include "controller/netport/networkport.h"
#include "controller/netport/serverrefusal.h"
#include "controller/netport/takeoverrule.h"
#include "controller/netport/telnetcodec.h"

#include <QTest>

using namespace x10;
using Bytes = std::vector<std::uint8_t>;
Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(NetworkPort::Mode)

namespace {

// The codec fed rows as separate reads; its data, its replies and its notes.
struct Fed {
  Bytes data, replies;
  std::vector<std::string> notes;
};
Fed feed(TelnetCodec &codec, const QList<Bytes> &reads) {
  Fed out;
  for (const Bytes &read : reads) {
    codec.receive(read);
    const Bytes d = codec.takeData();
    const Bytes r = codec.takeReplies();
    out.data.insert(out.data.end(), d.begin(), d.end());
    out.replies.insert(out.replies.end(), r.begin(), r.end());
    for (auto &n : codec.takeNotes())
      out.notes.push_back(n);
  }
  return out;
}

const Bytes kSettings{255, 250, 44, 1, 0, 0,   0x12, 0xC0, 255, 240, // 4800 baud
                      255, 250, 44, 2, 8, 255, 240,                  // 8 data bits
                      255, 250, 44, 3, 1, 255, 240,                  // no parity
                      255, 250, 44, 4, 1, 255, 240,                  // one stop bit
                      255, 250, 44, 5, 1, 255, 240};                 // no flow control

} // namespace

class TestNetPort : public QObject {
  Q_OBJECT

private slots:
  void addresses_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("hostPort"); // empty: refused
    QTest::addColumn<NetworkPort::Mode>("mode");
    QTest::addColumn<QString>("error");
    const auto raw = NetworkPort::Mode::Raw;
    QTest::newRow("name") << QByteArray("tcp://pi.local:2001\n") << "pi.local:2001" << raw << "";
    QTest::newRow("ipv4, CRLF, more lines")
        << QByteArray("rfc2217://192.168.1.20:3002\r\n# the cupboard\n") << "192.168.1.20:3002"
        << NetworkPort::Mode::Rfc2217 << "";
    QTest::newRow("ipv6") << QByteArray(" tcp://[::1]:65535 ") << "[::1]:65535" << raw << "";
    QTest::newRow("missing port") << QByteArray("tcp://pi") << "" << raw
                                  << "no port number after the host (HOST:PORT)";
    QTest::newRow("empty port") << QByteArray("tcp://pi:") << "" << raw
                                << "no port number after the host (HOST:PORT)";
    QTest::newRow("port 0") << QByteArray("tcp://pi:0") << "" << raw
                            << "the port 0 is out of range 1..65535";
    QTest::newRow("port 65536") << QByteArray("tcp://pi:65536") << "" << raw
                                << "the port 65536 is out of range 1..65535";
    QTest::newRow("unknown scheme") << QByteArray("telnet://pi:23") << "" << raw
                                    << "not tcp://HOST:PORT or rfc2217://HOST:PORT";
    QTest::newRow("empty host") << QByteArray("tcp://:2001") << "" << raw
                                << "no host name or address before the port";
    QTest::newRow("trailing junk")
        << QByteArray("tcp://pi:2001/x") << "" << raw << "the port \"2001/x\" is not a number";
    QTest::newRow("path after host")
        << QByteArray("tcp://pi/dev:1") << "" << raw << "unexpected \"/dev:1\" after the host";
    QTest::newRow("ipv6 unclosed")
        << QByteArray("tcp://[::1:2001") << "" << raw << "an IPv6 address without its closing ]";
    QTest::newRow("empty file") << QByteArray() << "" << raw
                                << "not tcp://HOST:PORT or rfc2217://HOST:PORT";
  }
  void addresses() {
    QFETCH(QByteArray, text);
    QFETCH(QString, hostPort);
    QFETCH(NetworkPort::Mode, mode);
    QFETCH(QString, error);
    const auto port = parseNetworkPort(std::string_view(text.constData(), text.size()));
    if (hostPort.isEmpty()) {
      QVERIFY(!port);
      QCOMPARE(QString::fromStdString(port.error()), error);
      return;
    }
    QVERIFY2(port, port ? "" : port.error().c_str());
    QCOMPARE(QString::fromStdString(port->hostPort()), hostPort);
    QCOMPARE(port->mode, mode);
  }

  void clientOffersBinaryAndComPort() {
    TelnetCodec codec;
    QCOMPARE(codec.start(), (Bytes{255, 251, 0, 255, 253, 0, 255, 251, 44}));
  }

  // Server bytes, read by read; the data and the replies expected after start().
  void serverBytes_data() {
    QTest::addColumn<QList<Bytes>>("reads");
    QTest::addColumn<Bytes>("data");
    QTest::addColumn<Bytes>("replies");
    QTest::addColumn<QStringList>("notes");
    QTest::newRow("FF doubled is one data byte")
        << QList<Bytes>{{0xFF, 0xFF, 0xFF, 0xFF, 0x13, 0x40}} << Bytes{0xFF, 0xFF, 0x13, 0x40}
        << Bytes{} << QStringList{};
    QTest::newRow("doubled FF split across reads")
        << QList<Bytes>{{0x5A, 0xFF}, {0xFF, 0x01}} << Bytes{0x5A, 0xFF, 0x01} << Bytes{}
        << QStringList{};
    QTest::newRow("answers to our offers: no reply, settings once COM-PORT is on")
        << QList<Bytes>{{255, 253, 0, 255, 251, 0, 255, 253, 44}} << Bytes{} << kSettings
        << QStringList{};
    QTest::newRow("command split across reads") << QList<Bytes>{{0x5A, 255}, {253}, {44, 0xC3}}
                                                << Bytes{0x5A, 0xC3} << kSettings << QStringList{};
    QTest::newRow("echo and unknown options refused, go-ahead suppression accepted")
        << QList<Bytes>{{255, 251, 1, 255, 253, 24, 255, 251, 3, 255, 241, 0x55}} << Bytes{0x55}
        << Bytes{255, 254, 1, 255, 252, 24, 255, 253, 3} << QStringList{};
    QTest::newRow("COM-PORT answers noted, notices dropped, FF in a value")
        << QList<Bytes>{{255, 250, 44, 101, 0, 0, 0x12},
                        {0xC0, 255, 240, 0x5A},
                        {255, 250, 44, 106, 0x60, 255, 240},
                        {255, 250, 44, 102, 255, 255, 255, 240}}
        << Bytes{0x5A} << Bytes{}
        << QStringList{"the server set baud rate 4800", "the server set data bits 255"};
    QTest::newRow("COM-PORT answers in words, an unknown code as it came")
        << QList<Bytes>{{255, 250, 44, 103, 1, 255, 240, 255, 250, 44, 104, 3, 255, 240},
                        {255, 250, 44, 105, 1, 255, 240, 255, 250, 44, 105, 9, 255, 240},
                        {255, 250, 44, 103, 7, 255, 240}}
        << Bytes{} << Bytes{}
        << QStringList{"the server set parity none", "the server set stop bits 1.5",
                       "the server set no flow control", "the server set DTR off",
                       "the server set parity code 7"};
    QTest::newRow("COM-PORT refused")
        << QList<Bytes>{{255, 254, 44, 0x5A}} << Bytes{0x5A} << Bytes{}
        << QStringList{"the server refused the COM-PORT option: the line keeps its settings"};
  }
  void serverBytes() {
    QFETCH(QList<Bytes>, reads);
    QFETCH(Bytes, data);
    QFETCH(Bytes, replies);
    QFETCH(QStringList, notes);
    TelnetCodec codec;
    codec.start();
    const Fed fed = feed(codec, reads);
    QCOMPARE(fed.data, data);
    QCOMPARE(fed.replies, replies);
    QStringList got;
    for (const auto &n : fed.notes)
      got << QString::fromStdString(n);
    QCOMPARE(got, notes);
  }

  void dataToTheLineDoublesFF() {
    QCOMPARE(TelnetCodec::encode(Bytes{0x04, 0xFF, 0x66, 0xFF}),
             (Bytes{0x04, 0xFF, 0xFF, 0x66, 0xFF, 0xFF}));
  }

  void refusalTextIsHeldBackAndRecognised_data() {
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("refused");
    QTest::newRow("whole line") << QList<QByteArray>{"Port already in use\r\n"} << QByteArray()
                                << true;
    QTest::newRow("in pieces") << QList<QByteArray>{"Port al", "ready in ", "use"} << QByteArray()
                               << true;
    QTest::newRow("status reply") << QList<QByteArray>{"\xFF\xFF\x13"} << QByteArray("\xFF\xFF\x13")
                                  << false;
    QTest::newRow("a prefix, then other bytes")
        << QList<QByteArray>{"Po", "x", "Port"} << QByteArray("PoxPort") << false;
  }
  void refusalTextIsHeldBackAndRecognised() {
    QFETCH(QList<QByteArray>, reads);
    QFETCH(QByteArray, data);
    QFETCH(bool, refused);
    ServerRefusal refusal;
    QByteArray passed;
    for (const QByteArray &r : reads) {
      const Bytes out = refusal.pass(Bytes(r.begin(), r.end()));
      passed.append(reinterpret_cast<const char *>(out.data()), qsizetype(out.size()));
    }
    QCOMPARE(passed, data);
    QCOMPARE(refusal.refused(), refused);
  }
  // Times in ms from an origin; -1: the link was not re-taken since Init opened it.
  void takeoverIsARetakenLinkClosedAgainSoon_data() {
    QTest::addColumn<int>("retakenAt");
    QTest::addColumn<int>("lostAt");
    QTest::addColumn<bool>("closedByServer");
    QTest::addColumn<bool>("taken");
    QTest::newRow("Init's link closed at once") << -1 << 100 << true << false;
    QTest::newRow("re-taken, closed 2 s later") << 1000 << 3000 << true << true;
    QTest::newRow("re-taken, closed just inside 5 s") << 1000 << 5999 << true << true;
    QTest::newRow("re-taken, closed after 5 s") << 1000 << 6000 << true << false;
    QTest::newRow("re-taken, closed a minute later") << 1000 << 61000 << true << false;
    QTest::newRow("re-taken, lost by a network error") << 1000 << 2000 << false << false;
  }
  void takeoverIsARetakenLinkClosedAgainSoon() {
    QFETCH(int, retakenAt);
    QFETCH(int, lostAt);
    QFETCH(bool, closedByServer);
    QFETCH(bool, taken);
    const TakeoverRule::Time origin{};
    TakeoverRule rule;
    rule.retaken(origin); // an earlier retake, forgotten by Init's open below
    rule.opened();
    if (retakenAt >= 0)
      rule.retaken(origin + std::chrono::milliseconds(retakenAt));
    QCOMPARE(rule.takenByAnother(origin + std::chrono::milliseconds(lostAt), closedByServer),
             taken);
  }
};

QTEST_APPLESS_MAIN(TestNetPort)
#include "test_netport.moc"
