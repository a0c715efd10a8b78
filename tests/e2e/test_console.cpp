// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The real window with the real driver against the built cm11a-sim over a pseudo-terminal,
// driven through its controls as an operator drives it. The simulator runs in fast mode.
#include "controller/driver/cm11acontroller.h"
#include "controller/links/portnames.h"
#include "tests/e2e/consolerig.h"
#include "tests/support/privateconfighome.h"
#include "tests/support/ptypeer.h"
#include "tests/support/waituntil.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <filesystem>

class TestConsole : public QObject {
  Q_OBJECT

  PrivateConfigHome config_;

private slots:
  void initTestCase() { QVERIFY(config_.isValid()); }

  void initReadsDone() {
    ConsoleRig rig;
    QVERIFY2(rig.sim.ready(), qPrintable(rig.sim.errors()));
    QVERIFY(rig.init());
    QVERIFY(!rig.window.control<QPushButton>("ButInit")->isEnabled());
    QVERIFY(rig.boxes.shown.isEmpty());
  }

  // After each kind of failed Init the box is the same, and the Init button's tooltip and
  // accessible description carry the driver's reason and fix, until the next Init.
  void failedInitExplainsItselfOnTheButton_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<PtyPeer::Bytes>("reply"); // to the status request; none: no peer
    QTest::addColumn<QString>("holder");       // a program holding the device's lock
    QTest::addColumn<QString>("reason");       // {link}, {device}, {pid} stand for those
    using Bytes = PtyPeer::Bytes;
    QTest::newRow("adapter unplugged")
        << 7 << Bytes{} << ""
        << "no such device {link} (a link to /dev/serial/by-id/usb-unplugged-port0): plug the "
           "interface's adapter in, or point the link at it (see man x10console).";
    QTest::newRow("in use") << 3 << Bytes{} << "sleep"
                            << "{link} (a link to {device}) is in use by sleep (PID {pid}): "
                               "close it and try again.";
    QTest::newRow("no answer") << 3 << Bytes{} << ""
                               << "{link} (a link to {device}): no answer to the status request "
                                  "within 1500 ms: no interface on this port, or it is switched "
                                  "off.";
    QTest::newRow("wrong answer")
        << 3 << Bytes{0xFF, 0xFF, 0x13} << ""
        << "{link} (a link to {device}): status reply cut short: 3 of 14 bytes (FF FF 13): wrong "
           "speed, or not an interface of this kind.";
  }
  void failedInitExplainsItselfOnTheButton() {
    QFETCH(int, port);
    QFETCH(PtyPeer::Bytes, reply);
    QFETCH(QString, holder);
    QFETCH(QString, reason);
    PtyPeer peer({{{0x8B}, reply}});
    const std::filesystem::path link = x10::comPortLinkPath(port);
    std::filesystem::remove(link);
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::create_symlink(
        port == 7 ? "/dev/serial/by-id/usb-unplugged-port0" : peer.slavePath().toStdString(), link);
    const QString lockFile = "/run/lock/LCK.." + QFileInfo(peer.slavePath()).fileName();
    QProcess other;
    qint64 holderPid = 0;
    if (!holder.isEmpty()) {
      other.start(holder, {"30"});
      QVERIFY(other.waitForStarted());
      holderPid = other.processId();
      QFile lock(lockFile);
      QVERIFY(lock.open(QIODevice::WriteOnly));
      lock.write(QString("%1\n").arg(holderPid, 10).toLatin1());
    }
    WindowUnderTest window(std::make_unique<Cm11aController>());
    MessageBoxCatcher boxes;
    window.type("TxtComPort", QString::number(port));
    window.click("ButInit");
    if (!holder.isEmpty()) {
      QFile::remove(lockFile);
      other.kill();
      other.waitForFinished();
    }
    std::filesystem::remove(link);

    reason.replace("{link}", QString::fromStdString(link.string()))
        .replace("{device}", peer.slavePath())
        .replace("{pid}", QString::number(holderPid));
    const auto *butInit = window.control<QPushButton>("ButInit");
    QCOMPARE(boxes.shown, {"Critical | X10 Test Console | Error initializing CM11A | OK"});
    QCOMPARE(butInit->text(), "Init");
    QCOMPARE(butInit->accessibleDescription(), "Init failed: " + reason);
    QCOMPARE(butInit->toolTip(), "<p>Init failed: " + reason + "</p>");
  }

  void sendExecA1OnReachesTheLamp() {
    ConsoleRig rig;
    QVERIFY(rig.init());
    rig.send("Command1", "A", "1", "On");
    QVERIFY2(rig.sim.waitForOutput("A1 lamp on"), rig.sim.output().constData());
    const QByteArray shown = rig.sim.output();
    const auto address = shown.indexOf("PC: A1 (04 66)");
    const auto function = shown.indexOf("PC: A On (06 62)");
    QVERIFY2(address >= 0 && function > address, shown.constData());
    QVERIFY(rig.boxes.shown.isEmpty());
  }

  // Its two lines in the log; then GetEvent returns the whole command once, then nothing.
  void injectedTrafficIsLoggedAndReturnedByGetEvent() {
    ConsoleRig rig;
    QVERIFY(rig.init());
    rig.sim.command("B3 On");
    QVERIFY(waitUntil([&] { return rig.logLines().size() == 2; }));
    QCOMPARE(rig.logText(),
             "Single Event: HC:B DC:3 Com:-1\r\nEvent: HC:B DC:3 Com: 2 dimval: 0D2: 0\r\n");
    rig.window.type("TxtPoll", "0");
    for (int i = 0; i < 3; ++i)
      rig.window.click("Command2");
    QCOMPARE(rig.logLines().mid(2), (QStringList{"Poll Data: B3 On", "No Data", "No Data"}));
  }

  // Clear CM11A sets the clock with the flags that clear the battery timer and the monitored
  // status (03), never the one that purges stored timers (04).
  void clearCm11aSetsTheClock() {
    ConsoleRig rig;
    QVERIFY(rig.init());
    rig.window.click("ButClrCM11");
    QVERIFY(rig.sim.waitForOutput("PC: set clock"));
    const QByteArray shown = rig.sim.output();
    const QByteArray setClock = shown.mid(shown.indexOf("PC: set clock")).split('\n').first();
    QVERIFY2(setClock.contains("monitor house A (9B ") && setClock.contains(" 63), checksum"),
             setClock.constData());
    QVERIFY(rig.boxes.shown.isEmpty());
  }

  // GetEvent waits on the port for the next command; the simulator sends B3 On a moment later.
  // The events decoded meanwhile reach the log after the poll's own line.
  void getEventWaitsForTraffic() {
    ConsoleRig rig;
    QVERIFY(rig.init());
    rig.window.type("TxtPoll", "5000");
    rig.sim.command("wait 0.3");
    rig.sim.command("B3 On");
    QElapsedTimer clock;
    clock.start();
    rig.window.click("Command2");
    QVERIFY(clock.elapsed() >= 250 && clock.elapsed() < 3000);
    QVERIFY(waitUntil([&] { return rig.logLines().size() == 3; }));
    QCOMPARE(rig.logLines(), (QStringList{"Poll Data: B3 On", "Single Event: HC:B DC:3 Com:-1",
                                          "Event: HC:B DC:3 Com: 2 dimval: 0D2: 0"}));
  }

  void powerFailureBetweenCommandsIsSurvived() {
    ConsoleRig rig;
    QVERIFY(rig.init());
    rig.sim.command("power fail");
    QVERIFY(rig.sim.waitForOutput("power failure"));
    rig.send("Command5", "A", "1", "On");
    QVERIFY2(rig.sim.waitForOutput("A1 lamp on"), rig.sim.output().constData());
    QVERIFY(rig.sim.output().contains("power-fail polls end"));
    QVERIFY2(rig.boxes.shown.isEmpty(), qPrintable(rig.boxes.shown.join('\n')));
  }

  // Realistic timing: the power fails while A1 is on the power line. The driver sets the
  // interface's clock and sends again; Send Wait completes without an error.
  void powerFailureDuringSendWaitIsSurvived() {
    ConsoleRig rig(QStringList{});
    QVERIFY(rig.init());
    rig.sim.command("wait 0.2");
    rig.sim.command("power fail");
    rig.send("Command5", "A", "1", "On");
    QVERIFY2(rig.boxes.shown.isEmpty(), qPrintable(rig.boxes.shown.join('\n')));
    QVERIFY(rig.sim.waitForOutput("A1 lamp on"));
    const QByteArray shown = rig.sim.output();
    QVERIFY2(shown.indexOf("power failure") < shown.indexOf("power-fail polls end"),
             shown.constData());
    QVERIFY(shown.indexOf("power-fail polls end") < shown.indexOf("A1 lamp on"));
  }

  void wrongChecksumsAreRetried() {
    ConsoleRig rig;
    QVERIFY(rig.init());
    rig.sim.command("fault checksum 2");
    QVERIFY(rig.sim.waitForOutput("checksum(s) will be wrong"));
    rig.send("Command5", "A", "1", "On");
    QVERIFY2(rig.sim.waitForOutput("A1 lamp on"), rig.sim.output().constData());
    QCOMPARE(rig.sim.output().count("fault: sent"), 2);
    QVERIFY(rig.boxes.shown.isEmpty());
  }

  void silenceGivesAClearErrorAndTheWindowStaysUsable() {
    ConsoleRig rig;
    QVERIFY(rig.init());
    rig.sim.command("fault silence");
    QVERIFY(rig.sim.waitForOutput("silent for good"));
    QElapsedTimer clock;
    clock.start();
    rig.send("Command5", "A", "1", "On");
    QVERIFY(clock.elapsed() < 3000);
    QCOMPARE(rig.boxes.shown.size(), 1);
    QVERIFY2(rig.boxes.shown[0].startsWith(
                 "Critical | X10 Test Console | the interface did not answer: is it switched on "
                 "and connected to this port? (no checksum within 1000 ms after sending A1 ("),
             qPrintable(rig.boxes.shown[0]));

    rig.sim.command("fault clear");
    QVERIFY(rig.sim.waitForOutput("faults cleared"));
    rig.send("Command5", "A", "1", "On");
    QVERIFY2(rig.sim.waitForOutput("A1 lamp on"), rig.sim.output().constData());
    rig.window.type("TxtPoll", "0");
    rig.window.click("Command2");
    QCOMPARE(rig.logLines(), QStringList{"No Data"});
    QCOMPARE(rig.boxes.shown.size(), 1);
  }

  // The interface goes away (an adapter pulled): the Init button says so at once, the next
  // command fails with a box; once it is back on the same port the link is re-taken by itself,
  // the button says so, and the next command works.
  void hangUpGivesAnErrorAndTheInterfaceIsReachedAgain() {
    ConsoleRig rig;
    QVERIFY(rig.init());
    const auto *butInit = rig.window.control<QPushButton>("ButInit");
    rig.sim.command("fault hangup");
    QVERIFY(rig.sim.process.waitForFinished(5000));
    QTRY_VERIFY2(butInit->accessibleDescription().startsWith("Link lost at "),
                 qPrintable(butInit->accessibleDescription()));
    rig.send("Command5", "A", "1", "On");
    QCOMPARE(rig.boxes.shown.size(), 1);
    QVERIFY2(rig.boxes.shown[0].startsWith("Critical |"), qPrintable(rig.boxes.shown[0]));

    SimulatorProcess again(CM11A_SIM, {"--fast", "--com", "2"}, x10::comPortLinkPath(2));
    QVERIFY2(again.ready(), qPrintable(again.errors()));
    QTRY_VERIFY2(butInit->accessibleDescription().startsWith("Link restored at "),
                 qPrintable(butInit->accessibleDescription()));
    rig.send("Command5", "A", "1", "On");
    QVERIFY2(again.waitForOutput("A1 lamp on"), qPrintable(rig.boxes.shown.join('\n')));
    QCOMPARE(rig.boxes.shown.size(), 1);
  }
};

QTEST_MAIN(TestConsole)
#include "test_console.moc"
