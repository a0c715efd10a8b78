// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// 10 000 numbered commands from the simulator's paced storm, in fast mode, while the operator
// keeps pressing Send Wait: every one reaches the event log exactly once, in order, as its two
// lines. The storm paces its frames 5 ms apart, so this takes about 100 s. On a machine short
// of processor time the interface's polls can break in on one step of a send more often than
// the driver allows; that send then ends with the box that says so, and the operator presses
// again. No other box may come, and most presses must get through.
#include "tests/e2e/consolerig.h"
#include "tests/support/privateconfighome.h"
#include "tests/support/waituntil.h"

#include <QDeadlineTimer>
#include <QTest>

#include <utility>

namespace {

constexpr int kCommands = 10'000;

// Command i: unit i mod 16 + 1 of house i / 16 mod 16, On (2), or Off (3) from the 257th on.
QStringList expectedLog(int count) {
  QStringList lines;
  for (int i = 0; i < count; ++i) {
    const QString address = QString("HC:%1 DC:%2").arg(QChar('A' + i / 16 % 16)).arg(i % 16 + 1);
    lines << "Single Event: " + address + " Com:-1"
          << "Event: " + address + QString(" Com: %1 dimval: 0D2: 0").arg(i / 256 % 2 ? 3 : 2);
  }
  return lines;
}

} // namespace

class TestStorm : public QObject {
  Q_OBJECT

  PrivateConfigHome config_;

private slots:
  void initTestCase() { QVERIFY(config_.isValid()); }

  void everyCommandOnceAndInOrderWhileSending() {
    ConsoleRig rig;
    QVERIFY(rig.init());
    rig.sim.command("storm " + QByteArray::number(kCommands));
    const QDeadlineTimer deadline(std::chrono::minutes(4));
    int sends = 0;
    int brokenIn = 0;
    while (rig.logLineCount() < 2 * kCommands && !deadline.hasExpired()) {
      rig.send("Command5", "C", "4", sends % 2 ? "Off" : "On");
      for (const QString &box : std::exchange(rig.boxes.shown, {})) {
        QVERIFY2(box.contains("the interface kept breaking in with its own traffic"),
                 qPrintable(box));
        ++brokenIn;
      }
      ++sends;
      QTest::qWait(1); // the events posted during the call
    }
    waitUntil([&] { return rig.logLineCount() > 2 * kCommands; }, 500); // nothing more may come
    QCOMPARE(rig.logLines(), expectedLog(kCommands));
    QVERIFY(!rig.sim.output().contains("lost"));
    qInfo("%d Send Wait presses during the storm, %d broken in on", sends, brokenIn);
    QVERIFY(sends > 100);
    QVERIFY(brokenIn < sends / 2);
  }
};

QTEST_MAIN(TestStorm)
#include "test_storm.moc"
