// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The event log: polling, clearing, the two component events, the order in which events reach
// the log, and the log field itself.

#include "console/eventlog.h"
#include "tests/console/consoleundertest.h"
#include "tests/support/messageboxcatcher.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextLayout>

class TestEventLog : public QObject {
  Q_OBJECT
  std::unique_ptr<ConsoleUnderTest> console;

  QString logText() const { return console->log()->text(); }
  void raiseEvent(const QString &dc, const QString &hc, qint16 function, const QString &dim,
                  const QString &d2) const {
    emit console->fake->X10Event(dc, hc, function, dim, d2);
  }
  void raiseSingleEvent(const QString &dc, const QString &hc, qint16 function) const {
    emit console->fake->X10SingleEvent(dc, hc, function, "x", "y");
  }

private slots:
  void init() { console = std::make_unique<ConsoleUnderTest>(); }
  void cleanup() { console.reset(); }

  void poll_data() {
    QTest::addColumn<QString>("timeout");
    QTest::addColumn<QString>("event");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("log");
    const QStringList none;
    const QString tooBig = "Warning | Input Error | Poll time too big, enter 0-65535 | OK";
    QTest::newRow("default, nothing came")
        << "10000"
        << "" << QStringList{"GetEvent(int 10000)"} << none << "No Data\r\n";
    QTest::newRow("event text unchanged")
        << "10000"
        << " A1 On\t" << QStringList{"GetEvent(int 10000)"} << none << "Poll Data:  A1 On\t\r\n";
    QTest::newRow("largest") << "65535"
                             << "" << QStringList{"GetEvent(int 65535)"} << none << "No Data\r\n";
    QTest::newRow("hexadecimal") << "&HFFFF"
                                 << "" << QStringList{"GetEvent(int 65535)"} << none
                                 << "No Data\r\n";
    QTest::newRow("tie to even, in range")
        << "65534.5"
        << "" << QStringList{"GetEvent(int 65534)"} << none << "No Data\r\n";
    QTest::newRow("negative") << "-5"
                              << "" << QStringList{"GetEvent(int -5)"} << none << "No Data\r\n";
    QTest::newRow("empty") << ""
                           << "" << QStringList{"GetEvent(int 0)"} << none << "No Data\r\n";
    QTest::newRow("one too many") << "65536"
                                  << "" << none << QStringList{tooBig} << "";
    QTest::newRow("tie to even, too big") << "65536.5"
                                          << "" << none << QStringList{tooBig} << "";
    QTest::newRow("much larger") << "100000"
                                 << "" << none << QStringList{tooBig} << "";
    QTest::newRow("beyond 32 bits")
        << "2147483648"
        << "" << none
        << QStringList{"Critical | X10 Test Console | Timeout: 2147483648 is out of range; enter "
                       "a number from 0 to 65535. | OK"}
        << "";
  }
  void poll() {
    QFETCH(QString, timeout);
    QFETCH(QString, event);
    QFETCH(QStringList, calls);
    QFETCH(QStringList, boxes);
    QFETCH(QString, log);
    console->type("TxtPoll", timeout);
    console->fake->eventText = event;
    MessageBoxCatcher catcher;
    console->click("Command2");
    QCOMPARE(console->fake->calls, calls);
    QCOMPARE(catcher.shown, boxes);
    QCOMPARE(logText(), log);
  }

  void failingPollLeavesLogUnchanged() {
    console->fake->onCall = [](const QString &) { throw UsageError("the port is not open"); };
    MessageBoxCatcher boxes;
    console->click("Command2");
    QCOMPARE(boxes.shown, {"Critical | X10 Test Console | the port is not open | OK"});
    QVERIFY(logText().isEmpty());
  }

  void eventLines() {
    raiseEvent("1", "A", 2, "50", "0");
    raiseSingleEvent("3", "B", -1);
    raiseSingleEvent("", "P", 15);
    raiseSingleEvent("", "D", 0);
    raiseEvent("16", "C", -32768, "5\r\n0", "");
    QCOMPARE(logText(), "Event: HC:A DC:1 Com: 2 dimval: 50D2: 0\r\n"
                        "Single Event: HC:B DC:3 Com:-1\r\n"
                        "Single Event: HC:P DC: Com: 15\r\n"
                        "Single Event: HC:D DC: Com: 0\r\n"
                        "Event: HC:C DC:16 Com:-32768 dimval: 5\r\n0D2: \r\n");
    QCOMPARE(logText().indexOf("\r\n"), 39);
  }

