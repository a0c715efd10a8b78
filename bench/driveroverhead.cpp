// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Driver overhead: SendWait "A1 On" against cm11a-sim in realistic (timed) mode, divided by
// the time the wire itself needs. The simulator is the built program, started on a pseudo-
// terminal published as COM 1 under a temporary XDG_CONFIG_HOME, so the driver resolves and
// opens it exactly as it would a real port.

#include "bench/figures.h"
#include "bench/timedsends.h"
#include "controller/driver/cm11acontroller.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

// Two standard transmissions (address, function), each 5 bytes with its handshake, at 2.083 ms
// a byte; each puts 2 x 11 cycles of frame plus 3 silent cycles on the 60 Hz line.
constexpr double byteMs = 10.0 * 1000.0 / 4800.0;
constexpr double lineMs = 2 * (22 + 3) * 1000.0 / 60.0;
constexpr double wireMs = 2 * 5 * byteMs + lineMs;
constexpr int timedSends = 7;

bool startSimulator(QProcess &sim, const QString &configHome) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
  sim.setProcessEnvironment(env);
  sim.setProgram(QStringLiteral(CM11A_SIM));
  sim.setArguments({QStringLiteral("--com"), QStringLiteral("1")});
  sim.setStandardOutputFile(QProcess::nullDevice());
  sim.start();
  if (!sim.waitForStarted())
    return false;
  const QString link = configHome + QStringLiteral("/x10console/ports/com1");
  QElapsedTimer waited;
  waited.start();
  while (!QFileInfo(link).isSymLink() && waited.elapsed() < 5000)
    QThread::msleep(10);
  return QFileInfo(link).isSymLink();
}

} // namespace

int main(int argc, char *argv[]) {
  QCoreApplication app(argc, argv);
  QLoggingCategory::setFilterRules(QStringLiteral("x10.cm11a.info=false\nx10.cm11a.debug=false"));
  QTemporaryDir configHome;
  qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
  QProcess sim;
  if (!startSimulator(sim, configHome.path())) {
    std::fprintf(stderr, "cm11a-sim did not start: %s\n", sim.readAllStandardError().constData());
    return 1;
  }

  Cm11aController driver;
  driver.setComPort(1);
  if (const qint16 result = driver.Init(); result != Cm11aController::InitOk) {
    std::fprintf(stderr, "Init failed (%d): %s\n", result, qPrintable(driver.lastErrorText()));
    return 1;
  }
  try {
    const std::vector<double> samples = bench::timeSendsA1On(driver, timedSends);
    const double ms = bench::median(samples);
    std::printf(
        "SendWait A1 On: median %.2f ms, min %.2f, max %.2f over %d sends; wire time %.2f ms\n", ms,
        bench::quantile(samples, 0), bench::quantile(samples, 1), timedSends, wireMs);
    // The simulator times both directions as the line would, so the wire time is its floor.
    std::printf("the driver adds %.2f ms to the wire time\n", ms - wireMs);
    bench::printFigure("Driver overhead (SendWait A1 On / wire time)",
                       bench::format(ms / wireMs, "x", 3) + " (" + bench::format(ms, "ms", 1) + ")",
                       "<= 1.02", ms / wireMs <= 1.02);
  } catch (const ControllerError &e) {
    std::fprintf(stderr, "SendWait failed: %s\n", e.what());
    return 1;
  }
  sim.terminate();
  sim.waitForFinished();
  return 0;
}
