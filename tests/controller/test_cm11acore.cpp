// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The protocol core against a scripted interface on a virtual clock: every byte the core
// writes is checked against bytes written here by hand, and every reply is fed back.
#include "controller/protocol/cm11acore.h"
#include "controller/protocol/commandtext.h"

#include <QTest>

using namespace x10;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Monday, day 328, 21:04:19: the published set-clock example.
const WallClock kWall{328, 1, 21, 4, 19};
const Bytes kPowerFailClock{0x9B, 0x13, 0x40, 0x0A, 0x48, 0x82, 0x60}; // checksum 87
const Bytes kClearClock{0x9B, 0x13, 0x40, 0x0A, 0x48, 0x82, 0x63};     // checksum 8A
const Bytes kStatus{0xFF, 0xFF, 0x13, 0x40, 0x0A, 0x48, 0x82,
                    0x61, 0x40, 0x00, 0x40, 0x00, 0x00, 0x00};

enum class Feed { Whole, ByteByByte };

class Peer {
public:
  Cm11aCore core;
  Feed mode = Feed::Whole;

  Instant now() const { return {SteadyTime{} + elapsed_, kWall}; }
  void reply(const Bytes &bytes) {
    if (mode == Feed::Whole)
      core.receive(bytes, now());
    else
      for (auto b : bytes)
        core.receive(Bytes{b}, now());
  }
  void advance(std::chrono::milliseconds ms) {
    elapsed_ += ms;
    core.timePassed(now());
  }
  Bytes written() { return core.takeOutput(); }
  QStringList received() {
    QStringList texts;
    for (const auto &c : core.takeReceived())
      texts << QString::fromStdString(commandText(c));
    return texts;
  }
  std::vector<Transmission> a1On() {
    return {Transmission::address(*HouseCode::fromLetter('A'), *UnitCode::fromNumber(1)),
            Transmission::function(*HouseCode::fromLetter('A'), Function::On)};
  }

private:
  std::chrono::milliseconds elapsed_{0};
};

#define EXPECT_WRITTEN(peer, ...) QCOMPARE((peer).written(), (Bytes __VA_ARGS__))

} // namespace

class TestCm11aCore : public QObject {
  Q_OBJECT
private slots:
  void probeFedThreeWays_data() {
    QTest::addColumn<Feed>("mode");
    QTest::addColumn<Bytes>("trailing");
    QTest::addColumn<Bytes>("afterwards"); // what the core writes because of the trailing bytes
    QTest::newRow("whole") << Feed::Whole << Bytes{} << Bytes{};
    QTest::newRow("byte by byte") << Feed::ByteByByte << Bytes{} << Bytes{};
    QTest::newRow("trailing poll") << Feed::Whole << Bytes{0x5A} << Bytes{0xC3};
    QTest::newRow("trailing garbage, byte by byte")
        << Feed::ByteByByte << Bytes{0x07, 0x33} << Bytes{};
  }
  void probeFedThreeWays() {
    QFETCH(Feed, mode);
    QFETCH(Bytes, trailing);
    QFETCH(Bytes, afterwards);
    Peer p;
    p.mode = mode;
    p.core.startProbe(p.now());
    Bytes reply = kStatus;
    reply.insert(reply.end(), trailing.begin(), trailing.end());
    EXPECT_WRITTEN(p, {0x8B});
    p.reply(reply);
    const auto r = p.core.takeResult();
    QVERIFY(r && r->has_value());
    QCOMPARE((*r)->status->hour, 21);
    QCOMPARE(p.written(), afterwards);
  }

