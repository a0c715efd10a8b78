// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/numericfield.h"
#include "tests/support/commalocale.h"

#include <QTest>

#include <optional>

using Result = std::optional<double>; // nothing: NumericOverflow expected
Q_DECLARE_METATYPE(Result)

class TestNumericField : public QObject {
  Q_OBJECT

private slots:
  void readsTheLeadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<Result>("expected");
    const std::pair<const char *, Result> rows[] = {
        {"", 0.0},     {"2", 2.0},      {" 2", 2.0},         {"1 2\t3\n4", 1234.0},
        {"- 7", -7.0}, {"+42", 42.0},   {"-5", -5.0},        {"12.5", 12.5},
        {".25", 0.25}, {"7.", 7.0},     {"1.5E3", 1500.0},   {"25e-1", 2.5},
        {"3E", 3.0},   {"12abc", 12.0}, {"1.2.3", 1.2},      {"3,75", 3.0},
        {"COM2", 0.0}, {".", 0.0},      {"-", 0.0},          {"--5", 0.0},
        {"inf", 0.0},  {"nan", 0.0},    {"&HFFFF", 65535.0}, {"&h1f", 31.0},
        {"&H1G", 1.0}, {"&O17", 15.0},  {"&O78", 7.0},       {"&12", 0.0},
        {"&H", 0.0},   {"1E-400", 0.0}, {"1E400", {}},       {"-1E400", {}},
    };
    for (const auto &[text, expected] : rows)
      QTest::newRow(text) << QString::fromLatin1(text) << expected;
  }
  void readsTheLeadingNumber() {
    QFETCH(QString, text);
    QFETCH(Result, expected);
    if (expected)
      QCOMPARE(readNumber(text), *expected);
    else
      QVERIFY_THROWS_EXCEPTION(NumericOverflow, readNumber(text));
  }

  void narrowsTiesToEven_data() {
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<double>("value");
    QTest::addColumn<Result>("expected");
    const std::tuple<int, int, double, Result> rows[] = {
        {-32768, 32767, 2.5, 2},
        {-32768, 32767, 3.5, 4},
        {-32768, 32767, -2.5, -2},
        {-32768, 32767, 2.4999, 2},
        {-32768, 32767, 2.5001, 3},
        {-32768, 32767, -32768, -32768},
        {-32768, 32767, -32768.5, -32768},
        {-32768, 32767, 32767, 32767},
        {-32768, 32767, 32767.5, {}},
        {-32768, 32767, -32769, {}},
        {1, 32767, 1, 1},
        {1, 32767, 0.5, {}},
        {1, 32767, 1.5, 2},
        {1, 32767, 0, {}},
        {0, 65535, -0.5, 0},
        {0, 65535, -1, {}},
        {0, 65535, 65535, 65535},
        {0, 65535, 65535.5, {}},
        {-2147483647 - 1, 2147483647, 2147483647, 2147483647},
        {-2147483647 - 1, 2147483647, -2147483648.0, -2147483648.0},
        {-2147483647 - 1, 2147483647, 2147483648.0, {}},
        {-2147483647 - 1, 2147483647, -2147483649.0, {}},
        {0, 65535, qQNaN(), {}},
        {0, 65535, qInf(), {}},
        {0, 65535, -qInf(), {}},
    };
    for (const auto &[low, high, value, expected] : rows)
      QTest::addRow("%d..%d %.12g", low, high, value) << low << high << value << expected;
  }
  void narrowsTiesToEven() {
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(double, value);
    QFETCH(Result, expected);
    if (expected)
      QCOMPARE(double(toWholeNumber(value, {low, high}, {low, high})), *expected);
    else
      QVERIFY_THROWS_EXCEPTION(NumericOverflow, toWholeNumber(value, {low, high}, {low, high}));
  }

  // Numbers in the message read as typed, or in their shortest exact form.
  void overflowMessageNamesValueAndRange_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("fitsLow");
    QTest::addColumn<int>("fitsHigh");
    QTest::addColumn<QString>("message");
    const QString tooLarge =
        " is too large; enter a smaller number. (The largest number is 1.7976931348623157e+308.)";
    // The range of use, 1 to 32767, is what the message offers, whatever fits.
    QTest::newRow("above 16 bits")
        << "40000" << -32768 << 32767 << "40000 is out of range; enter a number from 1 to 32767.";
    QTest::newRow("below 16 bits")
        << "-40000" << -32768 << 32767 << "-40000 is out of range; enter a number from 1 to 32767.";
    QTest::newRow("fraction") << "-0.75" << 0 << 65535
                              << "-0.75 is out of range; enter a number from 1 to 32767.";
    QTest::newRow("exponent") << "1e20" << -2147483647 - 1 << 2147483647
                              << "1e+20 is out of range; enter a number from 1 to 32767.";
    QTest::newRow("beyond double") << "1E400x" << 0 << 0 << "1E400" + tooLarge;
    QTest::newRow("negative, blanks") << "- 1 e 4 0 0" << 0 << 0 << "-1e400" + tooLarge;
    QTest::newRow("hexadecimal") << "&H" + QString(257, 'F') << 0 << 0
                                 << "&H" + QString(257, 'F') + tooLarge;
  }
  void overflowMessageNamesValueAndRange() {
    QFETCH(QString, text);
    QFETCH(int, fitsLow);
    QFETCH(int, fitsHigh);
    QFETCH(QString, message);
    try {
      toWholeNumber(readNumber(text), {fitsLow, fitsHigh}, {1, 32767});
      QFAIL("no overflow reported");
    } catch (const NumericOverflow &e) {
      QCOMPARE(QString::fromUtf8(e.what()), message);
    }
  }

  // The period is the one decimal separator, read and written, whatever the user's locale.
  void commaLocaleChangesNothing() {
    const QString error = useCommaDecimalLocale();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(readNumber(u"12.5"), 12.5);
    QCOMPARE(readNumber(u"3,75"), 3.0);
    try {
      toWholeNumber(32767.5, int16Range, {1, 32767});
      QFAIL("no overflow reported");
    } catch (const NumericOverflow &e) {
      QCOMPARE(e.what(), "32767.5 is out of range; enter a number from 1 to 32767.");
    }
  }
};

QTEST_APPLESS_MAIN(TestNumericField)
#include "test_numericfield.moc"
