// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Frames against the published example bytes, written out by hand. Upload contents are
// checked through the decoder in test_receive.
#include "controller/protocol/statusreply.h"
#include "controller/protocol/transmission.h"
#include "controller/protocol/upload.h"

#include <QTest>

using namespace x10;
using Bytes = std::vector<std::uint8_t>;

Q_DECLARE_METATYPE(Bytes)

namespace {
HouseCode house(char c) { return *HouseCode::fromLetter(c); }
UnitCode unit(int n) { return *UnitCode::fromNumber(n); }
} // namespace

class TestFrames : public QObject {
  Q_OBJECT
private slots:
  void standardExamples_data() {
    QTest::addColumn<Transmission>("transmission");
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<int>("checksum");
    // Mains cycles on the line: 11-cycle frames, at least two, one a dim step, 3 silent cycles;
    // an extended frame is 31 cycles twice and 3 silent.
    QTest::addColumn<int>("cycles");
    QTest::newRow("address A1") << Transmission::address(house('A'), unit(1)) << Bytes{0x04, 0x66}
                                << 0x6A << 25;
    QTest::newRow("address A2") << Transmission::address(house('a'), unit(2)) << Bytes{0x04, 0x6E}
                                << 0x72 << 25;
    QTest::newRow("A On") << Transmission::function(house('A'), Function::On) << Bytes{0x06, 0x62}
                          << 0x68 << 25;
    QTest::newRow("A Off") << Transmission::function(house('A'), Function::Off) << Bytes{0x06, 0x63}
                           << 0x69 << 25;
    QTest::newRow("A Dim 16") << Transmission::function(house('A'), Function::Dim, 16)
                              << Bytes{0x86, 0x64} << 0xEA << 179;
    QTest::newRow("A Dim 10") << Transmission::function(house('A'), Function::Dim, 10)
                              << Bytes{0x56, 0x64} << 0xBA << 113;
    QTest::newRow("A Dim 22") << Transmission::function(house('A'), Function::Dim, 22)
                              << Bytes{0xB6, 0x64} << 0x1A << 245;
    QTest::newRow("A Dim 1") << Transmission::function(house('A'), Function::Dim, 1)
                             << Bytes{0x0E, 0x64} << 0x72 << 25;
    QTest::newRow("A Bright 5") << Transmission::function(house('A'), Function::Bright, 5)
                                << Bytes{0x2E, 0x65} << 0x93 << 58;
    QTest::newRow("A Bright 22") << Transmission::function(house('A'), Function::Bright, 22)
                                 << Bytes{0xB6, 0x65} << 0x1B << 245;
    QTest::newRow("A All Units Off") << Transmission::function(house('A'), Function::AllUnitsOff)
                                     << Bytes{0x06, 0x60} << 0x66 << 25;
    QTest::newRow("dims ignored for On")
        << Transmission::function(house('A'), Function::On, 9) << Bytes{0x06, 0x62} << 0x68 << 25;
    QTest::newRow("G1 sums to a poll byte")
        << Transmission::address(house('G'), unit(1)) << Bytes{0x04, 0x56} << 0x5A << 25;
    QTest::newRow("extended A5") << Transmission::extended(house('A'), unit(5), 0x1F, 0x31)
                                 << Bytes{0x07, 0x67, 0x01, 0x1F, 0x31} << 0xBF << 65;
    // Monday 24 November (day 328) 21:04:19, monitored house A.
    QTest::newRow("set clock") << Transmission::setClock({328, 1, 21, 4, 19}, house('A'), 0)
                               << Bytes{0x9B, 0x13, 0x40, 0x0A, 0x48, 0x82, 0x60} << 0x87 << 0;
    QTest::newRow("set clock clearing, never purging")
        << Transmission::setClock({328, 1, 21, 4, 19}, house('A'), 0xFF)
        << Bytes{0x9B, 0x13, 0x40, 0x0A, 0x48, 0x82, 0x63} << 0x8A << 0;
    // Saturday 19 July (day 199, below 256 but above 127) 13:59:30, monitored house B.
    QTest::newRow("set clock, Saturday afternoon")
        << Transmission::setClock({199, 6, 13, 59, 30}, house('B'), 0)
        << Bytes{0x9B, 0x1E, 0x77, 0x06, 0xC7, 0x40, 0xE0} << 0x82 << 0;
  }
  void standardExamples() {
    QFETCH(Transmission, transmission);
    QFETCH(Bytes, bytes);
    QFETCH(int, checksum);
    QFETCH(int, cycles);
    QCOMPARE(transmission.bytes(), bytes);
    QCOMPARE(transmission.checksum(), checksum);
    QCOMPARE(transmission.lineCycles(), cycles);
    QCOMPARE(Transmission::parse(bytes), transmission);
  }

  void everyFunctionOfHouseP() {
    // P is nibble C; the header is 06 for every function without dim steps.
    const int codes[] = {0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7,
                         0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF};
    for (int f = 0; f < 16; ++f) {
      const auto t = Transmission::function(house('P'), static_cast<Function>(f));
      QCOMPARE(t.bytes(), (Bytes{0x06, static_cast<std::uint8_t>(codes[f])}));
    }
    QCOMPARE(Transmission::function(house('P'), Function::Bright, 22).bytes(), (Bytes{0xB6, 0xC5}));
  }

