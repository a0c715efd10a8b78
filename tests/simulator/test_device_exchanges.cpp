// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The exchanges the PC starts, against the protocol's published example bytes.
#include "tests/simulator/virtualwire.h"

#include <QTest>

using namespace x10;
using namespace x10::sim;
using x10::sim::test::VirtualWire;

namespace {
const HouseCode kA = *HouseCode::fromLetter('A');
const UnitCode kUnit1 = *UnitCode::fromNumber(1);

// The PC sends, then reads what arrives within the next afterMs of virtual time.
struct Step {
  QByteArray send;
  int afterMs;
  QByteArray expect;
};
using Steps = std::vector<Step>;

const QByteArray kResetStatus = "FF FF 00 00 00 00 01 61 ";
} // namespace

Q_DECLARE_METATYPE(Steps)

class TestDeviceExchanges : public QObject {
  Q_OBJECT

private slots:
  void standardTransmission_data() {
    QTest::addColumn<QByteArray>("transmission");
    QTest::addColumn<QByteArray>("checksum");
    QTest::newRow("address A1") << QByteArray("04 66") << QByteArray("6A");
    QTest::newRow("address A2") << QByteArray("04 6E") << QByteArray("72");
    QTest::newRow("A On") << QByteArray("06 62") << QByteArray("68");
    QTest::newRow("A Off") << QByteArray("06 63") << QByteArray("69");
    QTest::newRow("A Dim 16/22") << QByteArray("86 64") << QByteArray("EA");
    QTest::newRow("A Dim 10/22") << QByteArray("56 64") << QByteArray("BA");
    QTest::newRow("A Bright 5/22") << QByteArray("2E 65") << QByteArray("93");
    QTest::newRow("A All Units Off") << QByteArray("06 60") << QByteArray("66");
    // G1: a true checksum that equals the poll byte.
    QTest::newRow("address G1") << QByteArray("04 56") << QByteArray("5A");
    QTest::newRow("extended A5 1F 31") << QByteArray("07 67 01 1F 31") << QByteArray("BF");
  }

  // Whole, one byte at a time, and followed by the go-ahead in the same write.
  void standardTransmission() {
    QFETCH(QByteArray, transmission);
    QFETCH(QByteArray, checksum);
    VirtualWire whole;
    whole.send(transmission);
    QCOMPARE(whole.read(), checksum);
    whole.send("00");
    QCOMPARE(whole.read(), QByteArray("55"));

    VirtualWire bytewise;
    for (const QByteArray &byte : transmission.split(' ')) {
      QCOMPARE(bytewise.read(), QByteArray());
      bytewise.send(byte);
    }
    QCOMPARE(bytewise.read(), checksum);

    VirtualWire trailing;
    trailing.send(transmission + " 00");
    QCOMPARE(trailing.read(), checksum + " 55");
  }

