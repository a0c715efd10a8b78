// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Traffic heard on the power line and its way to the PC: the poll, the upload, the limits of
// the receive buffer, the power-fail poll, and the faults around them.
#include "tests/simulator/virtualwire.h"

#include <QTest>

using namespace x10;
using namespace x10::sim;
using namespace std::chrono_literals;
using x10::sim::test::VirtualWire;

namespace {
// House and unit nibbles from the code table: A = 6, B = E; units 1 = 6, 3 = 2, 5 = 1.
constexpr std::uint8_t kHouseA = 0x6, kHouseB = 0xE;
constexpr std::uint8_t kUnit3 = 0x2;
} // namespace

class TestDevicePolling : public QObject {
  Q_OBJECT

private slots:
  void heardTrafficIsUploaded_data() {
    QTest::addColumn<std::vector<Frame>>("frames");
    QTest::addColumn<QByteArray>("upload");
    // size 3 (mask and two data bytes); mask 02: the second byte is a function
    QTest::newRow("B3 On") << std::vector{Frame::makeAddress(kHouseB, kUnit3),
                                          Frame::makeFunction(kHouseB, Function::On)}
                           << QByteArray("03 02 E2 E2");
    // 10 of 22 steps is 95 of 210
    QTest::newRow("A Dim 10 steps") << std::vector{Frame::makeFunction(kHouseA, Function::Dim, 10)}
                                    << QByteArray("03 01 64 5F");
    // 1 of 22 steps is 9.5 of 210: rounded to 10
    QTest::newRow("A Dim 1 step") << std::vector{Frame::makeFunction(kHouseA, Function::Dim, 1)}
                                  << QByteArray("03 01 64 0A");
    QTest::newRow("A Bright full")
        << std::vector{Frame::makeFunction(kHouseA, Function::Bright, 22)}
        << QByteArray("03 01 65 D2");
    QTest::newRow("extended A5") << std::vector{Frame::makeExtended(kHouseA, 0x1, 0x1F, 0x31)}
                                 << QByteArray("05 01 67 01 1F 31");
  }

  void heardTrafficIsUploaded() {
    QFETCH(std::vector<Frame>, frames);
    QFETCH(QByteArray, upload);
    VirtualWire wire;
    wire.device.inject(frames, wire.now);
    QCOMPARE(wire.read(), QByteArray("5A"));
    wire.send("C3");
    QCOMPARE(wire.read(), upload);
    QCOMPARE(wire.readFor(3s), QByteArray()); // polls end with the upload
  }

  void pollRepeatsEachSecondUntilAnswered() {
    VirtualWire wire;
    wire.inject({Frame::makeAddress(kHouseB, kUnit3)});
    QCOMPARE(wire.read(), QByteArray("5A"));
    QCOMPARE(wire.readFor(999ms), QByteArray());
    QCOMPARE(wire.readFor(1ms), QByteArray("5A"));
    QCOMPARE(wire.readFor(1s), QByteArray("5A"));
  }

  void pollingIgnoresTheTransmissionThePCStarts() {
    VirtualWire wire;
    wire.inject({Frame::makeAddress(kHouseB, kUnit3)});
    QCOMPARE(wire.read(), QByteArray("5A"));
    wire.send("04 66");
    QCOMPARE(wire.readFor(1s), QByteArray("5A")); // no checksum: the next poll
    wire.send("C3");
    QCOMPARE(wire.read(), QByteArray("02 00 E2"));
    wire.send("04 66");
    QCOMPARE(wire.read(), QByteArray("6A"));
  }

  void collisionAnswersATransmissionWithAPoll() {
    VirtualWire wire;
    wire.device.faults().collide = {Frame::makeAddress(kHouseB, kUnit3),
                                    Frame::makeFunction(kHouseB, Function::On)};
    wire.send("04 66");
    QCOMPARE(wire.read(), QByteArray("5A"));
    wire.send("C3");
    QCOMPARE(wire.read(), QByteArray("03 02 E2 E2"));
    wire.send("04 66");
    QCOMPARE(wire.read(), QByteArray("6A"));
  }

