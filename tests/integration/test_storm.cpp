// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// 10 000 remote commands from the simulator's paced storm while the driver core keeps sending:
// every one comes out of the core exactly once and in order, and every send succeeds.
#include "tests/integration/backtoback.h"
#include "tests/integration/stormtexts.h"

#include <QTest>

using namespace x10;
using namespace std::chrono_literals;
using x10::test::BackToBack;

namespace {

constexpr int kCommands = 10000;

} // namespace

class TestStorm : public QObject {
  Q_OBJECT

private slots:
  void everyCommandOnceAndInOrderWhileSending() {
    BackToBack wire;
    wire.command("storm " + std::to_string(kCommands));
    int sends = 0;
    while (wire.device.pacedWaiting() > 0) {
      const auto result = wire.send("C", "4", sends % 2 ? 3 : 2, Completion::Done);
      if (!result || !*result)
        QFAIL(result ? result->error().message.c_str() : "no result");
      ++sends;
    }
    wire.runFor(5s);
    const QStringList received = wire.takeReceived();
    QCOMPARE(received.size(), 2 * kCommands);
    QCOMPARE(received, stormTexts(kCommands));
    QVERIFY(wire.reports(sim::Report::Kind::Note).filter("lost").isEmpty());
    qInfo("%d sends completed during the storm", sends);
    QVERIFY(sends > 100);
  }
};

QTEST_APPLESS_MAIN(TestStorm)
#include "test_storm.moc"