  void sendA1OnWithHandshake_data() {
    QTest::addColumn<Feed>("mode");
    QTest::newRow("whole") << Feed::Whole;
    QTest::newRow("byte by byte") << Feed::ByteByByte;
  }
  void sendA1OnWithHandshake() {
    QFETCH(Feed, mode);
    Peer p;
    p.mode = mode;
    p.core.startSend(p.a1On(), Completion::Done, p.now());
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0x6A});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    EXPECT_WRITTEN(p, {0x06, 0x62});
    p.reply({0x68});
    QVERIFY(!p.core.takeResult()); // SendWait waits for ready
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    QVERIFY(p.core.takeResult()->has_value());
    QVERIFY(!p.core.nextDeadline());
  }

  void uploadInIdleFedThreeWays_data() {
    QTest::addColumn<Feed>("mode");
    QTest::addColumn<Bytes>("upload");
    QTest::newRow("whole") << Feed::Whole << Bytes{0x03, 0x02, 0x66, 0x62};
    QTest::newRow("byte by byte") << Feed::ByteByByte << Bytes{0x03, 0x02, 0x66, 0x62};
    QTest::newRow("trailing garbage") << Feed::Whole << Bytes{0x03, 0x02, 0x66, 0x62, 0x11, 0x99};
  }
  void uploadInIdleFedThreeWays() {
    QFETCH(Feed, mode);
    QFETCH(Bytes, upload);
    Peer p;
    p.mode = mode;
    p.reply({0x5A});
    EXPECT_WRITTEN(p, {0xC3});
    p.reply(upload);
    QCOMPARE(p.received(), (QStringList{"A1", "A1 On"}));
    QCOMPARE(p.written(), Bytes{});
    QVERIFY(!p.core.nextDeadline());
  }

  void pollWhereChecksumWasDue() {
    Peer p;
    p.core.startSend(p.a1On(), Completion::Done, p.now());
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0x5A});
    EXPECT_WRITTEN(p, {0xC3});
    p.reply({0x02, 0x00, 0xE2});
    QCOMPARE(p.received(), QStringList{"B3"}); // nothing lost while sending
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0x6A}); // sent again
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    EXPECT_WRITTEN(p, {0x06, 0x62});
    p.reply({0x68});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    QVERIFY(p.core.takeResult()->has_value());
  }

  void checksumEqualToPoll() {
    // G1 is 04 56, whose checksum is 5A: taken as the checksum because it is the one expected.
    Peer p;
    p.core.startSend({Transmission::address(*HouseCode::fromLetter('G'), *UnitCode::fromNumber(1))},
                     Completion::Accepted, p.now());
    EXPECT_WRITTEN(p, {0x04, 0x56});
    p.reply({0x5A});
    QVERIFY(!p.core.takeResult()); // not "accepted" yet: that 5A may have been a poll
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    QVERIFY(p.core.takeResult()->has_value());
  }

  void pollMistakenForChecksumIsResolvedByTheNextPoll() {
    Peer p;
    p.core.startSend({Transmission::address(*HouseCode::fromLetter('G'), *UnitCode::fromNumber(1))},
                     Completion::Done, p.now());
    EXPECT_WRITTEN(p, {0x04, 0x56});
    p.reply({0x5A}); // really a poll
    p.advance(900ms);
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x5A}); // the interface ignored 00 and polls again
    EXPECT_WRITTEN(p, {0xC3});
    p.reply({0x03, 0x02, 0x66, 0x62});
    EXPECT_WRITTEN(p, {0x04, 0x56});
    p.reply({0x5A});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    QVERIFY(p.core.takeResult()->has_value());
    QCOMPARE(p.received(), (QStringList{"A1", "A1 On"}));
  }

  void wrongChecksumIsResentThenFails() {
    Peer p;
    p.core.startSend(p.a1On(), Completion::Done, p.now());
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0x6B, 0x6A}); // a late right byte is dropped with the wrong one
    EXPECT_WRITTEN(p, {});
    p.advance(100ms); // resent once the line is quiet
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0x12});
    p.advance(100ms);
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0x6B});
    const auto r = p.core.takeResult();
    QVERIFY(r && !r->has_value());
    QCOMPARE(r->error().failure, Failure::ChecksumWrong);
    QVERIFY2(QString::fromStdString(r->error().message).contains("expected 0x6A"),
             r->error().message.c_str());
    QCOMPARE(p.written(), Bytes{}); // never a go-ahead for a wrong checksum
  }

  void powerFailStormDuringProbe() {
    Peer p;
    p.core.startProbe(p.now());
    EXPECT_WRITTEN(p, {0x8B});
    p.reply({0xA5});
    p.advance(100ms); // a lone A5 then silence: a power-fail poll
    EXPECT_WRITTEN(p, (kPowerFailClock));
    p.reply({0x87});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    EXPECT_WRITTEN(p, {0x8B});
    p.reply(kStatus);
    QVERIFY(p.core.takeResult()->has_value());
  }

  void powerFailPollDuringSendAndLater() {
    Peer p;
    p.core.startSend(p.a1On(), Completion::Done, p.now());
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0xA5});
    EXPECT_WRITTEN(p, (kPowerFailClock));
    p.reply({0x87});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0x6A});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    EXPECT_WRITTEN(p, {0x06, 0x62});
    p.reply({0x68});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    QVERIFY(p.core.takeResult()->has_value());
    p.reply({0xA5}); // idle
    EXPECT_WRITTEN(p, (kPowerFailClock));
    p.reply({0x87});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    QVERIFY(!p.core.nextDeadline());
  }

  void clearStopsStormWithoutPurging() {
    Peer p;
    p.core.startClear(p.now());
    p.reply({0xA5}); // dropped while resynchronising
    QCOMPARE(p.written(), Bytes{});
    p.advance(100ms);
    EXPECT_WRITTEN(p, (kClearClock));
    p.reply({0x5A}); // a poll was pending too
    EXPECT_WRITTEN(p, {0xC3});
    p.reply({0x02, 0x00, 0x66});
    EXPECT_WRITTEN(p, (kClearClock));
    p.reply({0x8A});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    QVERIFY(p.core.takeResult()->has_value());
    QCOMPARE(p.received(), QStringList{"A1"});
  }

  // An upload the parser refuses is dropped as soon as its last byte is in, one cut short once
  // the pause ends it; either way the line is drained before the next poll is answered.
  void badUploadIsDroppedAndLineResynchronised_data() {
    QTest::addColumn<Bytes>("upload");
    QTest::addColumn<int>("waitMs");
    QTest::newRow("size 10, all its bytes")
        << Bytes{0x0A, 0x00, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66} << 0;
    QTest::newRow("size 10, cut short") << Bytes{0x0A, 0x00, 0x66} << 100;
    QTest::newRow("size 0") << Bytes{0x00} << 0;
    QTest::newRow("cut short") << Bytes{0x03, 0x02, 0x66} << 100;
  }
  void badUploadIsDroppedAndLineResynchronised() {
    QFETCH(Bytes, upload);
    QFETCH(int, waitMs);
    Peer p;
    p.reply({0x5A});
    EXPECT_WRITTEN(p, {0xC3});
    p.reply(upload);
    p.advance(std::chrono::milliseconds(waitMs));
    p.reply({0x62, 0x5A}); // rest of the damaged upload, then a poll: all dropped while draining
    QCOMPARE(p.written(), Bytes{});
    p.advance(100ms);
    QVERIFY(!p.core.nextDeadline());
    p.reply({0x5A});
    EXPECT_WRITTEN(p, {0xC3});
    p.reply({0x03, 0x02, 0x66, 0x62});
    QCOMPARE(p.received(), (QStringList{"A1", "A1 On"}));
  }

  // The upload's last byte is lost; the interface's next poll must not stand in for it.
  void pauseInsideAnUploadEndsIt() {
    Peer p;
    p.reply({0x5A});
    EXPECT_WRITTEN(p, {0xC3});
    p.reply({0x03, 0x02, 0x62}); // A3, then its function byte never comes
    p.advance(100ms);
    p.advance(100ms); // dropped, and the line stayed quiet
    QVERIFY(!p.core.nextDeadline());
    p.reply({0x5A});
    EXPECT_WRITTEN(p, {0xC3});
    p.reply({0x03, 0x02, 0x66, 0x62});
    QCOMPARE(p.received(), (QStringList{"A1", "A1 On"}));
  }

  void bytesThatMeanNothing() {
    Peer p;
    p.reply({0x07, 0xFF, 0x33, 0x55, 0x00});
    QCOMPARE(p.written(), Bytes{});
    QVERIFY(!p.core.nextDeadline());
    p.core.startSend(p.a1On(), Completion::Done, p.now());
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0x6A});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x13, 0x37, 0x55}); // noise before ready
    EXPECT_WRITTEN(p, {0x06, 0x62});
    p.reply({0x68});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    QVERIFY(p.core.takeResult()->has_value());
  }

  // The interface holds our frame while another transmitter's dim is on the line, so "ready"
  // may come seconds after the go-ahead; the send must still succeed.
  void readyLateBehindOtherTrafficSucceeds() {
    Peer p;
    p.core.startSend(p.a1On(), Completion::Done, p.now());
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0x6A});
    EXPECT_WRITTEN(p, {0x00});
    p.advance(5000ms);
    QVERIFY(!p.core.takeResult());
    p.reply({0x55});
    EXPECT_WRITTEN(p, {0x06, 0x62});
    p.reply({0x68});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    QVERIFY(p.core.takeResult()->has_value());
  }

  void silenceEndsEveryWait_data() {
    QTest::addColumn<int>("operation"); // 0 probe, 1 send A1, 2 send A Dim 22 past the checksum
    QTest::addColumn<int>("deadlineMs");
    QTest::addColumn<Failure>("failure");
    QTest::newRow("status") << 0 << 1500 << Failure::NoAnswer;
    QTest::newRow("checksum") << 1 << 1000 << Failure::NoAnswer;
    // 22 dims: (22 x 11 + 3) cycles at 50 Hz = 4900 ms, plus the line busy with another
    // transmitter's address and full dim (25 + 245 cycles = 5400 ms), plus 1000 ms margin.
    QTest::newRow("ready after full dim") << 2 << 11300 << Failure::NotDone;
  }
  void silenceEndsEveryWait() {
    QFETCH(int, operation);
    QFETCH(int, deadlineMs);
    QFETCH(Failure, failure);
    Peer p;
    if (operation == 0)
      p.core.startProbe(p.now());
    else if (operation == 1)
      p.core.startSend(p.a1On(), Completion::Done, p.now());
    else {
      p.core.startSend({Transmission::function(*HouseCode::fromLetter('A'), Function::Dim, 22)},
                       Completion::Done, p.now());
      EXPECT_WRITTEN(p, {0xB6, 0x64});
      p.reply({0x1A});
    }
    p.advance(std::chrono::milliseconds(deadlineMs - 1));
    QVERIFY(!p.core.takeResult());
    p.advance(1ms);
    const auto r = p.core.takeResult();
    QVERIFY(r && !r->has_value());
    QCOMPARE(r->error().failure, failure);
  }

  void statusRepliesThatAreNoneAreWrongAnswers_data() {
    QTest::addColumn<Bytes>("reply");
    QTest::addColumn<QString>("message");
    QTest::newRow("cut short") << Bytes{0xFF, 0xFF, 0x13}
                               << "status reply cut short: 3 of 14 bytes (FF FF 13): wrong speed, "
                                  "or not an interface of this kind";
    QTest::newRow("fourteen zeros")
        << Bytes(14, 0x00)
        << "the status reply was nothing but zero bytes: a line held in break or a wrong device, "
           "not an interface of this kind";
    QTest::newRow("no day of the week")
        << Bytes{0xFF, 0xFF, 0x13, 0x40, 0x0A, 0x48, 0x80, 0x61, 0x40, 0x00, 0x40, 0x00, 0x00, 0x00}
        << "status reply FF FF 13 40 0A 48 80 61 40 00 40 00 00 00 has no day of the week set: "
           "not an interface of this kind, or the wrong speed";
  }
  void statusRepliesThatAreNoneAreWrongAnswers() {
    QFETCH(Bytes, reply);
    QFETCH(QString, message);
    Peer p;
    p.core.startProbe(p.now());
    EXPECT_WRITTEN(p, {0x8B});
    p.reply(reply);
    p.advance(1500ms);
    const auto r = p.core.takeResult();
    QVERIFY(r && !r->has_value());
    QCOMPARE(r->error().failure, Failure::WrongAnswer);
    QCOMPARE(QString::fromStdString(r->error().message), message);
  }

  // Each operation's bound: 4 s for the line, 3 s a step, and each transmission's ready wait
  // (its power-line time at 50 Hz, plus 5.4 s for another transmitter's address and full dim,
  // plus 1 s).
  void callBounds_data() {
    QTest::addColumn<OperationKind>("kind");
    QTest::addColumn<int>("transmissions"); // 0: none, 1: A1 On, 2: A Dim 22
    QTest::addColumn<int>("boundMs");
    QTest::newRow("status request") << OperationKind::Probe << 0 << 7000;
    // resync and set-clock: 4 + 2 x 3 + (0 + 5.4 + 1)
    QTest::newRow("clear") << OperationKind::Clear << 0 << 16400;
    // two frames of 25 cycles: 4 + 2 x (3 + 0.5 + 5.4 + 1)
    QTest::newRow("A1 On") << OperationKind::Send << 1 << 23800;
    // 22 x 11 + 3 cycles: 4 + 3 + 4.9 + 5.4 + 1
    QTest::newRow("A Dim 22") << OperationKind::Send << 2 << 18300;
  }
  void callBounds() {
    QFETCH(OperationKind, kind);
    QFETCH(int, transmissions);
    QFETCH(int, boundMs);
    Peer p;
    const std::vector<std::vector<Transmission>> sends{
        {}, p.a1On(), {Transmission::function(*HouseCode::fromLetter('A'), Function::Dim, 22)}};
    QCOMPARE(Cm11aCore::callBound(kind, sends[static_cast<std::size_t>(transmissions)]).count(),
             boundMs);
  }

  // An interface that answers every byte 1 ms inside its deadline and breaks in with a poll and
  // a slow upload as often as a step allows, then gives the checksum and "ready" just in time:
  // without a bound of its own the call would take tens of seconds.
  void justInsideEveryDeadlineStillEndsAtTheBound_data() {
    QTest::addColumn<bool>("send"); // A1 On, or the status request
    QTest::addColumn<int>("boundMs");
    QTest::newRow("status request") << false << 7000;
    QTest::newRow("SendWait A1 On") << true << 23800;
  }
  void justInsideEveryDeadlineStillEndsAtTheBound() {
    QFETCH(bool, send);
    QFETCH(int, boundMs);
    Peer p;
    if (send)
      p.core.startSend(p.a1On(), Completion::Done, p.now());
    else
      p.core.startProbe(p.now());
    const SteadyTime start = p.now().steady;
    Bytes planned;
    bool oneByOne = false; // an upload's bytes each come just inside the gap allowed
    // A poll for a status request must leave the poll's gap before the reply's deadline.
    auto lead = 1ms;
    int polls = 0;
    std::optional<OperationResult> r;
    for (int round = 0; round < 10000 && !r; r = p.core.takeResult(), ++round) {
      const Bytes out = p.written();
      oneByOne = out == Bytes{0xC3} || (oneByOne && out.empty());
      if (out == Bytes{0xC3}) {
        planned = {0x09, 0x00, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66};
      } else if (out == Bytes{0x00}) {
        planned = {0x55};
        polls = 0;
      } else if (out == Bytes{0x8B} || out.size() == 2) {
        const auto checksum = static_cast<std::uint8_t>(out.size() == 2 ? out[0] + out[1] : 0);
        planned = polls++ < 8 ? Bytes{0x5A} : out.size() == 2 ? Bytes{checksum} : kStatus;
        lead = out == Bytes{0x8B} && planned == Bytes{0x5A} ? 101ms : 1ms;
      }
      const auto due = p.core.nextDeadline();
      QVERIFY(due);
      const auto wait =
          std::chrono::duration_cast<std::chrono::milliseconds>(*due - p.now().steady);
      if (planned.empty() || wait <= lead) {
        p.advance(wait); // nothing to say: let the deadline pass (a poll's gap, say)
        continue;
      }
      p.advance(wait - lead);
      const auto n = static_cast<long>(oneByOne ? 1 : planned.size());
      p.reply(Bytes(planned.begin(), planned.begin() + n));
      planned.erase(planned.begin(), planned.begin() + n);
    }
    QVERIFY(r && !r->has_value());
    QCOMPARE(r->error().failure, Failure::TooSlow);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(p.now().steady - start);
    QVERIFY2(took.count() <= boundMs && took.count() > boundMs - 1000,
             qPrintable(QString::number(took.count())));
  }

  // A line of noise is noted once a second, with the count of the rest.
  void strayBytesAreNotedOnceASecond() {
    Peer p;
    p.reply({0x07, 0x11, 0x13, 0x33, 0x00});
    p.advance(999ms);
    p.reply({0x44});
    p.advance(1ms);
    p.reply({0x09});
    p.advance(500ms);
    p.reply({0x22});
    p.advance(500ms);
    p.reply({0x0A});
    QStringList notes;
    for (const auto &line : p.core.takeNotes())
      notes << QString::fromStdString(line);
    QCOMPARE(notes, (QStringList{"ignored stray byte 0x07",
                                 "ignored 5 more stray bytes within a second of the last one noted",
                                 "ignored stray byte 0x09",
                                 "ignored 1 more stray bytes within a second of the last one noted",
                                 "ignored stray byte 0x0A"}));
  }

  // A power failure while an accepted send is still on the line: the clock is answered, the
  // accepted frame is not sent again (it may have gone out), and the next send goes on with
  // exactly one result.
  void powerFailDuringAcceptedSendLetsTheNextOneThrough() {
    Peer p;
    p.core.startSend(p.a1On(), Completion::Accepted, p.now());
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0x6A, 0x55});
    EXPECT_WRITTEN(p, {0x00, 0x06, 0x62});
    p.reply({0x68});
    QVERIFY(p.core.takeResult()->has_value());
    p.core.startSend({Transmission::function(*HouseCode::fromLetter('A'), Function::Off)},
                     Completion::Done, p.now());
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0xA5}); // the power failed: no ready for A On
    QCOMPARE(p.written(), kPowerFailClock);
    p.reply({0x87, 0x55});
    EXPECT_WRITTEN(p, {0x00, 0x06, 0x63}); // straight on to A Off
    QVERIFY(!p.core.takeResult());
    p.reply({0x69, 0x55});
    EXPECT_WRITTEN(p, {0x00});
    QVERIFY(p.core.takeResult()->has_value());
    QVERIFY(!p.core.takeResult());
  }

  void sendAfterExecWaitsForReady() {
    Peer p;
    p.core.startSend(p.a1On(), Completion::Accepted, p.now());
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0x6A});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    EXPECT_WRITTEN(p, {0x06, 0x62});
    p.reply({0x68});
    QVERIFY(p.core.takeResult()->has_value());
    p.core.startSend({Transmission::function(*HouseCode::fromLetter('A'), Function::Off)},
                     Completion::Done, p.now());
    QCOMPARE(p.written(), Bytes{0x00}); // only the go-ahead; A Off waits for ready
    p.reply({0x55});
    EXPECT_WRITTEN(p, {0x06, 0x63});
    p.reply({0x69});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    QVERIFY(p.core.takeResult()->has_value());
    QVERIFY_THROWS_EXCEPTION(std::logic_error, [&] {
      p.core.startProbe(p.now());
      p.core.startProbe(p.now());
    }());
  }

  // Found by fuzzing: a power-fail poll in the tail of a send already reported accepted sent
  // its last transmission again, unasked, while the caller had moved on.
  void powerFailAfterAcceptedSendsOnlyTheClock() {
    Peer p;
    p.core.startSend({p.a1On().back()}, Completion::Accepted, p.now());
    EXPECT_WRITTEN(p, {0x06, 0x62});
    p.reply({0x68});
    EXPECT_WRITTEN(p, {0x00});
    QVERIFY(p.core.takeResult()->has_value());
    p.reply({0xA5});
    EXPECT_WRITTEN(p, (kPowerFailClock));
    p.reply({0x87});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    QCOMPARE(p.written(), Bytes{}); // A On is not sent again
    QVERIFY(!p.core.nextDeadline());
    QVERIFY(!p.core.takeResult());
  }

  // Found by fuzzing: each answered power-fail poll restarted the count of interruptions, so
  // an interface that kept failing held a send (and the caller waiting on it) forever.
  void powerFailStormFailsTheStep() {
    Peer p;
    p.core.startSend(p.a1On(), Completion::Done, p.now());
    for (int i = 0; i < 8; ++i) { // eight may cut into a step, the ninth fails it
      EXPECT_WRITTEN(p, {0x04, 0x66});
      p.reply({0xA5});
      EXPECT_WRITTEN(p, (kPowerFailClock));
      p.reply({0x87});
      EXPECT_WRITTEN(p, {0x00});
      p.reply({0x55});
    }
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0xA5});
    const auto r = p.core.takeResult();
    QVERIFY(r);
    QCOMPARE(r->error().failure, Failure::KeptInterrupting);
  }

  // One power-fail poll, then a stray FF every 50 ms and no answers: the owed set-clock goes out
  // three times (each FF a wrong checksum, each resync cut off after 2 s of noise) and is
  // given up; an operation never waits for the line beyond its bound, and once the noise
  // stops the core works.
  void powerFailPollThenNoise_data() {
    QTest::addColumn<OperationKind>("kind");
    QTest::addColumn<int>("startMs");
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<int>("failedAtMs");
    // Started at 10 ms: queued behind the clock's second resync, 4000 ms later it fails.
    QTest::newRow("send queued at once") << OperationKind::Send << 10 << Failure::LineBusy << 4010;
    QTest::newRow("clear queued at once")
        << OperationKind::Clear << 10 << Failure::LineBusy << 4010;
    // Started at 3 s: the clock is given up at 6050 ms, before the wait ends; the send goes
    // out, FF is a wrong checksum, and the resync gives up 2 s later.
    QTest::newRow("send queued at 3 s")
        << OperationKind::Send << 3000 << Failure::NoisyLine << 8050;
  }
  void powerFailPollThenNoise() {
    QFETCH(OperationKind, kind);
    QFETCH(int, startMs);
    QFETCH(Failure, failure);
    QFETCH(int, failedAtMs);
    Peer p;
    p.reply({0xA5});
    int clocks = 0;
    int elapsed = 0;
    std::optional<OperationResult> result;
    for (; elapsed < 10000; elapsed += 10) {
      if (elapsed == startMs && kind == OperationKind::Send)
        p.core.startSend(p.a1On(), Completion::Accepted, p.now());
      else if (elapsed == startMs)
        p.core.startClear(p.now());
      if (elapsed % 50 == 0 && elapsed > 0)
        p.reply({0xFF});
      clocks += p.written() == kPowerFailClock;
      if (!result && (result = p.core.takeResult()))
        QCOMPARE(elapsed, failedAtMs);
      p.advance(10ms);
    }
    QVERIFY(result);
    QCOMPARE(result->error().failure, failure);
    if (failure == Failure::LineBusy)
      QVERIFY2(result->error().message.starts_with(
                   "the interface keeps the line busy (power-fail polls and noise): "),
               result->error().message.c_str());
    QCOMPARE(clocks, 3);
    QVERIFY(!p.core.takeResult());
    p.advance(100ms); // the noise stops
    QVERIFY(!p.core.nextDeadline());
    p.core.startSend(p.a1On(), Completion::Done, p.now());
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0x6A, 0x55});
    EXPECT_WRITTEN(p, {0x00, 0x06, 0x62});
    p.reply({0x68, 0x55});
    EXPECT_WRITTEN(p, {0x00});
    QVERIFY(p.core.takeResult()->has_value());
    p.reply({0xA5}); // the interface asks again, and gets its clock
    EXPECT_WRITTEN(p, (kPowerFailClock));
  }

  // One power-fail poll, then silence: the owed clock goes out once and, unanswered, is given
  // up (only a wrong checksum earns another try): nothing more goes out until the interface
  // asks again.
  void powerFailClockOnASilentInterfaceIsGivenUp() {
    Peer p;
    p.reply({0xA5});
    int clocks = 0;
    for (int elapsed = 0; elapsed < 20000; elapsed += 10) {
      const Bytes written = p.written();
      clocks += written == kPowerFailClock;
      QVERIFY(written.empty() || written == kPowerFailClock);
      p.advance(10ms);
    }
    QCOMPARE(clocks, 1);
    QVERIFY(!p.core.nextDeadline());
    QVERIFY(!p.core.takeResult());
    p.reply({0xA5});
    EXPECT_WRITTEN(p, (kPowerFailClock));
  }

  // Found by fuzzing: an empty send read its first transmission past the end of the list.
  void emptySendSucceedsWithoutWriting() {
    Peer p;
    p.core.startSend({}, Completion::Done, p.now());
    QCOMPARE(p.written(), Bytes{});
    const auto r = p.core.takeResult();
    QVERIFY(r && r->has_value());
    QVERIFY(!p.core.operationRunning());
    QVERIFY(!p.core.nextDeadline());
  }

  void endlessPollsFailTheStep() {
    Peer p;
    p.core.startSend(p.a1On(), Completion::Done, p.now());
    for (int i = 0; i < 8; ++i) { // eight may cut into a step, the ninth fails it
      EXPECT_WRITTEN(p, {0x04, 0x66});
      p.reply({0x5A});
      EXPECT_WRITTEN(p, {0xC3});
      p.reply({0x02, 0x00, 0x66});
    }
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0x5A});
    QCOMPARE(p.core.takeResult()->error().failure, Failure::KeptInterrupting);
    p.advance(100ms); // resynchronised; the next send starts with a clean count
    p.core.startSend({p.a1On().front()}, Completion::Done, p.now());
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0x5A});
    EXPECT_WRITTEN(p, {0xC3});
    p.reply({0x02, 0x00, 0x66});
    EXPECT_WRITTEN(p, {0x04, 0x66});
    p.reply({0x6A});
    EXPECT_WRITTEN(p, {0x00});
    p.reply({0x55});
    QVERIFY(p.core.takeResult()->has_value());
  }
};

QTEST_APPLESS_MAIN(TestCm11aCore)
#include "test_cm11acore.moc"