  // What established clients send, byte for byte, and when.
  void clientHabits_data() {
    QTest::addColumn<bool>("powerFailed");
    QTest::addColumn<Steps>("steps");
    // 0xFB, address 00 20, 16 data bytes: 19 in all, checksum 00 + 20 + 16 x 01 = 30; the
    // erased block sums to 01 + F0 + 16 x FF = 10E1.
    const QByteArray block = "FB 00 20" + QByteArray(" 01").repeated(16);
    const QByteArray erase = "FB 01 F0" + QByteArray(" FF").repeated(16);
    QTest::newRow("timer block, then A1")
        << false << Steps{{block, 0, "30"}, {"00", 0, "55"}, {"04 66", 0, "6A"}};
    QTest::newRow("erased block, then A1")
        << false << Steps{{erase, 0, "E1"}, {"00", 0, "55"}, {"04 66", 0, "6A"}};
    // Flags 3: clear the battery timer and the monitored status; no go-ahead follows.
    QTest::newRow("set-clock clears without a go-ahead")
        << false
        << Steps{{"04 66 00", 0, "6A 55"},
                 {"06 62 00", 0, "68 55"},
                 {"9B 00 00 00 00 01 63", 0, "64"},
                 {"8B", 0, "00 00 00 00 00 00 01 61 00 00 00 00 00 00"}};
    QTest::newRow("set-clock picks house B without a go-ahead")
        << false
        << Steps{{"9B 00 00 00 00 01 E0", 0, "E1"},
                 {"8B", 0, "FF FF 00 00 00 00 01 E1 00 00 00 00 00 00"}};
    QTest::newRow("go-ahead 1.004 s late")
        << false << Steps{{"04 66", 1004, "6A"}, {"00", 0, "55"}};
    QTest::newRow("go-ahead after the wait")
        << false << Steps{{"04 66", 2001, "6A"}, {"00", 1000, ""}, {"04 66", 0, "6A"}};
    QTest::newRow("45 ms inside a header") << false << Steps{{"04", 45, ""}, {"66", 0, "6A"}};
    QTest::newRow("55 ms inside a header") << false << Steps{{"04", 55, ""}, {"04 66", 0, "6A"}};
    // After a power failure: A5 each second until a set-clock, whole or not, begins.
    QTest::newRow("bare 9B answers the power-fail poll")
        << true
        << Steps{{"", 0, "A5"},
                 {"9B", 1500, ""},
                 {"8B", 0, "FF FF 01 00 00 00 01 61 00 00 00 00 00 00"},
                 {"8B", 0, "FF FF 01 00 00 00 01 61 00 00 00 00 00 00"},
                 {"04 66", 0, "6A"}};
    QTest::newRow("set-clock cut short answers the power-fail poll")
        << true
        << Steps{{"", 0, "A5"},
                 {"9B 13 40", 1500, ""},
                 {"8B", 0, "FF FF 01 00 00 00 01 61 00 00 00 00 00 00"}};
    QTest::newRow("set-clock without a go-ahead after a power failure")
        << true
        << Steps{{"", 0, "A5"},
                 {"9B 13 40 0A 48 82 60", 1500, "87"},
                 {"8B", 0, "FF FF 14 40 0A 48 82 61 00 00 00 00 00 00"}};
  }
  // A warm start reads back the time it was given, the battery timer cleared; a device not
  // started warm is a new one: day 0, Sunday, midnight, battery timer FFFF.
  void warmStartSetsTheClock_data() {
    QTest::addColumn<bool>("warm");
    QTest::addColumn<int>("secondOfDay");
    QTest::addColumn<int>("yearDay");
    QTest::addColumn<int>("weekDay");
    QTest::addColumn<QByteArray>("status");
    QTest::newRow("cold") << false << 0 << 0 << 0
                          << QByteArray("FF FF 00 00 00 00 01 61 00 00 00 00 00 00");
    QTest::newRow("Wednesday 13:47:20, day 300")
        << true << 13 * 3600 + 47 * 60 + 20 << 300 << 3
        << QByteArray("00 00 14 6B 06 2C 88 61 00 00 00 00 00 00");
    QTest::newRow("Saturday 23:59:59, day 365")
        << true << 86399 << 365 << 6 << QByteArray("00 00 3B 77 0B 6D C0 61 00 00 00 00 00 00");
  }
  void warmStartSetsTheClock() {
    QFETCH(bool, warm);
    QFETCH(int, secondOfDay);
    QFETCH(int, yearDay);
    QFETCH(int, weekDay);
    QFETCH(QByteArray, status);
    VirtualWire wire;
    if (warm)
      wire.device.startWarm(secondOfDay, yearDay, weekDay, wire.now);
    wire.send("8B");
    QCOMPARE(wire.read(), status);
  }

  void clientHabits() {
    QFETCH(bool, powerFailed);
    QFETCH(Steps, steps);
    VirtualWire wire;
    if (powerFailed)
      wire.device.powerFail(wire.now);
    for (const Step &step : steps) {
      wire.send(step.send);
      QCOMPARE(wire.readFor(std::chrono::milliseconds(step.afterMs)), step.expect);
    }
  }

  // A caller busy for longer than the command gap reads the rest late: it was sent in time.
  void bytesReadLateStillContinueACommand() {
    VirtualWire wire;
    wire.send("04");
    wire.now += std::chrono::milliseconds(80);
    wire.send("66");
    QCOMPARE(wire.read(), QByteArray("6A"));
  }

  void a1OnTurnsLampA1On() {
    VirtualWire wire;
    wire.send("04 66");
    QCOMPARE(wire.read(), QByteArray("6A"));
    wire.send("00");
    QCOMPARE(wire.read(), QByteArray("55"));
    QVERIFY(!wire.device.powerLine().module(kA, kUnit1)->on);
    wire.send("06 62");
    QCOMPARE(wire.read(), QByteArray("68"));
    wire.send("00");
    QCOMPARE(wire.read(), QByteArray("55"));
    QVERIFY(wire.device.powerLine().module(kA, kUnit1)->on);
  }