  void linesFollowWhatTheOperatorTyped() {
    console->log()->setFocus();
    QTest::keyClicks(console->log(), "a");
    QTest::keyClick(console->log(), Qt::Key_Return); // Enter starts a new line in the log
    QTest::keyClicks(console->log(), "note");
    raiseSingleEvent("1", "A", 2);
    QCOMPARE(logText(), "a\r\nnoteSingle Event: HC:A DC:1 Com: 2\r\n");
  }

  void clearEmptiesTheLogAndTheNextLineStartsAtTheTop() {
    console->click("Command4");
    QVERIFY(logText().isEmpty());
    raiseEvent("1", "A", 3, "0", "0");
    console->click("Command4");
    QVERIFY(logText().isEmpty());
    console->click("Command2");
    QCOMPARE(logText(), "No Data\r\n");
  }

  // Events never run inside another handler: those arriving during one wait for its end.
  void eventsDuringAHandlerAreLoggedAfterItInOrder_data() {
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<bool>("raiseFromCall"); // else from the nested loop of a message box
    QTest::addColumn<QString>("handlersOwnLine");
    QTest::newRow("Init failed box") << QByteArray("ButInit") << false << "";
    QTest::newRow("error report box") << QByteArray("ButClrCM11") << false << "";
    QTest::newRow("inside GetEvent") << QByteArray("Command2") << true << "No Data\r\n";
  }
  void eventsDuringAHandlerAreLoggedAfterItInOrder() {
    QFETCH(QByteArray, button);
    QFETCH(bool, raiseFromCall);
    QFETCH(QString, handlersOwnLine);
    QString logWhileRunning = "never looked";
    const auto raise = [&] {
      raiseEvent("1", "A", 2, "50", "0");
      raiseSingleEvent("3", "B", -1);
      logWhileRunning = logText();
    };
    console->fake->initResult = 1;
    console->fake->onCall = [&](const QString &member) {
      if (raiseFromCall)
        raise();
      else if (member == "ClearInterface")
        throw DeviceError("line lost");
    };
    MessageBoxCatcher boxes;
    boxes.whileOpen = raise;
    console->click(button.constData());
    QCOMPARE(logWhileRunning, "");
    QCOMPARE(logText(), handlersOwnLine + "Event: HC:A DC:1 Com: 2 dimval: 50D2: 0\r\n"
                                          "Single Event: HC:B DC:3 Com:-1\r\n");
  }

  void appendingMovesNeitherCaretNorScrollPosition() {
    EventLog *log = console->log();
    for (int i = 0; i < 200; ++i)
      log->appendLine(QString::number(i));
    QScrollBar *bar = log->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    log->moveCursor(QTextCursor::Start);
    bar->setValue(0);
    log->appendLine("more");
    QCOMPARE(log->textCursor().position(), 0);
    QCOMPARE(bar->value(), 0);

    log->moveCursor(QTextCursor::End);
    const int end = log->textCursor().position();
    bar->setValue(bar->maximum() / 2);
    const int middle = bar->value();
    log->appendLine("again");
    QCOMPARE(log->textCursor().position(), end);
    QCOMPARE(bar->value(), middle);
  }

  // Observers (the view's layout, the scroll bar) hear of a line once, and the operator cannot
  // undo a logged line.
  void eachAppendIsOneChangeAndCannotBeUndone() {
    EventLog *log = console->log();
    QSignalSpy changes(log->document(), &QTextDocument::contentsChanged);
    log->appendLine("first\r\nsecond");
    QCOMPARE(changes.count(), 1);
    QCOMPARE(log->text(), "first\r\nsecond\r\n");
    QVERIFY(!log->document()->isUndoAvailable());
  }

  void longLineWrapsAndOnlyTheVerticalBarShows() {
    EventLog *log = console->log();
    log->appendLine(QString("word ").repeated(60));
    QCoreApplication::processEvents();
    QVERIFY(log->document()->firstBlock().layout()->lineCount() > 1);
    QVERIFY(log->verticalScrollBar()->isVisible());
    QVERIFY(!log->horizontalScrollBar()->isVisible());
  }

  void aLogOf100000LinesStaysCorrect() {
    constexpr int lines = 100000;
    for (int i = 0; i < lines; ++i)
      console->log()->appendLine(QString::number(i));
    raiseSingleEvent("1", "A", 2);
    const QString text = logText();
    QVERIFY(text.startsWith("0\r\n1\r\n2\r\n"));
    QVERIFY(text.endsWith("99998\r\n99999\r\nSingle Event: HC:A DC:1 Com: 2\r\n"));
    QCOMPARE(text.count("\r\n"), lines + 1);
    QCOMPARE(text.count('\n'), lines + 1);
  }
};

QTEST_MAIN(TestEventLog)
#include "test_eventlog.moc"
