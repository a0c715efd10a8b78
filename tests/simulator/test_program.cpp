// SPDX-License-Identifier: MIT
// The built cm11a-sim over a real pseudo-terminal: the port link, bytes both ways, commands on
// standard input, a driver closing and reopening the port, and the way it stops.
#include "tests/support/builtprogram.h"
#include "tests/support/simulatorprocess.h"
#include "tests/support/waituntil.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <poll.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The port as a driver opens it; closes on scope exit.
class Port {
public:
  explicit Port(const fs::path &path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
  ~Port() {
    if (fd_ >= 0)
      ::close(fd_);
  }
  bool isOpen() const { return fd_ >= 0; }

  bool write(const QByteArray &hex) {
    const QByteArray bytes = QByteArray::fromHex(hex);
    return ::write(fd_, bytes.data(), static_cast<size_t>(bytes.size())) == bytes.size();
  }

  // Reads until `count` bytes have come or two seconds have passed.
  QByteArray read(int count) {
    QByteArray bytes;
    QElapsedTimer timer;
    timer.start();
    while (bytes.size() < count && timer.elapsed() < 2000) {
      pollfd readable{fd_, POLLIN, 0};
      if (::poll(&readable, 1, 100) > 0) {
        char buffer[64];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n > 0)
          bytes.append(buffer, n);
      }
    }
    return bytes.toHex(' ').toUpper();
  }

private:
  int fd_;
};

} // namespace

class TestProgram : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;

  fs::path path(const char *name) const { return fs::path(dir_.path().toStdString()) / name; }

  static QStringList fastAt(const fs::path &link) {
    return {"--fast", "--link", QString::fromStdString(link.string())};
  }

private slots:
  void statusRequestOverThePortAndThroughReopening() {
    const fs::path link = path("com2");
    const fs::path trace = path("trace.txt");
    SimulatorProcess simulator(
        CM11A_SIM, fastAt(link) + QStringList{"--trace", QString::fromStdString(trace.string())},
        link);
    QVERIFY2(simulator.ready(), qPrintable(simulator.errors()));
    QProcess &sim = simulator.process;
    for (int open = 0; open < 3; ++open) {
      Port port(link);
      QVERIFY(port.isOpen());
      QVERIFY(port.write("8B"));
      const QByteArray status = port.read(14);
      QCOMPARE(status.split(' ').size(), 14);
      QVERIFY2(status.startsWith("FF FF") && status.mid(7 * 3, 2) == "61", status.constData());
    }
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!fs::exists(fs::symlink_status(link)));
    QFile traced(QString::fromStdString(trace.string()));
    QVERIFY(traced.open(QIODevice::ReadOnly));
    const QByteArray text = traced.readAll();
    QCOMPARE(text.count("PC -> CM11A  8B"), 3);
    QVERIFY(text.contains(" ms  CM11A -> PC  FF\n"));
    QVERIFY(text.contains("status request"));
  }

  void hangUpClosesThePort() {
    const fs::path link = path("com6");
    SimulatorProcess simulator(CM11A_SIM, fastAt(link), link);
    QVERIFY2(simulator.ready(), qPrintable(simulator.errors()));
    QProcess &sim = simulator.process;
    Port port(link);
    sim.write("fault hangup\n");
    QVERIFY(sim.waitForFinished(5000));
    QVERIFY(!fs::exists(fs::symlink_status(link)));
    QVERIFY(!port.write("8B")); // the other side is gone
  }

  void a1OnReachesTheLampAndStandardInputInjectsTraffic() {
    const fs::path link = path("com3");
    SimulatorProcess simulator(CM11A_SIM, fastAt(link), link);
    QVERIFY2(simulator.ready(), qPrintable(simulator.errors()));
    QProcess &sim = simulator.process;
    Port port(link);
    const std::pair<const char *, const char *> exchange[] = {
        {"04 66", "6A"}, {"00", "55"}, {"06 62", "68"}, {"00", "55"}};
    for (const auto &[send, answer] : exchange) {
      QVERIFY(port.write(send));
      QCOMPARE(port.read(1), QByteArray(answer));
    }
    QVERIFY(simulator.waitForOutput("A1 lamp on"));

    sim.write("B3 On\n");
    QVERIFY(sim.waitForBytesWritten());
    QCOMPARE(port.read(1), QByteArray("5A"));
    QVERIFY(port.write("C3"));
    QCOMPARE(port.read(4), QByteArray("03 02 E2 E2"));
    sim.write("quit\n");
    QVERIFY(sim.waitForFinished(5000));
    QVERIFY(!fs::exists(fs::symlink_status(link)));
  }

  void comPortLinkGoesOnCtrlC() {
    qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    const fs::path link = path("x10console") / "ports" / "com7";
    SimulatorProcess simulator(CM11A_SIM, {"--fast", "--com", "7"}, link);
    QVERIFY2(simulator.ready(), qPrintable(simulator.errors()));
    QProcess &sim = simulator.process;
    QVERIFY(fs::read_symlink(link).string().starts_with("/dev/pts/"));
    ::kill(static_cast<pid_t>(sim.processId()), SIGINT);
    QVERIFY(sim.waitForFinished(5000));
    QVERIFY(!fs::exists(fs::symlink_status(link)));
  }

  void refusesToReplaceALinkToARealDevice() {
    const fs::path link = path("com4");
    fs::create_symlink("/dev/null", link);
    QProcess sim;
    startBuiltProgram(sim, CM11A_SIM, {"--fast", "--link", QString::fromStdString(link.string())});
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 1);
    QVERIFY(sim.readAllStandardError().contains("refusing to replace"));
    QCOMPARE(fs::read_symlink(link), fs::path("/dev/null"));
  }

  void replacesADanglingLink() {
    const fs::path link = path("com5");
    fs::create_symlink(path("gone"), link);
    QProcess sim;
    startBuiltProgram(sim, CM11A_SIM, {"--fast", "--link", QString::fromStdString(link.string())});
    QVERIFY(sim.waitForStarted());
    QVERIFY(waitUntil([&] { return fs::read_symlink(link).string().starts_with("/dev/pts/"); }));
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
  }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "test_program.moc"
