// "Init", "Clear CM11A" and "Exit" against a recording component.

#include "consoleundertest.h"
#include "eventlog.h"
#include "messageboxcatcher.h"

#include <QTest>

class TestSetupHandlers : public QObject {
  Q_OBJECT
  std::unique_ptr<ConsoleUnderTest> console;

  QPushButton *butInit() const { return console->control<QPushButton>("ButInit"); }

private slots:
  void init() { console = std::make_unique<ConsoleUnderTest>(); }
  void cleanup() { console.reset(); }

  void initWritesComPortThenCallsInit() {
    console->click("ButInit");
    QCOMPARE(console->fake->members(), QStringList({"ComPort", "Init"}));
    const QVariant port = console->fake->calls[0].args.value(0);
    QCOMPARE(port.metaType(), QMetaType::fromType<qint16>());
    QCOMPARE(port.value<qint16>(), qint16(2));
  }

  void portTextIsReadByTheNumericRule_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port");
    QTest::newRow("plain") << "3" << 3;
    QTest::newRow("letters first") << "COM2" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("leading blank") << " 4" << 4;
    QTest::newRow("tie to even down") << "2.5" << 2;
    QTest::newRow("tie to even up") << "3.5" << 4;
    QTest::newRow("hexadecimal") << "&H10" << 16;
    QTest::newRow("lowest 16-bit") << "-32768" << -32768;
  }
  void portTextIsReadByTheNumericRule() {
    QFETCH(QString, text);
    QFETCH(int, port);
    console->type("TxtComPort", text);
    console->click("ButInit");
    QCOMPARE(console->fake->members(), QStringList({"ComPort", "Init"}));
    QCOMPARE(console->fake->calls[0].args.value(0).value<qint16>(), qint16(port));
  }

  void portBeyond16BitIsReportedAndNothingIsCalled() {
    console->type("TxtComPort", "32768");
    MessageBoxCatcher boxes;
    console->click("ButInit");
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes.shown[0].title, "X10 Test Console");
    QVERIFY2(boxes.shown[0].text.contains("32768"), qPrintable(boxes.shown[0].text));
    QVERIFY(console->fake->calls.isEmpty());
    QCOMPARE(butInit()->text(), "Init");
  }

  void captionReadsWaitWhileInitRuns() {
    QString captionDuringInit;
    bool enabledDuringInit = false;
    console->fake->onCall = [&](const QString &member) {
      if (member == "Init") {
        captionDuringInit = butInit()->text();
        enabledDuringInit = butInit()->isEnabled();
      }
    };
    console->click("ButInit");
    QCOMPARE(captionDuringInit, "Wait...");
    QVERIFY(enabledDuringInit);
  }

  void successfulInitLeavesDisabledDone() {
    console->click("ButInit");
    QCOMPARE(butInit()->text(), "Done");
    QVERIFY(!butInit()->isEnabled());
    console->click("ButInit");
    QCOMPARE(console->fake->calls.size(), 2); // the disabled button took no click
  }

  void failingInitShowsErrorThenInitAgain() {
    console->fake->initResult = 1;
    MessageBoxCatcher boxes;
    QString captionWhileBoxOpen;
    boxes.whileOpen = [&] { captionWhileBoxOpen = butInit()->text(); };
    console->click("ButInit");

    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, "Error initializing CM11A");
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes.shown[0].title, "X10 Test Console");
    QCOMPARE(boxes.shown[0].buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
    QCOMPARE(captionWhileBoxOpen, "Wait...");
    QCOMPARE(butInit()->text(), "Init");
    QVERIFY(butInit()->isEnabled());

    // The operator corrects the port and tries again.
    console->type("TxtComPort", "5");
    console->fake->initResult = 0;
    console->click("ButInit");
    QCOMPARE(console->fake->members(), QStringList({"ComPort", "Init", "ComPort", "Init"}));
    QCOMPARE(console->fake->calls[2].args.value(0).value<qint16>(), qint16(5));
    QCOMPARE(butInit()->text(), "Done");
  }

  void raisingInitIsReportedAndLeavesWait() {
    console->fake->onCall = [](const QString &member) {
      if (member == "Init")
        throw DeviceError("no answer from the interface on /dev/ttyS1");
    };
    MessageBoxCatcher boxes;
    console->click("ButInit");

    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, "no answer from the interface on /dev/ttyS1");
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes.shown[0].title, "X10 Test Console");
    QCOMPARE(butInit()->text(), "Wait...");
    QVERIFY(butInit()->isEnabled());

    // The program goes on: other buttons still work.
    console->fake->onCall = nullptr;
    console->click("ButClrCM11");
    QCOMPARE(console->fake->members().last(), "ClearInterface");
  }

  void errorThatIsNoStandardExceptionIsReportedToo() {
    console->fake->onCall = [](const QString &) { throw 42; };
    MessageBoxCatcher boxes;
    console->click("ButClrCM11");
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
    QVERIFY(!boxes.shown[0].text.isEmpty());
    QVERIFY(console->form.isVisible());
  }

  void clearCm11aCallsClearInterfaceEvenBeforeInit() {
    console->click("ButClrCM11");
    QCOMPARE(console->fake->members(), QStringList{"ClearInterface"});
    QCOMPARE(console->fake->calls[0].args.size(), 0);
    QCOMPARE(butInit()->text(), "Init");
  }

  void exitClosesTheWindowWithoutAsking() {
    console->log()->appendLine("unsaved");
    MessageBoxCatcher boxes;
    console->click("Command3");
    QVERIFY(!console->form.isVisible());
    QVERIFY(boxes.shown.isEmpty());
    QVERIFY(console->fake->calls.isEmpty());
  }
};

QTEST_MAIN(TestSetupHandlers)
#include "test_setuphandlers.moc"
