// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Received traffic: uploads decoded across upload boundaries, and the text of each command.
#include "controller/protocol/commandqueue.h"
#include "controller/protocol/commandtext.h"
#include "controller/protocol/receivedecoder.h"

#include <QTest>

using namespace x10;
using Bytes = std::vector<std::uint8_t>;

Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(std::vector<Bytes>)

namespace {
QStringList decodeAll(const std::vector<Bytes> &uploads) {
  ReceiveDecoder decoder;
  QStringList texts;
  for (const auto &bytes : uploads)
    for (const auto &c : decoder.decode(Upload::parse(bytes).value().elements))
      texts << QString::fromStdString(commandText(c));
  return texts;
}
} // namespace

class TestReceive : public QObject {
  Q_OBJECT
private slots:
  void decoding_data() {
    QTest::addColumn<std::vector<Bytes>>("uploads");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("A1 On in one upload")
        << std::vector<Bytes>{{0x03, 0x02, 0x66, 0x62}} << QStringList{"A1", "A1 On"};
    QTest::newRow("A1 and A On split")
        << std::vector<Bytes>{{0x02, 0x00, 0x66}, {0x02, 0x01, 0x62}} << QStringList{"A1", "A1 On"};
    QTest::newRow("A1 A2 accumulate, Off")
        << std::vector<Bytes>{{0x02, 0x00, 0x66}, {0x03, 0x02, 0x6E, 0x63}}
        << QStringList{"A1", "A2", "A1,2 Off"};
    QTest::newRow("set stays for a second function")
        << std::vector<Bytes>{{0x03, 0x02, 0x66, 0x62}, {0x03, 0x01, 0x64, 0xD2}}
        << QStringList{"A1", "A1 On", "A1 Dim 100%"};
    QTest::newRow("address after function starts anew")
        << std::vector<Bytes>{{0x03, 0x02, 0x66, 0x62}, {0x03, 0x02, 0x6E, 0x63}}
        << QStringList{"A1", "A1 On", "A2", "A2 Off"};
    QTest::newRow("houses kept apart")
        << std::vector<Bytes>{{0x04, 0x04, 0x66, 0xE2, 0x62}} << QStringList{"A1", "B3", "A1 On"};
    QTest::newRow("dim 45%") << std::vector<Bytes>{{0x03, 0x01, 0x64, 0x5E}}
                             << QStringList{"A Dim 45%"};
    // 10 steps of 22, level 95 of 210, as the interface uploads a 45 % dim
    QTest::newRow("dim 10 steps") << std::vector<Bytes>{{0x03, 0x01, 0x64, 0x5F}}
                                  << QStringList{"A Dim 45%"};
    QTest::newRow("bright level 21")
        << std::vector<Bytes>{{0x04, 0x02, 0x66, 0x65, 0x15}} << QStringList{"A1", "A1 Bright 10%"};
    QTest::newRow("extended A5") << std::vector<Bytes>{{0x05, 0x01, 0x67, 0x01, 0x1F, 0x31}}
                                 << QStringList{"A5 Extended data 0x1F command 0x31"};
    QTest::newRow("eight addresses, the most an upload holds")
        << std::vector<Bytes>{{0x09, 0x00, 0x66, 0x6E, 0x62, 0x6A, 0x61, 0x69, 0x65, 0x6D}}
        << QStringList{"A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8"};
    QTest::newRow("all lights on ignores the set")
        << std::vector<Bytes>{{0x03, 0x02, 0x66, 0x61}} << QStringList{"A1", "A All Lights On"};
    QTest::newRow("all lights off ignores the set")
        << std::vector<Bytes>{{0x03, 0x02, 0x66, 0x66}} << QStringList{"A1", "A All Lights Off"};
    QTest::newRow("all units off ignores the set")
        << std::vector<Bytes>{{0x03, 0x02, 0x66, 0x60}} << QStringList{"A1", "A All Units Off"};
    QTest::newRow("pre-set dim goes to the last house")
        << std::vector<Bytes>{{0x02, 0x00, 0xE2}, {0x02, 0x01, 0xFB}}
        << QStringList{"B3", "B3 Pre-set Dim 100%"};
    QTest::newRow("dim without its level dropped")
        << std::vector<Bytes>{{0x03, 0x02, 0x66, 0x64}} << QStringList{"A1"};
    QTest::newRow("duplicate address counted once")
        << std::vector<Bytes>{{0x04, 0x04, 0x66, 0x66, 0x62}} << QStringList{"A1", "A1", "A1 On"};
  }
  void decoding() {
    QFETCH(std::vector<Bytes>, uploads);
    QFETCH(QStringList, texts);
    QCOMPARE(decodeAll(uploads), texts);
  }

  void addressedCommandKeepsEveryUnit() {
    ReceiveDecoder decoder;
    decoder.decode(Upload::parse(Bytes{0x03, 0x00, 0x66, 0x6E})->elements);
    const auto out = decoder.decode(Upload::parse(Bytes{0x02, 0x01, 0x62})->elements);
    QCOMPARE(out.size(), 1u);
    QCOMPARE(out[0].units.size(), 2u);
    QCOMPARE(out[0].units[1].number(), 2);
    QCOMPARE(out[0].function, Function::On);
  }

  void queueDropsOldestAndSaysSo() {
    CommandQueue queue;
    QVERIFY(!queue.pop());
    for (int i = 0; i < 1024 + 2; ++i) // it holds 1024
      queue.push(extended('A', 5, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8)));
    QCOMPARE(QString::fromStdString(*queue.pop()),
             "(2 older commands dropped) A5 Extended data 0x02 command 0x00");
    QCOMPARE(QString::fromStdString(*queue.pop()), "A5 Extended data 0x03 command 0x00");
  }

  void queueHandsOutAnAddressWithItsFunction() {
    CommandQueue queue;
    queue.push(address('D', 5)); // no function for house D comes: it stays
    queue.push(address('B', 3));
    queue.push(address('B', 4));
    queue.push(function('C', {1}, Function::On));
    queue.push(function('B', {3, 4}, Function::Off));
    QCOMPARE(QString::fromStdString(*queue.pop()), "D5");
    QCOMPARE(QString::fromStdString(*queue.pop()), "C1 On");
    QCOMPARE(QString::fromStdString(*queue.pop()), "B3,4 Off");
    QVERIFY(!queue.pop());
  }

  void queueKeepsAnAddressFetchedBeforeItsFunction() {
    CommandQueue queue;
    queue.push(address('B', 3));
    QCOMPARE(QString::fromStdString(*queue.pop()), "B3");
    queue.push(function('B', {3}, Function::On));
    QCOMPARE(QString::fromStdString(*queue.pop()), "B3 On");
  }

private:
  static ReceivedCommand address(char house, int unit) {
    ReceivedCommand c;
    c.house = *HouseCode::fromLetter(house);
    c.units = {*UnitCode::fromNumber(unit)};
    return c;
  }
  static ReceivedCommand function(char house, std::initializer_list<int> units, Function f) {
    ReceivedCommand c;
    c.house = *HouseCode::fromLetter(house);
    c.function = f;
    for (int u : units)
      c.units.push_back(*UnitCode::fromNumber(u));
    return c;
  }
  static ReceivedCommand extended(char house, int unit, std::uint8_t data, std::uint8_t command) {
    ReceivedCommand c = function(house, {unit}, Function::ExtendedCode);
    c.data = data;
    c.command = command;
    return c;
  }
};

QTEST_APPLESS_MAIN(TestReceive)
#include "test_receive.moc"
