// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Wire time on the virtual clock: bytes at 4800 baud both ways, frames at one bit per mains
// cycle, and no delays at all in fast timing.
#include "tests/simulator/virtualwire.h"

#include <QTest>

using namespace x10;
using namespace x10::sim;
using namespace std::chrono_literals;
using x10::sim::test::VirtualWire;

namespace {

constexpr Duration kByte = 2083333ns; // 10 bits at 4800 baud

double milliseconds(Duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

} // namespace

class TestDeviceTiming : public QObject {
  Q_OBJECT

private slots:
  void readyComesAfterPowerLineTime_data() {
    QTest::addColumn<int>("mains");
    QTest::addColumn<QByteArray>("transmission");
    QTest::addColumn<double>("lineMs");
    // 11 cycles twice and 3 silent: 25 cycles
    QTest::newRow("address 60 Hz") << 60 << QByteArray("04 66") << 416.667;
    QTest::newRow("address 50 Hz") << 50 << QByteArray("04 66") << 500.0;
    // 22 dim steps are 22 frames back to back, then 3 silent cycles: 245 cycles
    QTest::newRow("A Dim 22 60 Hz") << 60 << QByteArray("B6 64") << 4083.333;
    // the minimum is still two frames
    QTest::newRow("A Dim 1 60 Hz") << 60 << QByteArray("0E 64") << 416.667;
    // 31 cycles twice and 3 silent: 65 cycles
    QTest::newRow("extended 60 Hz") << 60 << QByteArray("07 67 01 1F 31") << 1083.333;
    QTest::newRow("extended 50 Hz") << 50 << QByteArray("07 67 01 1F 31") << 1300.0;
  }

  void readyComesAfterPowerLineTime() {
    QFETCH(int, mains);
    QFETCH(QByteArray, transmission);
    QFETCH(double, lineMs);
    VirtualWire wire(Timing::realistic(mains));
    wire.send(transmission);
    const auto checksum = wire.nextByte(1s);
    QVERIFY(!checksum.second.isEmpty()); // its time: answersWaitForThePCsBytes
    wire.send("00");
    const auto [took, ready] = wire.nextByte(10s);
    QCOMPARE(ready, QByteArray("55"));
    // the go-ahead in, the line, the ready out
    QVERIFY2(std::abs(milliseconds(took) - (lineMs + 2 * milliseconds(kByte))) < 0.01,
             qPrintable(QString::number(milliseconds(took))));
  }

  // The answer comes once the PC's bytes are in and its own first byte is out.
  void answersWaitForThePCsBytes_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer"); // its first byte
    QTest::addColumn<double>("ms");         // from the PC's first byte to the answer's first
    QTest::newRow("status request") << QByteArray("8B") << QByteArray("FF") << 4.167;
    QTest::newRow("address A1") << QByteArray("04 66") << QByteArray("6A") << 6.25;
    QTest::newRow("set-clock") << QByteArray("9B 00 00 00 01 00 60") << QByteArray("61") << 16.667;
    QTest::newRow("download of 19 bytes")
        << QByteArray("FB 00 20 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F")
        << QByteArray("98") << 41.667;
  }
  void answersWaitForThePCsBytes() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    QFETCH(double, ms);
    VirtualWire wire(Timing::realistic(60));
    wire.send(request.constData());
    QCOMPARE(wire.readFor(std::chrono::duration_cast<Duration>(
                 std::chrono::duration<double, std::milli>(ms - 0.01))),
             QByteArray());
    QCOMPARE(wire.readFor(20us).left(2), answer);
  }

  void statusReplyTakesFourteenByteTimes() {
    VirtualWire wire(Timing::realistic(60));
    wire.send("8B");
    QCOMPARE(wire.readFor(14 * kByte).size(), 13 * 3 - 1); // the request in, 13 bytes out
    QCOMPARE(wire.readFor(kByte).size(), 2);
  }

  void fastTimingHasNoDelays() {
    VirtualWire wire(Timing::fast());
    wire.send("04 66");
    QCOMPARE(wire.nextByte(1s), std::make_pair(Duration::zero(), QByteArray("6A")));
    wire.send("00");
    QCOMPARE(wire.nextByte(1s), std::make_pair(Duration::zero(), QByteArray("55")));
  }

  // B3 On from a remote takes the line first; the PC's A1 waits for it, so its ready comes
  // three frames after the remote began, and the poll for B3 On follows the ready.
  void heardTrafficAndTransmissionsShareTheLine() {
    VirtualWire wire(Timing::realistic(60));
    const TimePoint remoteStarts = wire.now;
    wire.inject({Frame::makeAddress(0xE, 0x2), Frame::makeFunction(0xE, Function::On)});
    wire.send("04 66");
    QCOMPARE(wire.nextByte(1s).second, QByteArray("6A"));
    wire.send("00");
    QCOMPARE(wire.nextByte(5s).second, QByteArray("55"));
    const double readyMs = milliseconds(wire.now - remoteStarts);
    QVERIFY2(std::abs(readyMs - (3 * 416.667 + milliseconds(kByte))) < 0.01,
             qPrintable(QString::number(readyMs)));
    QCOMPARE(wire.nextByte(1s), std::make_pair(kByte, QByteArray("5A")));
  }
};

QTEST_APPLESS_MAIN(TestDeviceTiming)
#include "test_device_timing.moc"