  void presetDimLevels_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<Bytes>("bytes");
    QTest::newRow("0 = M, Pre-set Dim 1") << 0 << Bytes{0x06, 0x0A};
    QTest::newRow("1 = N") << 1 << Bytes{0x06, 0x8A};
    QTest::newRow("6 = A") << 6 << Bytes{0x06, 0x6A};
    QTest::newRow("15 = J") << 15 << Bytes{0x06, 0xFA};
    QTest::newRow("16 = M, Pre-set Dim 2") << 16 << Bytes{0x06, 0x0B};
    QTest::newRow("31 = J, Pre-set Dim 2") << 31 << Bytes{0x06, 0xFB};
  }
  void presetDimLevels() {
    QFETCH(int, level);
    QFETCH(Bytes, bytes);
    QCOMPARE(Transmission::presetDim(level).bytes(), bytes);
    QCOMPARE(presetLevel(bytes[1] >> 4, functionFromCode(bytes[1])), level);
  }

  void parseRefusesWhatIsNotATransmission() {
    QVERIFY(!Transmission::parse(Bytes{}));
    QVERIFY(!Transmission::parse(Bytes{0x02, 0x62}));       // header bit 2 clear
    QVERIFY(!Transmission::parse(Bytes{0xBE, 0x64}));       // 23 dims
    QVERIFY(!Transmission::parse(Bytes{0x07, 0x67, 0x01})); // extended cut short
    QVERIFY(!Transmission::parse(Bytes{0x9B, 0x13, 0x40})); // set-clock cut short
  }

  void statusReplyWithA1Addressed() {
    const Bytes reply{0xFF, 0xFF, 0x13, 0x40, 0x0A, 0x48, 0x82,
                      0x61, 0x40, 0x00, 0x40, 0x00, 0x00, 0x00};
    const auto s = StatusReply::parse(reply);
    QVERIFY(s);
    QCOMPARE(s->batteryTimer, 0xFFFF);
    QCOMPARE(s->hour, 21);
    QCOMPARE(s->minute, 4);
    QCOMPARE(s->second, 19);
    QCOMPARE(s->dayOfYear, 328);
    QCOMPARE(s->dayMask, 0x02);
    QCOMPARE(s->monitoredHouse.letter(), 'A');
    QCOMPARE(s->firmware, 1);
    QVERIFY(StatusReply::includes(s->addressed, unit(1)));
    QVERIFY(!StatusReply::includes(s->addressed, unit(2)));
    QVERIFY(StatusReply::includes(s->onOff, unit(1)));
    QCOMPARE(s->dimmed, 0);
  }

  void statusReplyRefusesGarbage_data() {
    QTest::addColumn<Bytes>("reply");
    QTest::addColumn<QString>("reason");
    QTest::newRow("13 bytes") << Bytes(13, 0x00) << "13 bytes, not 14";
    QTest::newRow("15 bytes") << Bytes(15, 0x00) << "15 bytes, not 14";
    QTest::newRow("seconds 255") << Bytes(14, 0xFF) << "clock fields out of range";
    QTest::newRow("fourteen zero bytes") << Bytes(14, 0x00) << "no day of the week set";
    QTest::newRow("Sunday and Monday")
        << Bytes{0xFF, 0xFF, 0x13, 0x40, 0x0A, 0x48, 0x83, 0x61, 0x40, 0x00, 0x40, 0x00, 0x00, 0x00}
        << "more than one day of the week set";
  }
  void statusReplyRefusesGarbage() {
    QFETCH(Bytes, reply);
    QFETCH(QString, reason);
    const auto parsed = StatusReply::parse(reply);
    QVERIFY(!parsed);
    QCOMPARE(QString::fromStdString(parsed.error()), reason);
  }

  // Year days count from 0: 365 is 31 December of a leap year, 366 is none.
  void statusReplyYearDayLimit() {
    Bytes reply{0xFF, 0xFF, 0x00, 0x00, 0x00, 0x6D, 0x81, 0x61, 0, 0, 0, 0, 0, 0};
    const auto s = StatusReply::parse(reply);
    QVERIFY(s);
    QCOMPARE(s->dayOfYear, 365);
    reply[5] = 0x6E;
    QVERIFY(!StatusReply::parse(reply));
  }

  void uploadsWithBadSizeAreRefused() {
    QVERIFY(Upload::parse(Bytes{0x03, 0x02, 0x66, 0x64})->truncated); // Dim without its level byte
    QVERIFY(!Upload::parse(Bytes{0x00}));
    QVERIFY(!Upload::parse(Bytes{0x0A, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    QVERIFY(!Upload::parse(Bytes{0x03, 0x02, 0x66}));       // cut short
    QVERIFY(!Upload::parse(Bytes{0x02, 0x02, 0x66, 0x62})); // trailing byte
  }
};

QTEST_APPLESS_MAIN(TestFrames)
#include "test_frames.moc"