  // What functions do to the demo modules (A1 lamp, A2 appliance, A3 two-way, B3 lamp) and to
  // the interface's picture of house A, read back as the status reply's last six bytes:
  // addressed, on and dimmed units, low byte first, bit n for unit code n (A1 6, A2 E, A3 2).
  void functionsActOnModulesAndMonitor_data() {
    QTest::addColumn<QByteArrayList>("transmissions");
    QTest::addColumn<QStringList>("modules");
    QTest::addColumn<QByteArray>("bitmaps");
    QTest::newRow("All Lights On: lamps only")
        << QByteArrayList{"06 61"}
        << QStringList{"A1 lamp on 100%", "A2 appliance off", "A3 two-way off", "B3 lamp off"}
        << QByteArray("00 00 FF FF 00 00");
    QTest::newRow("All Units Off: every module")
        << QByteArrayList{"04 66", "04 6E", "06 62", "06 60"}
        << QStringList{"A1 lamp off", "A2 appliance off", "A3 two-way off", "B3 lamp off"}
        << QByteArray("40 40 00 00 00 00");
    QTest::newRow("an address after On starts a new set")
        << QByteArrayList{"04 66", "04 6E", "06 62", "04 62", "06 63"}
        << QStringList{"A1 lamp on 100%", "A2 appliance on", "A3 two-way off", "B3 lamp off"}
        << QByteArray("04 00 40 40 00 00");
    QTest::newRow("Off ends dimmed")
        << QByteArrayList{"04 66", "16 64", "06 63"}
        << QStringList{"A1 lamp off", "A2 appliance off", "A3 two-way off", "B3 lamp off"}
        << QByteArray("40 00 00 00 00 00");
  }
  void functionsActOnModulesAndMonitor() {
    QFETCH(QByteArrayList, transmissions);
    QFETCH(QStringList, modules);
    QFETCH(QByteArray, bitmaps);
    VirtualWire wire;
    for (const QByteArray &transmission : transmissions) {
      wire.send(transmission);
      wire.read();
      wire.send("00");
      QCOMPARE(wire.read(), QByteArray("55"));
    }
    QStringList listing;
    for (const std::string &line : wire.device.powerLine().listing())
      listing << QString::fromStdString(line);
    QCOMPARE(listing, modules);
    wire.send("8B");
    QCOMPARE(wire.read().right(17), bitmaps);
  }

  // A1 addressed, then a pre-set dim: the level's low bits read bit-reversed from the house
  // nibble (0 = M, 1 = N, 6 = A, 15 = J); the lamp takes level x 22 / 31 steps, rounded.
  void presetDimSetsLampLevel_data() {
    QTest::addColumn<QByteArray>("transmission");
    QTest::addColumn<QByteArray>("replies");
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("steps");
    QTest::newRow("level 0: M Pre-set Dim 1")
        << QByteArray("06 0A 00") << QByteArray("10 55") << false << 0;
    QTest::newRow("level 1: N Pre-set Dim 1")
        << QByteArray("06 8A 00") << QByteArray("90 55") << true << 1;
    QTest::newRow("level 6: A Pre-set Dim 1")
        << QByteArray("06 6A 00") << QByteArray("70 55") << true << 4;
    QTest::newRow("level 22: A Pre-set Dim 2")
        << QByteArray("06 6B 00") << QByteArray("71 55") << true << 16;
    QTest::newRow("level 31: J Pre-set Dim 2")
        << QByteArray("06 FB 00") << QByteArray("01 55") << true << 22;
  }
  void presetDimSetsLampLevel() {
    QFETCH(QByteArray, transmission);
    QFETCH(QByteArray, replies);
    QFETCH(bool, on);
    QFETCH(int, steps);
    VirtualWire wire;
    wire.send("04 66 00");
    QCOMPARE(wire.read(), QByteArray("6A 55"));
    wire.send(transmission);
    QCOMPARE(wire.read(), replies);
    const Module *lamp = wire.device.powerLine().module(kA, kUnit1);
    QCOMPARE(lamp->on, on);
    if (on)
      QCOMPARE(int(lamp->brightness), steps);
  }