  // The first loss is told, the others counted and told with the upload, which starts the
  // count afresh.
  void trafficBeyondEightDataBytesIsLost() {
    VirtualWire wire;
    for (int round = 1; round <= 2; ++round) {
      // units 1..10 have the codes 6 E 2 A 1 9 5 D 7 F
      for (std::uint8_t unit :
           std::initializer_list<std::uint8_t>{0x6, 0xE, 0x2, 0xA, 0x1, 0x9, 0x5, 0xD, 0x7, 0xF})
        wire.inject({Frame::makeAddress(kHouseA, unit)});
      QCOMPARE(wire.read(), QByteArray("5A"));
      wire.send("C3");
      QCOMPARE(wire.read(), QByteArray("09 00 66 6E 62 6A 61 69 65 6D"));
      QStringList notes;
      for (const Report &report : wire.device.takeReports())
        if (report.kind == Report::Kind::Note)
          notes << QString::fromStdString(report.text);
      QCOMPARE(notes.size(), 2);
      QVERIFY2(notes[0].startsWith("receive buffer full: A9 lost"), qPrintable(notes[0]));
      QVERIFY2(notes[1].startsWith("2 frames were lost"), qPrintable(notes[1]));
    }
    wire.inject({Frame::makeAddress(kHouseA, 0x7)});
    QCOMPARE(wire.read(), QByteArray("5A"));
    wire.send("C3");
    QCOMPARE(wire.read(), QByteArray("02 00 67"));
  }

  // A paced remote holds the line 5 ms a frame even in fast timing, and its frames wait for
  // room in the buffer instead of being lost; the PC still gets its turn between two frames.
  void pacedTrafficWaitsForRoomAndLeavesThePCItsTurn() {
    VirtualWire wire;
    std::vector<Frame> frames;
    for (std::uint8_t unit :
         std::initializer_list<std::uint8_t>{0x6, 0xE, 0x2, 0xA, 0x1, 0x9, 0x5, 0xD, 0x7})
      frames.push_back(Frame::makeAddress(kHouseA, unit));
    wire.device.injectPaced(frames, wire.now);
    QCOMPARE(wire.nextByte(1s), std::pair(Duration(5ms), QByteArray("5A")));
    wire.readFor(100ms);
    QCOMPARE(wire.device.pacedWaiting(), std::size_t(1));
    wire.send("C3");
    QCOMPARE(wire.read(), QByteArray("09 00 66 6E 62 6A 61 69 65 6D"));
    wire.send("04 66");
    QCOMPARE(wire.read(), QByteArray("6A"));
    wire.send("00");
    QCOMPARE(wire.readFor(100ms), QByteArray("55 5A")); // A1 went after A9's frame
    wire.send("C3");
    QCOMPARE(wire.read(), QByteArray("02 00 67"));
    QCOMPARE(wire.device.pacedWaiting(), std::size_t(0));
  }

  void aFrameThatDoesNotFitWholeIsLost() {
    VirtualWire wire;
    for (std::uint8_t unit : std::initializer_list<std::uint8_t>{0x6, 0xE, 0x2, 0xA, 0x1, 0x9, 0x5})
      wire.inject({Frame::makeAddress(kHouseA, unit)});
    wire.inject({Frame::makeFunction(kHouseA, Function::Dim, 22)}); // needs two bytes, one is free
    wire.inject({Frame::makeFunction(kHouseA, Function::Off)});
    wire.read();
    wire.send("C3");
    QCOMPARE(wire.read(), QByteArray("09 80 66 6E 62 6A 61 69 65 63"));
  }

  void twoWayModuleAnswersStatusRequest() {
    VirtualWire wire; // A3 is a two-way module, off
    wire.send("04 62");
    QCOMPARE(wire.read(), QByteArray("66"));
    wire.send("00");
    QCOMPARE(wire.read(), QByteArray("55"));
    wire.send("06 6F");
    QCOMPARE(wire.read(), QByteArray("75"));
    wire.send("00");
    QCOMPARE(wire.read(), QByteArray("55 5A"));
    wire.send("C3");
    QCOMPARE(wire.read(), QByteArray("03 02 62 6E")); // A3, A Status Off
  }

