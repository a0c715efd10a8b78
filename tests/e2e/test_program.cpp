// SPDX-License-Identifier: MIT
// The built x10console itself, on the offscreen platform with the simulator up as COM 2: it
// starts, keeps running, and ends on SIGTERM without crashing or hanging.
#include "tests/support/builtprogram.h"
#include "tests/support/simulatorprocess.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <filesystem>

class TestProgram : public QObject {
  Q_OBJECT

private slots:
  void startsRunsAndEndsOnSigterm() {
    QTemporaryDir config;
    QVERIFY(config.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", config.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    const std::filesystem::path link = config.path().toStdString() + "/x10console/ports/com2";
    SimulatorProcess sim(CM11A_SIM, {"--fast", "--link", QString::fromStdString(link.string())},
                         link);
    QVERIFY2(sim.ready(), qPrintable(sim.errors()));

    QProcess console;
    console.setProcessEnvironment(environment);
    startBuiltProgram(console, X10CONSOLE);
    QVERIFY(console.waitForStarted());
    QVERIFY2(!console.waitForFinished(1500), console.readAllStandardError().constData());
    QCOMPARE(console.state(), QProcess::Running);

    console.terminate();
    QVERIFY(console.waitForFinished(5000));
    // Ended by the SIGTERM it was sent, not by a crash of its own on the way out.
    QCOMPARE(console.exitStatus(), QProcess::CrashExit);
    QCOMPARE(console.exitCode(), SIGTERM);
  }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "test_program.moc"
