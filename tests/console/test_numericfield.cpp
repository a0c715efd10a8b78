#include "numericfield.h"

#include <QTest>

#include <cmath>

class TestNumericField : public QObject {
  Q_OBJECT

private slots:
  void readsTheLeadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("integer") << "2" << 2.0;
    QTest::newRow("leading blank") << " 2" << 2.0;
    QTest::newRow("blanks tabs and line feeds inside") << "1 2\t3\n4" << 1234.0;
    QTest::newRow("blank between sign and digits") << "- 7" << -7.0;
    QTest::newRow("plus sign") << "+42" << 42.0;
    QTest::newRow("minus sign") << "-5" << -5.0;
    QTest::newRow("fraction") << "12.5" << 12.5;
    QTest::newRow("fraction without integer part") << ".25" << 0.25;
    QTest::newRow("trailing period") << "7." << 7.0;
    QTest::newRow("exponent") << "1.5E3" << 1500.0;
    QTest::newRow("lower-case exponent with sign") << "25e-1" << 2.5;
    QTest::newRow("exponent without digits stops before E") << "3E" << 3.0;
    QTest::newRow("stops at the first foreign character") << "12abc" << 12.0;
    QTest::newRow("second period ends the number") << "1.2.3" << 1.2;
    QTest::newRow("comma is no decimal separator") << "3,75" << 3.0;
    QTest::newRow("letters first") << "COM2" << 0.0;
    QTest::newRow("lone period") << "." << 0.0;
    QTest::newRow("lone sign") << "-" << 0.0;
    QTest::newRow("double sign") << "--5" << 0.0;
    QTest::newRow("infinity is not a number here") << "inf" << 0.0;
    QTest::newRow("nan is not a number here") << "nan" << 0.0;
    QTest::newRow("hexadecimal") << "&HFFFF" << 65535.0;
    QTest::newRow("hexadecimal lower case") << "&h1f" << 31.0;
    QTest::newRow("hexadecimal stops at non-digit") << "&H1G" << 1.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&O78" << 7.0;
    QTest::newRow("ampersand without H or O") << "&12" << 0.0;
    QTest::newRow("hexadecimal without digits") << "&H" << 0.0;
    QTest::newRow("underflow gives zero") << "1E-400" << 0.0;
    QTest::newRow("non-Latin digit ends the number") << QString::fromUtf8("4\u0663") << 4.0;
  }
  void readsTheLeadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(readNumber(text), expected);
  }

  void aNumberBeyondDoubleIsAnOverflow() {
    QVERIFY_THROWS_EXCEPTION(NumericOverflow, readNumber(u"1E400"));
    QVERIFY_THROWS_EXCEPTION(NumericOverflow, readNumber(u"-1E400"));
  }

  void narrowsTo16BitTiesToEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("2.5 to even 2") << 2.5 << 2;
    QTest::newRow("3.5 to even 4") << 3.5 << 4;
    QTest::newRow("-2.5 to even -2") << -2.5 << -2;
    QTest::newRow("2.4999 down") << 2.4999 << 2;
    QTest::newRow("2.5001 up") << 2.5001 << 3;
    QTest::newRow("lowest") << -32768.0 << -32768;
    QTest::newRow("highest") << 32767.0 << 32767;
    QTest::newRow("32767.4 rounds into range") << 32767.4 << 32767;
    QTest::newRow("-32768.5 rounds to even, in range") << -32768.5 << -32768;
  }
  void narrowsTo16BitTiesToEven() {
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(toInt16(value), qint16(expected));
  }

  void narrowing16BitOverflows_data() {
    QTest::addColumn<double>("value");
    QTest::newRow("32768") << 32768.0;
    QTest::newRow("32767.5 rounds out of range") << 32767.5;
    QTest::newRow("-32769") << -32769.0;
    QTest::newRow("65536") << 65536.0;
  }
  void narrowing16BitOverflows() {
    QFETCH(double, value);
    QVERIFY_THROWS_EXCEPTION(NumericOverflow, toInt16(value));
  }

  void narrowsTo32Bit() {
    QCOMPARE(toInt32(65536.0), 65536);
    QCOMPARE(toInt32(-2147483648.0), std::numeric_limits<qint32>::min());
    QCOMPARE(toInt32(2147483647.0), std::numeric_limits<qint32>::max());
    QCOMPARE(toInt32(0.5), 0);
    QCOMPARE(toInt32(1.5), 2);
  }

  void narrowing32BitOverflows() {
    QVERIFY_THROWS_EXCEPTION(NumericOverflow, toInt32(2147483648.0));
    QVERIFY_THROWS_EXCEPTION(NumericOverflow, toInt32(-2147483649.0));
  }

  void overflowMessageNamesValueAndRange() {
    try {
      toInt16(40000.0);
      QFAIL("no overflow reported");
    } catch (const NumericOverflow &e) {
      QCOMPARE(QString::fromUtf8(e.what()),
               "Overflow: 40000 does not fit in a 16-bit integer (-32768 to 32767)");
    }
  }
};

QTEST_APPLESS_MAIN(TestNumericField)
#include "test_numericfield.moc"
