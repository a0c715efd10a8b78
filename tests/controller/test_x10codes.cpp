// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "vocabulary/result.h"
#include "vocabulary/x10codes.h"

#include <QTest>

using namespace x10;

class TestX10Codes : public QObject {
  Q_OBJECT
private slots:
  // value() of a failure is a programmer's mistake and throws, with or without a value type;
  // of a success it gives the value.
  void resultValueOfAFailureThrows() {
    const Result<void, std::string> done;
    done.value();
    const Result<void, std::string> failedVoid = Unexpected(std::string("gone"));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, failedVoid.value());
    QCOMPARE(failedVoid.error(), "gone");
    const Result<int, std::string> failedInt = Unexpected(std::string("gone"));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, failedInt.value());
    const Result<int, std::string> seven = 7;
    QCOMPARE(seven.value(), 7);
  }

  void houseAndUnitShareTheLineCodeTable_data() {
    QTest::addColumn<char>("letter");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("code");
    // The published table, written out by hand.
    const struct {
      char letter;
      int unit;
      int code;
    } rows[] = {{'A', 1, 0x6},  {'B', 2, 0xE},  {'C', 3, 0x2},  {'D', 4, 0xA},
                {'E', 5, 0x1},  {'F', 6, 0x9},  {'G', 7, 0x5},  {'H', 8, 0xD},
                {'I', 9, 0x7},  {'J', 10, 0xF}, {'K', 11, 0x3}, {'L', 12, 0xB},
                {'M', 13, 0x0}, {'N', 14, 0x8}, {'O', 15, 0x4}, {'P', 16, 0xC}};
    for (const auto &r : rows)
      QTest::addRow("%c/%d", r.letter, r.unit) << r.letter << r.unit << r.code;
  }
  void houseAndUnitShareTheLineCodeTable() {
    QFETCH(char, letter);
    QFETCH(int, unit);
    QFETCH(int, code);
    QCOMPARE(HouseCode::fromLetter(letter)->nibble(), code);
    QCOMPARE(HouseCode::fromNibble(static_cast<std::uint8_t>(code)).letter(), letter);
    QCOMPARE(UnitCode::fromNumber(unit)->nibble(), code);
    QCOMPARE(UnitCode::fromNibble(static_cast<std::uint8_t>(code)).number(), unit);
  }

  // Levels 0..15 read as houses M N O P C D A B E F G H K L I J; Pre-set Dim 2 adds 16.
  void presetDimLevelTravelsInTheHouseNibble_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("houseNibble");
    QTest::newRow("0 = M") << 0 << 10 << 0x0;
    QTest::newRow("1 = N") << 1 << 10 << 0x8;
    QTest::newRow("4 = C") << 4 << 10 << 0x2;
    QTest::newRow("6 = A") << 6 << 10 << 0x6;
    QTest::newRow("9 = F") << 9 << 10 << 0x9;
    QTest::newRow("15 = J") << 15 << 10 << 0xF;
    QTest::newRow("16 = M, Pre-set Dim 2") << 16 << 11 << 0x0;
    QTest::newRow("22 = A, Pre-set Dim 2") << 22 << 11 << 0x6;
    QTest::newRow("31 = J, Pre-set Dim 2") << 31 << 11 << 0xF;
  }
  void presetDimLevelTravelsInTheHouseNibble() {
    QFETCH(int, level);
    QFETCH(int, function);
    QFETCH(int, houseNibble);
    const PresetDimCode code = presetDimCode(level);
    QCOMPARE(static_cast<int>(code.function), function);
    QCOMPARE(code.houseNibble, houseNibble);
    QCOMPARE(presetLevel(static_cast<std::uint8_t>(houseNibble), static_cast<Function>(function)),
             level);
  }

  void presetDimLevelIsClamped() {
    QCOMPARE(presetDimCode(-3).houseNibble, 0x0);
    QCOMPARE(presetDimCode(40).function, Function::PresetDim2);
    QCOMPARE(presetDimCode(40).houseNibble, 0xF);
  }

  void lowerCaseHouseIsAccepted() { QCOMPARE(HouseCode::fromLetter('p')->letter(), 'P'); }

  void outOfRangeCodesAreRefused() {
    for (char c : {'Q', 'q', '@', ' ', '1', '\0'})
      QVERIFY2(!HouseCode::fromLetter(c), qPrintable(QString::number(c)));
    for (int n : {0, 17, -1})
      QVERIFY(!UnitCode::fromNumber(n));
  }

  void functionNames() {
    QCOMPARE(functionName(Function::AllUnitsOff), "All Units Off");
    QCOMPARE(functionName(functionFromCode(0x62)), "On");
    QCOMPARE(functionName(Function::StatusRequest), "Status Request");
  }
};

QTEST_APPLESS_MAIN(TestX10Codes)
#include "test_x10codes.moc"
