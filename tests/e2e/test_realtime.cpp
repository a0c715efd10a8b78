// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// "A1 On" by Send Wait against the simulator with realistic timing: the time the operator
// waits, beside the time the wire itself needs. Figures belong to the benchmarks; this only
// checks that the simulator paces the line and that the driver adds no gross delay.
#include "tests/e2e/consolerig.h"
#include "tests/support/privateconfighome.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

// Two standard transmissions at 60 Hz, each a frame of 11 cycles sent twice and 3 silent
// cycles; and 10 bytes at 4800 baud (04 66 6A 00 55, 06 62 68 00 55).
constexpr double kLineSeconds = 2 * (22 + 3) / 60.0;
constexpr double kWireSeconds = kLineSeconds + 10 * 10 / 4800.0;

} // namespace

class TestRealtime : public QObject {
  Q_OBJECT

  PrivateConfigHome config_;

private slots:
  void initTestCase() { QVERIFY(config_.isValid()); }

  void sendWaitA1OnTakesTheLineTime() {
    ConsoleRig rig(QStringList{}); // realistic timing: no --fast
    QVERIFY2(rig.sim.ready(), qPrintable(rig.sim.errors()));
    QVERIFY(rig.init());
    QElapsedTimer clock;
    clock.start();
    rig.send("Command5", "A", "1", "On");
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    qInfo("SendWait A1 On, realistic timing: %.3f s; power line %.3f s, with the bytes %.3f s "
          "(ratio %.3f)",
          seconds, kLineSeconds, kWireSeconds, seconds / kWireSeconds);
    QVERIFY(rig.boxes.shown.isEmpty());
    QVERIFY(rig.sim.waitForOutput("A1 lamp on"));
    QVERIFY2(seconds >= kLineSeconds, "faster than the power line: the simulator does not pace it");
    QVERIFY2(seconds < 2 * kWireSeconds, "more than twice the wire time");
  }
};

QTEST_MAIN(TestRealtime)
#include "test_realtime.moc"
