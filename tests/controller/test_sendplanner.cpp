// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The send arguments: what goes out for good ones, and an error naming the bad one.
#include "controller/protocol/sendplanner.h"
#include "tests/support/commalocale.h"

#include <QTest>

using namespace x10;
using Bytes = std::vector<std::uint8_t>;

Q_DECLARE_METATYPE(Bytes)

class TestSendPlanner : public QObject {
  Q_OBJECT
private slots:
  void plans_data() {
    QTest::addColumn<QString>("house");
    QTest::addColumn<QString>("devices");
    QTest::addColumn<int>("function");
    QTest::addColumn<double>("dim");
    QTest::addColumn<double>("data1");
    QTest::addColumn<double>("data2");
    QTest::addColumn<Bytes>("bytes"); // all transmissions, one after the other
    QTest::newRow("A1 On") << "A"
                           << "1" << 2 << 0.0 << 0.0 << 0.0 << Bytes{0x04, 0x66, 0x06, 0x62};
    QTest::newRow("blanks, lower case")
        << " a "
        << " 1 , 2 " << 3 << 0.0 << 0.0 << 0.0 << Bytes{0x04, 0x66, 0x04, 0x6E, 0x06, 0x63};
    QTest::newRow("range of one") << "A"
                                  << "3-3" << -1 << 0.0 << 0.0 << 0.0 << Bytes{0x04, 0x62};
    QTest::newRow("list and range")
        << "A"
        << "1,3-4" << -1 << 0.0 << 0.0 << 0.0 << Bytes{0x04, 0x66, 0x04, 0x62, 0x04, 0x6A};
    QTest::newRow("no unit: all units off") << "A"
                                            << "" << 0 << 0.0 << 0.0 << 0.0 << Bytes{0x06, 0x60};
    QTest::newRow("dim 73% = 16 dims") << "A"
                                       << "" << 4 << 73.0 << 0.0 << 0.0 << Bytes{0x86, 0x64};
    QTest::newRow("dim 45% = 10 dims") << "A"
                                       << "" << 4 << 45.0 << 0.0 << 0.0 << Bytes{0x56, 0x64};
    // 25 % is 5.5 dims, rounded half up
    QTest::newRow("dim 25% = 6 dims") << "A"
                                      << "" << 4 << 25.0 << 0.0 << 0.0 << Bytes{0x36, 0x64};
    // a fraction of a per cent is a share like any other: 0.77 dims, one step
    QTest::newRow("dim 3.5% = 1 dim") << "A"
                                      << "" << 4 << 3.5 << 0.0 << 0.0 << Bytes{0x0E, 0x64};
    QTest::newRow("extended data: the function alone, data ignored")
        << "A"
        << "1" << 12 << 0.0 << 31.0 << 49.0 << Bytes{0x04, 0x66, 0x06, 0x6C};
    QTest::newRow("bright 100% = 22 dims") << "A"
                                           << "" << 5 << 100.0 << 0.0 << 0.0 << Bytes{0xB6, 0x65};
    QTest::newRow("pre-set 100% = level 31")
        << "A"
        << "1" << 10 << 100.0 << 0.0 << 0.0 << Bytes{0x04, 0x66, 0x06, 0xFB};
    QTest::newRow("pre-set 20% = level 6")
        << "A"
        << "1" << 11 << 20.0 << 0.0 << 0.0 << Bytes{0x04, 0x66, 0x06, 0x6A};
    QTest::newRow("extended per unit")
        << "A"
        << "5" << 7 << 0.0 << 31.0 << 49.0 << Bytes{0x07, 0x67, 0x01, 0x1F, 0x31};
    QTest::newRow("dim value ignored for On")
        << "A"
        << "1" << 2 << 500.0 << 0.0 << 0.0 << Bytes{0x04, 0x66, 0x06, 0x62};
  }
  void plans() {
    QFETCH(QString, house);
    QFETCH(QString, devices);
    QFETCH(int, function);
    QFETCH(double, dim);
    QFETCH(double, data1);
    QFETCH(double, data2);
    QFETCH(Bytes, bytes);
    const auto plan =
        planSend(house.toStdString(), devices.toStdString(), function, dim, data1, data2);
    Bytes all;
    for (const auto &t : plan.value())
      all.insert(all.end(), t.bytes().begin(), t.bytes().end());
    QCOMPARE(all, bytes);
  }