  void truncatedUploadStopsShort() {
    VirtualWire wire;
    wire.device.faults().truncateUpload = 2;
    wire.inject({Frame::makeAddress(kHouseB, kUnit3), Frame::makeFunction(kHouseB, Function::On)});
    QCOMPARE(wire.read(), QByteArray("5A"));
    wire.send("C3");
    QCOMPARE(wire.read(), QByteArray("03 02"));
    QCOMPARE(wire.readFor(3s), QByteArray());
    wire.send("04 66");
    QCOMPARE(wire.read(), QByteArray("6A"));
  }

  void powerFailPollsUntilClockIsSet() {
    VirtualWire wire;
    wire.device.powerFail(wire.now);
    QCOMPARE(wire.read(), QByteArray("A5"));
    QCOMPARE(wire.readFor(1s), QByteArray("A5"));
    wire.send("04 66");
    wire.send("8B");
    QCOMPARE(wire.readFor(1s), QByteArray("A5"));
    wire.send("9B 13 40 0A 48 82 60");
    QCOMPARE(wire.read(), QByteArray("87"));
    wire.send("00");
    QCOMPARE(wire.read(), QByteArray("55"));
    QCOMPARE(wire.readFor(3s), QByteArray());
    wire.send("04 66");
    QCOMPARE(wire.read(), QByteArray("6A"));
  }

  void exchangeWithoutGoAheadIsDroppedAfterTwoSeconds() {
    VirtualWire wire;
    wire.send("04 66");
    QCOMPARE(wire.read(), QByteArray("6A")); // and the PC gives up
    wire.inject({Frame::makeAddress(kHouseB, kUnit3)});
    QCOMPARE(wire.readFor(1999ms), QByteArray());
    QCOMPARE(wire.readFor(1ms), QByteArray("5A"));
    wire.send("C3");
    QCOMPARE(wire.read(), QByteArray("02 00 E2"));
    QVERIFY(
        !wire.device.powerLine().module(*HouseCode::fromLetter('A'), *UnitCode::fromNumber(1))->on);
  }

  // Traffic heard while an exchange waited for its go-ahead is held; when the PC starts over
  // with a status request, the interface polls for it right after the reply.
  void trafficHeldDuringAnExchangeIsPolledAfterAStatusReply() {
    VirtualWire wire;
    wire.send("04 66");
    QCOMPARE(wire.read(), QByteArray("6A"));
    wire.inject({Frame::makeAddress(kHouseB, kUnit3)});
    QCOMPARE(wire.read(), QByteArray());
    wire.send("8B");
    QCOMPARE(wire.readFor(100ms), QByteArray("FF FF 00 00 00 00 01 61 00 00 00 00 00 00 5A"));
    wire.send("C3");
    QCOMPARE(wire.read(), QByteArray("02 00 E2"));
  }

  void silenceForAWhile() {
    VirtualWire wire;
    wire.device.silence(3s, wire.now);
    wire.send("8B");
    wire.inject({Frame::makeAddress(kHouseB, kUnit3)});
    QCOMPARE(wire.readFor(2999ms), QByteArray());
    QCOMPARE(wire.readFor(1ms), QByteArray("5A")); // it still heard the line
  }

  void silenceForGoodUntilCleared() {
    VirtualWire wire;
    wire.device.silence(std::nullopt, wire.now);
    wire.send("04 66");
    QCOMPARE(wire.readFor(60s), QByteArray());
    wire.device.clearFaults(wire.now);
    wire.send("04 66");
    QCOMPARE(wire.read(), QByteArray("6A"));
  }

  void garbageGoesOutAtOnce() {
    VirtualWire wire;
    const std::uint8_t garbage[] = {0x12, 0xFF};
    wire.device.sendGarbage(garbage, wire.now);
    QCOMPARE(wire.read(), QByteArray("12 FF"));
  }
};

QTEST_APPLESS_MAIN(TestDevicePolling)
#include "test_device_polling.moc"
