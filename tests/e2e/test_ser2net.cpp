// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The driver through a real ser2net on 127.0.0.1 serving the built cm11a-sim's pseudo-
// terminal, raw and over telnet with RFC 2217, reached as COM 3 through a port file; the same
// through cm11a-sim serving TCP itself; and two drivers on a server that lets a new client
// take the port from the old.
#include "controller/driver/cm11acontroller.h"
#include "controller/links/portnames.h"
#include "tests/support/privateconfighome.h"
#include "tests/support/ser2netserver.h"
#include "tests/support/simulatorprocess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>

Q_DECLARE_METATYPE(Ser2netServer::Mode)

class TestSer2net : public QObject {
  Q_OBJECT
  PrivateConfigHome config_;

  // Also where no simulator has made the ports folder yet.
  static void writePortFile(int n, const QString &address) {
    std::filesystem::create_directories(x10::comPortLinkPath(n).parent_path());
    QFile file(QString::fromStdString(x10::comPortLinkPath(n).string()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(address.toUtf8() + "\n");
  }

  // Init on COM 3, Send Wait "A1 On" reaching the lamp, an event arriving by itself and through
  // GetEvent; a second driver on COM 3 is turned away, and told the port is in use.
  static void drivesTheInterfaceOnCom3(SimulatorProcess &sim, Cm11aController &c, quint16 port) {
    c.setComPort(3);
    QCOMPARE(c.Init(), Cm11aController::InitOk);
    qint16 on = 2;
    c.SendWait("A", "1", on, 0, 0, 0);
    QVERIFY2(sim.waitForOutput("A1 lamp on"), sim.output().constData());

    QSignalSpy events(&c, &controlcm::X10Event);
    sim.command("B3 On");
    QTRY_COMPARE(events.count(), 1);
    QCOMPARE(events.at(0), (QVariantList{"3", "B", 2, "0", "0"}));
    qint32 wait = 3000;
    QCOMPARE(c.GetEvent(wait), "B3 On");
    sim.command("wait 0.3");
    sim.command("B4 Off");
    QCOMPARE(c.GetEvent(wait), "B4 Off");

    Cm11aController second;
    second.setComPort(3);
    QCOMPARE(second.Init(), Cm11aController::InitPortInUse);
    QVERIFY2(second.lastErrorText().startsWith(QStringLiteral("127.0.0.1:%1 is in use").arg(port)),
             qPrintable(second.lastErrorText()));
  }

private slots:
  void initTestCase() {
    QVERIFY(config_.isValid());
    QVERIFY2(Ser2netServer::installed(), "ser2net is not installed: run scripts/install-deps.sh");
  }

  void servesTheInterface_data() {
    QTest::addColumn<Ser2netServer::Mode>("mode");
    QTest::newRow("raw") << Ser2netServer::Mode::Raw;
    QTest::newRow("rfc2217") << Ser2netServer::Mode::Rfc2217;
  }
  void servesTheInterface() {
    QFETCH(Ser2netServer::Mode, mode);
    SimulatorProcess sim(CM11A_SIM, {"--fast", "--com", "2"}, x10::comPortLinkPath(2));
    QVERIFY2(sim.ready(), qPrintable(sim.errors()));
    Ser2netServer server(std::filesystem::canonical(x10::comPortLinkPath(2)), mode);
    QVERIFY2(server.start(), qPrintable(server.errors()));
    writePortFile(3, server.address());

    Cm11aController c;
    drivesTheInterfaceOnCom3(sim, c, server.port());
    if (QTest::currentTestFailed())
      return;

    // The server dies and comes back: the link is re-taken with no call, and traffic flows.
    QSignalSpy status(&c, &controlcm::linkStatusChanged);
    server.kill();
    QTRY_COMPARE(status.count(), 1);
    QVERIFY2(status.at(0).at(0).toString().endsWith("; reconnecting"),
             qPrintable(status.at(0).at(0).toString()));
    QVERIFY(server.start());
    QTRY_COMPARE_WITH_TIMEOUT(status.count(), 2, 10000);
    QVERIFY(status.at(1).at(0).toString().startsWith("Link restored at "));
    QSignalSpy events(&c, &controlcm::X10Event);
    sim.command("C5 Off");
    QTRY_COMPARE(events.count(), 1);
    QCOMPARE(events.at(0), (QVariantList{"5", "C", 3, "0", "0"}));
  }

  // cm11a-sim serving TCP itself, no ser2net, named by a tcp:// port file: the same, and once
  // the console has gone the next one is served.
  void simulatorServesTcpItself() {
    SimulatorProcess sim(CM11A_SIM, {"--fast", "--tcp", "0"}, SimulatorProcess::ServingTcp{});
    QVERIFY2(sim.ready(), qPrintable(sim.errors()));
    writePortFile(3, sim.address());
    {
      Cm11aController c;
      drivesTheInterfaceOnCom3(sim, c, sim.port());
      if (QTest::currentTestFailed())
        return;
    }
    QVERIFY(sim.waitForOutput("closed by the other side"));
    Cm11aController next;
    next.setComPort(3);
    QCOMPARE(next.Init(), Cm11aController::InitOk);
  }
  // With kickolduser a new client's connection closes the old one's. The first console re-takes
  // the port once, is closed again by the second's own re-take, and leaves the port to it:
  // the fight stops well within 10 s, and a restart of the server is still healed.
  void twoConsolesOnAKickingServerStopFighting_data() { servesTheInterface_data(); }
  void twoConsolesOnAKickingServerStopFighting() {
    QFETCH(Ser2netServer::Mode, mode);
    SimulatorProcess sim(CM11A_SIM, {"--fast", "--com", "2"}, x10::comPortLinkPath(2));
    QVERIFY2(sim.ready(), qPrintable(sim.errors()));
    Ser2netServer server(std::filesystem::canonical(x10::comPortLinkPath(2)), mode,
                         Ser2netServer::SecondClient::Kicks);
    QVERIFY2(server.start(), qPrintable(server.errors()));
    writePortFile(3, server.address());
    Cm11aController first;
    Cm11aController second;
    first.setComPort(3);
    second.setComPort(3);
    QCOMPARE(first.Init(), Cm11aController::InitOk);
    QSignalSpy firstStatus(&first, &controlcm::linkStatusChanged);
    QSignalSpy secondStatus(&second, &controlcm::linkStatusChanged);
    QElapsedTimer fight;
    fight.start();
    QCOMPARE(second.Init(), Cm11aController::InitOk);
    const auto leftThePort = [](const QSignalSpy &status) {
      return !status.empty() && status.last().at(0).toString().startsWith(
                                    "Link taken by another client of the server at ");
    };
    QTRY_VERIFY_WITH_TIMEOUT(leftThePort(firstStatus), 10000);
    qInfo("the first console left the port %lld ms after the second's Init", fight.elapsed());
    const QString taken = firstStatus.last().at(0).toString();
    QVERIFY2(taken.contains("start it again") && taken.contains("kickolduser: false"),
             qPrintable(taken));

    // Nobody takes the port any more; the second console has it and the interface answers.
    QTRY_VERIFY(secondStatus.empty() ||
                secondStatus.last().at(0).toString().startsWith("Link restored at "));
    const qsizetype firstChanges = firstStatus.count();
    const qsizetype secondChanges = secondStatus.count();
    QTest::qWait(6000);
    QCOMPARE(firstStatus.count(), firstChanges);
    QCOMPARE(secondStatus.count(), secondChanges);
    QVERIFY(!leftThePort(secondStatus));
    qint16 on = 2;
    second.SendWait("A", "1", on, 0, 0, 0);
    QVERIFY2(sim.waitForOutput("A1 lamp on"), sim.output().constData());
    try {
      first.SendWait("A", "1", on, 0, 0, 0);
      QFAIL("the console that left the port still sends");
    } catch (const DeviceError &e) {
      QCOMPARE(QString::fromUtf8(e.what()), taken);
    }

    // The server dies and comes back: the second console heals by itself, the first stays out.
    server.kill();
    QTRY_COMPARE(secondStatus.count(), secondChanges + 1);
    QVERIFY(server.start());
    QTRY_COMPARE_WITH_TIMEOUT(secondStatus.count(), secondChanges + 2, 10000);
    QVERIFY(secondStatus.last().at(0).toString().startsWith("Link restored at "));
    QCOMPARE(firstStatus.count(), firstChanges);
    QVERIFY(!leftThePort(secondStatus));
  }
};

QTEST_GUILESS_MAIN(TestSer2net)
#include "test_ser2net.moc"
