// The event log: polling, clearing, the two component events, the order in which events reach
// the log, and the log field itself.

#include "consoleundertest.h"
#include "eventlog.h"
#include "messageboxcatcher.h"

#include <QScrollBar>
#include <QTest>
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

  void pollWithoutEventLogsNoData() {
    console->click("Command2");
    QCOMPARE(console->fake->members(), QStringList{"GetEvent"});
    const QVariant timeout = console->fake->calls[0].args.value(0);
    QCOMPARE(timeout.metaType(), QMetaType::fromType<qint32>());
    QCOMPARE(timeout.value<qint32>(), 10000);
    QCOMPARE(logText(), "No Data\r\n");
  }

  void pollWithEventLogsItsTextUnchanged() {
    console->fake->eventText = "  A1 On\t";
    console->click("Command2");
    QCOMPARE(logText(), "Poll Data:   A1 On\t\r\n");
  }

  void acceptedTimeouts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("sent");
    QTest::newRow("largest") << "65535" << 65535;
    QTest::newRow("largest in hexadecimal") << "&HFFFF" << 65535;
    QTest::newRow("tie rounds to even, in range") << "65534.5" << 65534;
    QTest::newRow("negative goes as it is") << "-5" << -5;
    QTest::newRow("empty is zero") << "" << 0;
  }
  void acceptedTimeouts() {
    QFETCH(QString, text);
    QFETCH(int, sent);
    console->type("TxtPoll", text);
    console->click("Command2");
    QCOMPARE(console->fake->members(), QStringList{"GetEvent"});
    QCOMPARE(console->fake->calls[0].args.value(0).value<qint32>(), sent);
    QCOMPARE(logText(), "No Data\r\n");
  }

  void refusedTimeouts_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("one too many") << "65536";
    QTest::newRow("tie rounds to even, out of range") << "65536.5";
    QTest::newRow("much larger") << "100000";
    QTest::newRow("hexadecimal") << "&H10000";
  }
  void refusedTimeouts() {
    QFETCH(QString, text);
    console->log()->appendLine("kept");
    console->type("TxtPoll", text);
    MessageBoxCatcher boxes;
    console->click("Command2");
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, "Poll time too big, enter 0-65535");
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Warning);
    QCOMPARE(boxes.shown[0].title, "Input Error");
    QCOMPARE(boxes.shown[0].buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
    QVERIFY(console->fake->calls.isEmpty());
    QCOMPARE(logText(), "kept\r\n");
  }

  void timeoutBeyond32BitIsReportedWithoutCall() {
    console->type("TxtPoll", "2147483648");
    MessageBoxCatcher boxes;
    console->click("Command2");
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes.shown[0].title, "X10 Test Console");
    QVERIFY(console->fake->calls.isEmpty());
    QVERIFY(logText().isEmpty());
  }

  void failingPollLeavesLogUnchanged() {
    console->fake->onCall = [](const QString &) { throw UsageError("the port is not open"); };
    MessageBoxCatcher boxes;
    console->click("Command2");
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, "the port is not open");
    QVERIFY(logText().isEmpty());
  }

  void eventLine() {
    raiseEvent("1", "A", 2, "50", "0");
    const QString expected = "Event: HC:A DC:1 Com: 2 dimval: 50D2: 0\r\n";
    QCOMPARE(expected.size(), 39 + 2);
    QCOMPARE(logText(), expected);
  }

  void singleEventLine() {
    raiseSingleEvent("3", "B", -1);
    QCOMPARE(logText(), "Single Event: HC:B DC:3 Com:-1\r\n");
  }

  void functionKeepsItsSignPlace() {
    raiseSingleEvent("", "P", 15);
    raiseSingleEvent("16", "C", -32768);
    QCOMPARE(logText(), "Single Event: HC:P DC: Com: 15\r\n"
                        "Single Event: HC:C DC:16 Com:-32768\r\n");
  }

  void linesFollowWhateverTheOperatorTyped() {
    console->log()->setFocus();
    QTest::keyClicks(console->log(), "note");
    console->fake->eventText = "B2";
    console->click("Command2");
    QCOMPARE(logText(), "notePoll Data: B2\r\n");
  }

  void clearEmptiesTheLogAndTheNextLineStartsAtTheTop() {
    console->click("Command4");
    QVERIFY(logText().isEmpty());
    raiseEvent("1", "A", 3, "0", "0");
    raiseSingleEvent("2", "A", 2);
    console->click("Command4");
    QVERIFY(logText().isEmpty());
    console->click("Command2");
    QCOMPARE(logText(), "No Data\r\n");
  }

  // Events never run inside another handler: those arriving during one wait for its end.
  void eventsDuringAMessageBoxAreLoggedAfterItInOrder() {
    console->fake->initResult = 1;
    MessageBoxCatcher boxes;
    QString logWhileBoxOpen = "not looked at";
    boxes.whileOpen = [&] {
      raiseEvent("1", "A", 2, "50", "0");
      raiseSingleEvent("3", "B", -1);
      logWhileBoxOpen = logText();
    };
    console->click("ButInit");
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(logWhileBoxOpen, "");
    QCOMPARE(logText(), "Event: HC:A DC:1 Com: 2 dimval: 50D2: 0\r\n"
                        "Single Event: HC:B DC:3 Com:-1\r\n");
  }

  void eventsRaisedDuringACallFollowTheHandlersOwnLine() {
    console->fake->eventText = "A1";
    console->fake->onCall = [this](const QString &) { raiseSingleEvent("1", "A", -1); };
    console->click("Command2");
    QCOMPARE(logText(), "Poll Data: A1\r\nSingle Event: HC:A DC:1 Com:-1\r\n");
  }

  void eventsDuringAnErrorReportAreLoggedAfterIt() {
    console->fake->onCall = [](const QString &) { throw DeviceError("line lost"); };
    MessageBoxCatcher boxes;
    QString logWhileBoxOpen = "not looked at";
    boxes.whileOpen = [&] {
      raiseSingleEvent("4", "D", 3);
      logWhileBoxOpen = logText();
    };
    console->click("ButClrCM11");
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(logWhileBoxOpen, "");
    QCOMPARE(logText(), "Single Event: HC:D DC:4 Com: 3\r\n");
  }

  void enterStartsANewLineInTheLog() {
    console->log()->setFocus();
    QTest::keyClicks(console->log(), "a");
    QTest::keyClick(console->log(), Qt::Key_Return);
    QTest::keyClicks(console->log(), "b");
    QCOMPARE(logText(), "a\r\nb");
  }

  void crLfInsideAnEventTextIsOneLineBreak() {
    raiseEvent("1", "A", 2, "5\r\n0", "0");
    QCOMPARE(logText(), "Event: HC:A DC:1 Com: 2 dimval: 5\r\n0D2: 0\r\n");
  }

  void appendingMovesNeitherCaretNorScrollPosition() {
    EventLog *log = console->log();
    for (int i = 0; i < 200; ++i)
      log->appendLine(QString("line %1").arg(i));
    QCoreApplication::processEvents();
    QVERIFY(log->verticalScrollBar()->maximum() > 0);

    log->moveCursor(QTextCursor::Start);
    log->verticalScrollBar()->setValue(0);
    log->appendLine("more");
    QCOMPARE(log->textCursor().position(), 0);
    QCOMPARE(log->verticalScrollBar()->value(), 0);

    const int middle = log->verticalScrollBar()->maximum() / 2;
    log->verticalScrollBar()->setValue(middle);
    log->moveCursor(QTextCursor::End);
    const int end = log->textCursor().position();
    log->verticalScrollBar()->setValue(middle);
    log->appendLine("again");
    QCOMPARE(log->textCursor().position(), end);
    QCOMPARE(log->verticalScrollBar()->value(), middle);
    QVERIFY(log->text().endsWith("more\r\nagain\r\n"));
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
    EventLog *log = console->log();
    constexpr int lines = 100000;
    for (int i = 0; i < lines; ++i)
      log->appendLine(QString::number(i));
    raiseSingleEvent("1", "A", 2);

    QCOMPARE(log->document()->blockCount(), lines + 2); // plus the empty line after the last break
    const QString text = log->text();
    QVERIFY(text.startsWith("0\r\n1\r\n2\r\n"));
    QVERIFY(text.endsWith("99998\r\n99999\r\nSingle Event: HC:A DC:1 Com: 2\r\n"));
    QCOMPARE(text.count("\r\n"), lines + 1);
    QCOMPARE(text.count('\n'), lines + 1);
  }
};

QTEST_MAIN(TestEventLog)
#include "test_eventlog.moc"
