// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The built x10console itself, with the simulator up as COM 2. Init is pressed through Qt's
// VNC platform, as a viewer would press it; then a termination signal closes the window as
// Exit does: the program ends with status 0 and leaves no lock file behind, at once also when
// the signal comes during a GetEvent that would wait 10 s, or while the line pours bytes
// without pause (the link lost and retaken over and over). --help and --version answer with
// or without a display, and with no display the program says so in one line.
#include "tests/support/builtprogram.h"
#include "tests/support/linepour.h"
#include "tests/support/simulatorprocess.h"
#include "tests/support/vncpointer.h"
#include "tests/support/waituntil.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <filesystem>
#include <optional>

class TestProgram : public QObject {
  Q_OBJECT

private slots:
  void answersWithoutAWindow_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("platform"); // QT_QPA_PLATFORM; DISPLAY and WAYLAND_DISPLAY unset
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out"); // the first line printed
    QTest::addColumn<QByteArray>("err");
    const QByteArray noDisplay = "x10console: there is no display to open the window on "
                                 "(neither DISPLAY nor WAYLAND_DISPLAY is set); run it in a "
                                 "desktop session\n";
    QTest::newRow("--version, no display")
        << QStringList{"--version"} << "" << 0 << QByteArray("x10console 1.00\n") << QByteArray();
    QTest::newRow("--version, offscreen") << QStringList{"--version"} << "offscreen" << 0
                                          << QByteArray("x10console 1.00\n") << QByteArray();
    QTest::newRow("--help, no display")
        << QStringList{"--help"} << "" << 0
        << QByteArray("Usage: x10console [--help | --version]\n") << QByteArray();
    QTest::newRow("-h after a Qt option")
        << QStringList{"-style", "fusion", "-h"} << "offscreen" << 0
        << QByteArray("Usage: x10console [--help | --version]\n") << QByteArray();
    QTest::newRow("no option, no display") << QStringList{} << "" << 1 << QByteArray() << noDisplay;
  }
  void answersWithoutAWindow() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, platform);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
      environment.remove(name);
    if (!platform.isEmpty())
      environment.insert("QT_QPA_PLATFORM", platform);
    QProcess console;
    console.setProcessEnvironment(environment);
    startBuiltProgram(console, X10CONSOLE, arguments);
    QVERIFY(console.waitForFinished(10000));
    QCOMPARE(console.exitStatus(), QProcess::NormalExit);
    QCOMPARE(console.exitCode(), status);
    const QByteArray printed = console.readAllStandardOutput();
    QCOMPARE(printed.left(printed.indexOf('\n') + 1), out); // the first line
    QCOMPARE(console.readAllStandardError(), err);
  }

  void terminationSignalClosesItAsExitDoes_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("duringGetEvent");
    QTest::addColumn<bool>("duringFlood");
    QTest::newRow("SIGTERM") << int(SIGTERM) << false << false;
    QTest::newRow("SIGINT") << int(SIGINT) << false << false;
    QTest::newRow("SIGHUP") << int(SIGHUP) << false << false;
    QTest::newRow("SIGTERM during GetEvent") << int(SIGTERM) << true << false;
    QTest::newRow("SIGTERM during a flood") << int(SIGTERM) << false << true;
  }
  void terminationSignalClosesItAsExitDoes() {
    QFETCH(int, signal);
    QFETCH(bool, duringGetEvent);
    QFETCH(bool, duringFlood);
    QTemporaryDir config;
    QVERIFY(config.isValid());
    const std::filesystem::path link = config.path().toStdString() + "/x10console/ports/com2";
    std::optional<SimulatorProcess> sim;
    std::optional<LinePour> pour;
    if (duringFlood) { // answers Init, then pours
      pour.emplace(LinePour::What::Random, LinePour::Line::Pty,
                   std::vector<std::uint8_t>{0xFF, 0xFF, 0x13, 0x40, 0x0A, 0x48, 0x82, 0x61, 0x40,
                                             0x00, 0x40, 0x00, 0x00, 0x00});
      std::filesystem::create_directories(link.parent_path());
      std::filesystem::create_symlink(pour->address().toStdString(), link);
    } else {
      sim.emplace(CM11A_SIM, QStringList{"--fast", "--link", QString::fromStdString(link.string())},
                  link);
      QVERIFY2(sim->ready(), qPrintable(sim->errors()));
    }
    const QString device = QFileInfo(QString::fromStdString(link.string())).symLinkTarget();
    const QString lockFile = "/run/lock/LCK.." + QFileInfo(device).fileName();

    const std::uint16_t port = VncPointer::freePort();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", config.path());
    environment.insert("QT_QPA_PLATFORM", QString("vnc:size=482x319:port=%1").arg(port));
    environment.insert("QT_LOGGING_RULES", "x10.cm11a.debug=true");
    QProcess console;
    console.setProcessEnvironment(environment);
    startBuiltProgram(console, X10CONSOLE);
    QVERIFY(console.waitForStarted());
    VncPointer viewer(port, 5000);
    QVERIFY(viewer.isConnected());
    // The middle of Init: (2520 + 1335 / 2, 240 + 375 / 2) twips, 15 twips a pixel. Clicked
    // until the lock appears: the first click may come before the window is shown.
    QVERIFY2(waitUntil(
                 [&] {
                   return viewer.click(212, 28) &&
                          waitUntil([&] { return QFile::exists(lockFile); }, 500);
                 },
                 10000),
             console.readAllStandardError().constData());

    if (duringGetEvent) {
      // GetEvent: (240 + 2280 + 1215 / 2, 3600 + 480 + 375 / 2) twips; its time-out 10000 ms.
      QByteArray log;
      QVERIFY(viewer.click(208, 284));
      QVERIFY(waitUntil(
          [&] {
            log += console.readAllStandardError();
            return log.contains("waiting up to 10000 ms for an event");
          },
          5000));
    }
    if (duringFlood) {
      QByteArray log;
      QVERIFY(waitUntil(
          [&] {
            log += console.readAllStandardError();
            return log.contains("is not a CM11A: it sends far more");
          },
          5000));
    }
    QElapsedTimer sinceSignal;
    sinceSignal.start();
    QCOMPARE(::kill(static_cast<pid_t>(console.processId()), signal), 0);
    QVERIFY(console.waitForFinished(5000));
    QVERIFY2(sinceSignal.elapsed() < 2000, qPrintable(QString::number(sinceSignal.elapsed())));
    qInfo("ended %lld ms after the signal", sinceSignal.elapsed());
    if (duringGetEvent)
      QVERIFY(console.readAllStandardError().contains("wait ended early: the program is closing"));
    QCOMPARE(console.exitStatus(), QProcess::NormalExit);
    QCOMPARE(console.exitCode(), 0);
    QVERIFY(!QFile::exists(lockFile));
  }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "test_program.moc"