  void extendedPresetDimSetsLampLevel() {
    PowerLine line;
    line.setModule(kA, *UnitCode::fromNumber(5), ModuleKind::Lamp);
    VirtualWire wire(Timing::fast(), line);
    wire.send("07 67 01 1F 31 00");
    QCOMPARE(wire.read(), QByteArray("BF 55"));
    const Module *lamp = wire.device.powerLine().module(kA, *UnitCode::fromNumber(5));
    QVERIFY(lamp->on);
    QCOMPARE(lamp->brightness, std::uint8_t(11)); // 31 of 63 is half of 22 steps
  }

  void wrongChecksumIsAnsweredByResending() {
    VirtualWire wire;
    wire.device.faults().wrongChecksums = 2;
    wire.send("04 66");
    QVERIFY(wire.read() != QByteArray("6A"));
    wire.send("04 66");
    QVERIFY(wire.read() != QByteArray("6A"));
    wire.send("04 66");
    QCOMPARE(wire.read(), QByteArray("6A"));
    wire.send("00");
    QCOMPARE(wire.read(), QByteArray("55"));
  }

  // A byte other than the go-ahead after a checksum: the same command sent again, or a new
  // exchange that skips the go-ahead, as clients do after a set-clock. The trace tells which.
  void otherByteThanTheGoAheadIsTold_data() {
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("then");
    QTest::addColumn<QString>("note");
    QTest::newRow("sent again") << QByteArray("04 66") << QByteArray("04 66")
                                << "PC sends again instead of going ahead";
    QTest::newRow("set-clock, then a status request")
        << QByteArray("9B 00 00 00 00 01 E0") << QByteArray("8B")
        << "PC skips the go-ahead: set clock day 0 Sun 00:00:00, monitor house B stands, as it "
           "took effect on "
           "arrival; 8B starts a new exchange";
    QTest::newRow("address, then a function")
        << QByteArray("04 66") << QByteArray("06 62")
        << "PC skips the go-ahead: A1 dropped; 06 starts a new exchange";
  }
  void otherByteThanTheGoAheadIsTold() {
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, then);
    QFETCH(QString, note);
    VirtualWire wire;
    wire.send(first);
    wire.read();
    wire.device.takeReports();
    wire.send(then);
    QStringList notes;
    for (const Report &report : wire.device.takeReports())
      if (report.kind == Report::Kind::Note)
        notes << QString::fromStdString(report.text);
    QCOMPARE(notes, QStringList{note});
  }

  void checksumFaultSends5A() {
    VirtualWire wire;
    wire.device.faults().checksumIs5A = true;
    wire.send("04 66");
    QCOMPARE(wire.read(), QByteArray("5A"));
    wire.send("04 66");
    QCOMPARE(wire.read(), QByteArray("6A"));
  }

  void strayBytesAreIgnored() { // none has header bit 2 set
    VirtualWire wire;
    wire.send("00 C3 5A 80");
    QCOMPARE(wire.readFor(std::chrono::seconds(2)), QByteArray());
    wire.send("04 66");
    QCOMPARE(wire.read(), QByteArray("6A"));
  }

  // The monitored house's bitmaps, bit n the unit whose code nibble is n (A1 is 40 00): Dim
  // and Bright both leave a unit on at a level the interface cannot know, so both mark it
  // dimmed; On, Off and the All functions clear the mark.
  void statusBitmaps_data() {
    QTest::addColumn<QByteArrayList>("transmissions");
    QTest::addColumn<QByteArray>("status");
    // battery FFFF, clock at reset (Sunday), house A firmware 1, then the three bitmaps
    QTest::newRow("reset") << QByteArrayList{} << QByteArray(kResetStatus + "00 00 00 00 00 00");
    QTest::newRow("A1 On") << QByteArrayList{"04 66", "06 62"}
                           << QByteArray(kResetStatus + "40 00 40 00 00 00");
    QTest::newRow("A1 Dim") << QByteArrayList{"04 66", "56 64"}
                            << QByteArray(kResetStatus + "40 00 40 00 40 00");
    QTest::newRow("A1 Bright") << QByteArrayList{"04 66", "2E 65"}
                               << QByteArray(kResetStatus + "40 00 40 00 40 00");
    QTest::newRow("A1 Dim, then On") << QByteArrayList{"04 66", "56 64", "06 62"}
                                     << QByteArray(kResetStatus + "40 00 40 00 00 00");
    QTest::newRow("A1 Bright, then Off") << QByteArrayList{"04 66", "2E 65", "06 63"}
                                         << QByteArray(kResetStatus + "40 00 00 00 00 00");
  }
  void statusBitmaps() {
    QFETCH(QByteArrayList, transmissions);
    QFETCH(QByteArray, status);
    VirtualWire wire;
    for (const QByteArray &transmission : transmissions) {
      wire.send(transmission + " 00");
      QVERIFY(wire.read().endsWith(" 55"));
    }
    wire.send("8B");
    QCOMPARE(wire.read(), status);
  }

  void setClockRunsTheClock_data() {
    QTest::addColumn<QByteArray>("setClock");
    QTest::addColumn<QByteArray>("checksum");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QByteArray>("status");
    // 21:04:19 + 61 s = 21:05:20: seconds 14, minutes 41 (65 within the two hours), hours/2 0A
    QTest::newRow("Monday evening") << QByteArray("9B 13 40 0A 48 82 60") << QByteArray("87") << 61
                                    << QByteArray("FF FF 14 41 0A 48 82 61 00 00 00 00 00 00");
    // Saturday, day 199, 23:59:59 + 1 s = Sunday, day 200 (C8), 00:00:00
    QTest::newRow("Saturday midnight")
        << QByteArray("9B 3B 77 0B C7 40 60") << QByteArray("24") << 1
        << QByteArray("FF FF 00 00 00 C8 01 61 00 00 00 00 00 00");
  }
  void setClockRunsTheClock() {
    QFETCH(QByteArray, setClock);
    QFETCH(QByteArray, checksum);
    QFETCH(int, seconds);
    QFETCH(QByteArray, status);
    VirtualWire wire;
    wire.send(setClock);
    QCOMPARE(wire.read(), checksum);
    wire.send("00");
    QCOMPARE(wire.read(), QByteArray("55"));
    wire.readFor(std::chrono::seconds(seconds));
    wire.send("8B");
    QCOMPARE(wire.read(), status);
  }

  void setClockFlagsClearBatteryTimerAndStatus() {
    VirtualWire wire;
    wire.send("04 66 00");
    QCOMPARE(wire.read(), QByteArray("6A 55"));
    wire.send("06 62 00");
    QCOMPARE(wire.read(), QByteArray("68 55"));
    wire.send("9B 13 40 0A 48 82 63 00");
    QCOMPARE(wire.read(), QByteArray("8A 55"));
    wire.send("8B");
    QCOMPARE(wire.read(), QByteArray("00 00 13 40 0A 48 82 61 00 00 00 00 00 00"));
  }

  void setClockChoosesMonitoredHouse() {
    VirtualWire wire;
    wire.send("9B 00 00 00 00 01 E0 00"); // house B
    QCOMPARE(wire.read(), QByteArray("E1 55"));
    wire.send("04 E2 00"); // B3 On
    QCOMPARE(wire.read(), QByteArray("E6 55"));
    wire.send("06 E2 00");
    QCOMPARE(wire.read(), QByteArray("E8 55"));
    wire.send("8B");
    QCOMPARE(wire.read(), QByteArray("FF FF 00 00 00 00 01 E1 04 00 04 00 00 00"));
  }

  void ringEnableAndDisable() {
    VirtualWire wire;
    wire.send("DB");
    QCOMPARE(wire.read(), QByteArray("DB"));
    wire.send("00");
    QCOMPARE(wire.read(), QByteArray("55"));
    QVERIFY(!wire.device.ringEnabled());
    wire.send("EB 00");
    QCOMPARE(wire.read(), QByteArray("EB 55"));
    QVERIFY(wire.device.ringEnabled());
  }

  void timerDownloadIsKept() {
    VirtualWire wire;
    wire.send("FB 00 20 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10");
    QCOMPARE(wire.read(), QByteArray("A8")); // 20 + 1 + 2 + ... + 16 = 20 + 88
    wire.send("00");
    QCOMPARE(wire.read(), QByteArray("55"));
    const auto &blocks = wire.device.storedBlocks();
    QCOMPARE(blocks.size(), std::size_t(1));
    QCOMPARE(blocks.at(0x0020).size(), std::size_t(16));
    QCOMPARE(blocks.at(0x0020).front(), std::uint8_t(0x01));
    QCOMPARE(blocks.at(0x0020).back(), std::uint8_t(0x10));

    wire.send("9B 00 00 00 00 01 64 00"); // purge timers
    QCOMPARE(wire.read(), QByteArray("65 55"));
    QVERIFY(wire.device.storedBlocks().empty());
  }
};

QTEST_APPLESS_MAIN(TestDeviceExchanges)
#include "test_device_exchanges.moc"
