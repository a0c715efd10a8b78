// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// "Send Exec" and "Send Wait" against a recording component.

#include "tests/console/consoleundertest.h"
#include "tests/support/messageboxcatcher.h"

#include <QComboBox>

class TestSendingHandlers : public QObject {
  Q_OBJECT
  std::unique_ptr<ConsoleUnderTest> console;

private slots:
  void init() { console = std::make_unique<ConsoleUnderTest>(); }
  void cleanup() { console.reset(); }

  void sendsTheFields_data() {
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("fields"); // TxtHC, TxtDC, TxtDim, TxtData1, TxtData2
    QTest::addColumn<QString>("call");
    const QStringList defaults = {"A", "1", "50", "50", "50"};
    const QStringList typed = {"", " 12 ", "12.5", "&H10", "-2.5E2"};
    for (const auto &[button, member] :
         {std::pair{"Command1", "SendExec"}, {"Command5", "SendWait"}}) {
      const QString prefix = QString::fromLatin1(member);
      QTest::addRow("%s defaults", member)
          << QByteArray(button) << 0 << defaults
          << prefix + R"(("A", "1", short 0, double 50, double 50, double 50))";
      QTest::addRow("%s Dim", member)
          << QByteArray(button) << 4 << defaults
          << prefix + R"(("A", "1", short 4, double 50, double 50, double 50))";
      QTest::addRow("%s Status Request", member)
          << QByteArray(button) << 15 << defaults
          << prefix + R"(("A", "1", short 15, double 50, double 50, double 50))";
      QTest::addRow("%s last entry is -1", member)
          << QByteArray(button) << 16 << defaults
          << prefix + R"(("A", "1", short -1, double 50, double 50, double 50))";
      QTest::addRow("%s as typed, unrounded", member)
          << QByteArray(button) << 2 << typed
          << prefix + R"(("", " 12 ", short 2, double 12.5, double 16, double -250))";
    }
    QTest::newRow("no leading number")
        << QByteArray("Command1") << 0 << QStringList{"A", "1", "full", "x1", "."}
        << R"(SendExec("A", "1", short 0, double 0, double 0, double 0))";
  }
  void sendsTheFields() {
    QFETCH(QByteArray, button);
    QFETCH(int, position);
    QFETCH(QStringList, fields);
    QFETCH(QString, call);
    console->control<QComboBox>("Combo1")->setCurrentIndex(position);
    for (const char *name : {"TxtHC", "TxtDC", "TxtDim", "TxtData1", "TxtData2"})
      console->type(name, fields.takeFirst());
    console->click(button.constData());
    QCOMPARE(console->fake->calls, {call});
  }

  // The box names the field a number came from, shows the number as typed, and never grows
  // wider than the screen: long runs and long texts keep their ends around an ellipsis.
  void failingSendIsReported_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("thrown");
    QTest::addColumn<QString>("shown");
    const QString tooLarge =
        " is too large; enter a smaller number. (The largest number is 1.7976931348623157e+308.)";
    const QString word = "word ";
    QTest::newRow("device error") << ""
                                  << ""
                                  << "checksum never confirmed"
                                  << "checksum never confirmed";
    QTest::newRow("dim beyond double") << "TxtDim"
                                       << "1e400"
                                       << ""
                                       << "Dim Value: 1e400" + tooLarge;
    QTest::newRow("310 digits in data 2")
        << "TxtData2"
        << "1" + QString(309, '0') << ""
        << "Data2: 1" + QString(48, '0') + QChar(0x2026) + QString(49, '0') + tooLarge;
    QTest::newRow("two long runs")
        << ""
        << ""
        << "/dev/" + QString(150, 'a') + " and " + QString(120, 'b')
        << "/dev/" + QString(44, 'a') + QChar(0x2026) + QString(49, 'a') + " and " +
               QString(49, 'b') + QChar(0x2026) + QString(49, 'b');
    QTest::newRow("800 characters, whole") << ""
                                           << "" << word.repeated(160) << word.repeated(160);
    QTest::newRow("2000 characters")
        << ""
        << "" << word.repeated(400)
        << word.repeated(79) + "word" + QChar(0x2026) + "ord " + word.repeated(79);
  }
  void failingSendIsReported() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, thrown);
    QFETCH(QString, shown);
    if (!field.isEmpty())
      console->type(field.toLatin1().constData(), typed);
    console->fake->onCall = [&](const QString &) { throw DeviceError(thrown.toStdString()); };
    MessageBoxCatcher boxes;
    int widest = 0;
    boxes.whileOpen = [&] { widest = QApplication::activeModalWidget()->frameGeometry().width(); };
    console->click("Command5");
    QVERIFY2(widest > 0 && widest < console->form.screen()->geometry().width() * 3 / 4,
             qPrintable(QString::number(widest)));
    QCOMPARE(boxes.shown, {"Critical | X10 Test Console | " + shown + " | OK"});
  }
};

QTEST_MAIN(TestSendingHandlers)
#include "test_sendinghandlers.moc"