  void refusals_data() {
    QTest::addColumn<QString>("house");
    QTest::addColumn<QString>("devices");
    QTest::addColumn<int>("function");
    QTest::addColumn<double>("dim");
    QTest::addColumn<double>("data1");
    QTest::addColumn<QString>("named"); // the message names the argument and its value first
    QTest::newRow("house Q")
        << "Q"
        << "1" << 2 << 0.0 << 0.0
        << "House code: \"Q\" is not a house code; enter one letter from A to P.";
    QTest::newRow("house AB") << "AB"
                              << "1" << 2 << 0.0 << 0.0 << "House code: \"AB\"";
    QTest::newRow("house empty") << " "
                                 << "1" << 2 << 0.0 << 0.0 << "House code: \" \"";
    QTest::newRow("unit 17")
        << "A"
        << "17" << 2 << 0.0 << 0.0
        << "Device code: \"17\" is not a unit or a list of units; enter a unit from 1 to 16, "
           "a list such as 1,3,5-7, or nothing.";
    QTest::newRow("unit 0") << "A"
                            << "0" << 2 << 0.0 << 0.0 << "Device code: \"0\"";
    QTest::newRow("range backwards") << "A"
                                     << "7-5" << 2 << 0.0 << 0.0 << "Device code: \"7-5\"";
    QTest::newRow("trailing comma") << "A"
                                    << "1," << 2 << 0.0 << 0.0 << "Device code: \"1,\"";
    QTest::newRow("letters") << "A"
                             << "x" << 2 << 0.0 << 0.0 << "Device code: \"x\"";
    QTest::newRow("function 16") << "A"
                                 << "1" << 16 << 0.0 << 0.0
                                 << "Function: 16 is out of range; enter a number from 0 to 15, "
                                    "or -1 for the address alone.";
    QTest::newRow("function -2") << "A"
                                 << "1" << -2 << 0.0 << 0.0 << "Function: -2";
    QTest::newRow("dim 101") << "A"
                             << "1" << 4 << 101.0 << 0.0
                             << "Dim Value: 101 is out of range; enter a number from 0 to 100.";
    QTest::newRow("dim -1 on pre-set") << "A"
                                       << "1" << 10 << -1.0 << 0.0 << "Dim Value: -1";
    QTest::newRow("data 256") << "A"
                              << "1" << 7 << 0.0 << 256.0
                              << "Data1: 256 is out of range; enter a whole number from 0 to 255.";
    QTest::newRow("data 1.5")
        << "A"
        << "1" << 7 << 0.0 << 1.5
        << "Data1: 1.5 is not a whole number; enter a whole number from 0 to 255.";
    QTest::newRow("data just above 255")
        << "A"
        << "1" << 7 << 0.0 << 255.0000001 << "Data1: 255.0000001 is not a whole number";
    QTest::newRow("data 1e308") << "A"
                                << "1" << 7 << 0.0 << 1e308 << "Data1: 1e+308 is out of range";
    QTest::newRow("data of the longest shortest form")
        << "A"
        << "1" << 7 << 0.0 << -2.2250738585072014e-308
        << "Data1: -2.2250738585072014e-308 is not a whole number";
    QTest::newRow("address alone without unit") << "A"
                                                << "" << -1 << 0.0 << 0.0
                                                << "Device code: \"\" names no unit; an address "
                                                   "alone needs one: enter a unit from 1 to 16.";
    QTest::newRow("extended without unit")
        << "A"
        << "" << 7 << 0.0 << 0.0 << "Device code: \"\" names no unit; an extended code";
  }
  void refusals() {
    QFETCH(QString, house);
    QFETCH(QString, devices);
    QFETCH(int, function);
    QFETCH(double, dim);
    QFETCH(double, data1);
    QFETCH(QString, named);
    const auto plan = planSend(house.toStdString(), devices.toStdString(), function, dim, data1, 0);
    QVERIFY2(!plan, "accepted");
    QVERIFY2(QString::fromStdString(plan.error()).startsWith(named), plan.error().c_str());
  }

  // The console runs under the user's locale: a decimal comma must not get into the texts.
  void refusalTextIgnoresTheLocale() {
    const QString error = useCommaDecimalLocale();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const auto plan = planSend("A", "1", 4, 100.5, 0, 0);
    QVERIFY2(!plan, "accepted");
    QCOMPARE(plan.error(), "Dim Value: 100.5 is out of range; enter a number from 0 to 100.");
  }
};

QTEST_APPLESS_MAIN(TestSendPlanner)
#include "test_sendplanner.moc"
