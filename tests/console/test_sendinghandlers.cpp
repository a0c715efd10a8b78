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

  void failingSendIsReported() {
    console->fake->onCall = [](const QString &) { throw DeviceError("checksum never confirmed"); };
    MessageBoxCatcher boxes;
    console->click("Command5");
    QCOMPARE(boxes.shown, {"Critical | X10 Test Console | checksum never confirmed | OK"});
  }
};

QTEST_MAIN(TestSendingHandlers)
#include "test_sendinghandlers.moc"
