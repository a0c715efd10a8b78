// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// "Init", "Clear CM11A" and "Exit" against a recording component.

#include "console/eventlog.h"
#include "tests/console/consoleundertest.h"
#include "tests/support/messageboxcatcher.h"

namespace {

// The caption a button had when it was last painted: what the operator sees.
class PaintedCaption : public QObject {
public:
  QString text;
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::Paint)
      text = static_cast<QPushButton *>(watched)->text();
    return false;
  }
};

} // namespace

class TestSetupHandlers : public QObject {
  Q_OBJECT
  std::unique_ptr<ConsoleUnderTest> console;
  QPushButton *butInit() const { return console->control<QPushButton>("ButInit"); }

private slots:
  void init() { console = std::make_unique<ConsoleUnderTest>(); }
  void cleanup() { console.reset(); }

  void initWritesComPortThenCallsInit_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written");
    QTest::newRow("default") << "2"
                             << "ComPort(short 2)";
    QTest::newRow("leading blank") << " 4"
                                   << "ComPort(short 4)";
    QTest::newRow("tie to even down") << "2.5"
                                      << "ComPort(short 2)";
    QTest::newRow("tie to even up") << "3.5"
                                    << "ComPort(short 4)";
    QTest::newRow("letters first") << "COM2"
                                   << "ComPort(short 0)";
    QTest::newRow("empty") << ""
                           << "ComPort(short 0)";
    QTest::newRow("lowest 16-bit") << "-32768"
                                   << "ComPort(short -32768)";
    QTest::newRow("highest") << "32767"
                             << "ComPort(short 32767)";
  }
  void initWritesComPortThenCallsInit() {
    QFETCH(QString, text);
    QFETCH(QString, written);
    console->type("TxtComPort", text);
    console->click("ButInit");
    QCOMPARE(console->fake->calls, QStringList({written, "Init()"}));
  }

  // A number the 16-bit port cannot hold is refused under the field's name, before Init, with
  // the range of port numbers that name a port; 0 and below go to Init, which fails on them.
  void portOutOfRangeIsReportedAndNothingIsCalled_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("number"); // as the message shows it
    QTest::newRow("one too many") << "32768"
                                  << "32768";
    QTest::newRow("one too few") << "-32769"
                                 << "-32769";
  }
  void portOutOfRangeIsReportedAndNothingIsCalled() {
    QFETCH(QString, text);
    QFETCH(QString, number);
    console->type("TxtComPort", text);
    MessageBoxCatcher boxes;
    console->click("ButInit");
    QCOMPARE(boxes.shown, {"Critical | X10 Test Console | Com Port: " + number +
                           " is out of range; enter a number from 1 to 32767. | OK"});
    QVERIFY(console->fake->calls.isEmpty());
    QCOMPARE(butInit()->text(), "Init");
  }

  void successReadsWaitDuringInitThenDisabledDone() {
    PaintedCaption painted;
    butInit()->installEventFilter(&painted);
    QString duringInit;
    QString paintedDuringInit;
    console->fake->onCall = [&](const QString &) {
      duringInit = butInit()->text();
      paintedDuringInit = painted.text;
    };
    console->click("ButInit");
    QCOMPARE(duringInit, "Wait...");
    QCOMPARE(paintedDuringInit, "Wait..."); // on the screen while Init blocks the event loop
    QCOMPARE(butInit()->text(), "Done");
    QVERIFY(!butInit()->isEnabled());
    console->click("ButInit");
    QCOMPARE(console->fake->calls.size(), 2); // the disabled button took no click
  }

  void failingInitShowsErrorThenInitAgain() {
    console->fake->initResult = 1;
    MessageBoxCatcher boxes;
    QString whileBoxOpen;
    boxes.whileOpen = [&] { whileBoxOpen = butInit()->text(); };
    console->click("ButInit");
    QCOMPARE(boxes.shown, {"Critical | X10 Test Console | Error initializing CM11A | OK"});
    QCOMPARE(whileBoxOpen, "Wait...");
    QCOMPARE(butInit()->text(), "Init");
    QVERIFY(butInit()->isEnabled());

    console->type("TxtComPort", "5"); // the operator corrects the port and tries again
    console->fake->initResult = 0;
    console->click("ButInit");
    QCOMPARE(console->fake->calls.mid(2), QStringList({"ComPort(short 5)", "Init()"}));
    QCOMPARE(butInit()->text(), "Done");
  }

  // The box stays as it is; the reason goes on the button, for the mouse and for assistive
  // technology, until the next Init.
  void failedInitExplainsItselfOnTheButtonUntilTheNextInit() {
    console->fake->initResult = 5;
    console->fake->lastError = "no answer from /dev/ttyS1 <COM 2>: is the interface plugged in?";
    MessageBoxCatcher boxes;
    console->click("ButInit");
    QCOMPARE(boxes.shown, {"Critical | X10 Test Console | Error initializing CM11A | OK"});
    const QString reason =
        "Init failed: no answer from /dev/ttyS1 <COM 2>: is the interface plugged in?";
    QCOMPARE(butInit()->accessibleDescription(), reason);
    QCOMPARE(butInit()->toolTip(),
             "<p>Init failed: no answer from /dev/ttyS1 &lt;COM 2&gt;: is the interface plugged "
             "in?</p>");

    QStringList duringNextInit;
    console->fake->onCall = [&](const QString &) {
      duringNextInit = QStringList{butInit()->toolTip(), butInit()->accessibleDescription()};
    };
    console->fake->lastError.clear(); // a component that gives no reason
    console->fake->initResult = 3;
    console->click("ButInit");
    QCOMPARE(duringNextInit, QStringList({"", ""}));
    QCOMPARE(butInit()->accessibleDescription(),
             "Init failed with result 3; the component gave no reason.");

    console->fake->initResult = 0;
    console->click("ButInit");
    QCOMPARE(butInit()->toolTip(), "");
    QCOMPARE(butInit()->accessibleDescription(), "");
  }

  // The component's word on its link replaces what the button said, the Done caption stays.
  void linkStatusGoesOnTheInitButton() {
    console->click("ButInit");
    emit console->fake->linkStatusChanged("Link lost at 14:02:11: pi:2217 was lost <reset>; "
                                          "reconnecting");
    QCOMPARE(butInit()->accessibleDescription(),
             "Link lost at 14:02:11: pi:2217 was lost <reset>; reconnecting");
    QCOMPARE(butInit()->toolTip(),
             "<p>Link lost at 14:02:11: pi:2217 was lost &lt;reset&gt;; reconnecting</p>");
    emit console->fake->linkStatusChanged("Link restored at 14:02:40");
    QCOMPARE(butInit()->accessibleDescription(), "Link restored at 14:02:40");
    QCOMPARE(butInit()->text(), "Done");
    QVERIFY(!butInit()->isEnabled());
  }

  void raisingInitIsReportedAndLeavesWait() {
    console->fake->onCall = [](const QString &member) {
      if (member == "Init")
        throw DeviceError("no answer from the interface on /dev/ttyS1");
    };
    MessageBoxCatcher boxes;
    console->click("ButInit");
    QCOMPARE(boxes.shown,
             {"Critical | X10 Test Console | no answer from the interface on /dev/ttyS1 | OK"});
    QCOMPARE(butInit()->text(), "Wait...");
    QVERIFY(butInit()->isEnabled());

    console->click("ButClrCM11"); // the program goes on
    QCOMPARE(console->fake->calls.last(), "ClearInterface()");
  }

  void errorThatIsNoStandardExceptionIsReportedToo() {
    console->fake->onCall = [](const QString &) { throw 42; };
    MessageBoxCatcher boxes;
    console->click("ButClrCM11");
    QCOMPARE(boxes.shown, {"Critical | X10 Test Console | An unexpected error occurred (not a "
                           "standard exception). | OK"});
  }

  void clearCm11aCallsClearInterfaceEvenBeforeInit() {
    console->click("ButClrCM11");
    QCOMPARE(console->fake->calls, {"ClearInterface()"});
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
