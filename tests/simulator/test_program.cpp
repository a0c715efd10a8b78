// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The built cm11a-sim over a real pseudo-terminal: the command line, the port link, bytes both
// ways, commands on standard input, a driver closing and reopening the port (or dying with it
// held), and the way it stops; and on a TCP port, one client at a time.
#include "tests/support/builtprogram.h"
#include "tests/support/simulatorprocess.h"
#include "tests/support/waituntil.h"
#include "vocabulary/hexbytes.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The port as a driver opens it, or a connection to a TCP simulator; closes on scope exit.
class Port {
public:
  explicit Port(const fs::path &path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
  static Port connectTo(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
      ::close(fd);
      return Port(-1);
    }
    return Port(fd);
  }
  Port(const Port &) = delete;
  Port &operator=(const Port &) = delete;
  ~Port() {
    if (fd_ >= 0)
      ::close(fd_);
  }
  bool isOpen() const { return fd_ >= 0; }

  bool write(const QByteArray &hex) {
    const QByteArray bytes = QByteArray::fromHex(hex);
    return ::write(fd_, bytes.data(), static_cast<size_t>(bytes.size())) == bytes.size();
  }

  // Reads until `count` bytes have come, the other side has closed, or two seconds have passed.
  QByteArray readRaw(int count) {
    QByteArray bytes;
    QElapsedTimer timer;
    timer.start();
    while (bytes.size() < count && timer.elapsed() < 2000) {
      pollfd readable{fd_, POLLIN, 0};
      if (::poll(&readable, 1, 100) > 0) {
        char buffer[64];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n == 0)
          break;
        if (n > 0)
          bytes.append(buffer, n);
      }
    }
    return bytes;
  }
  // The same in hex: "00 00 61".
  QByteArray read(int count) {
    const QByteArray bytes = readRaw(count);
    return QByteArray::fromStdString(
        x10::hexBytes({reinterpret_cast<const std::uint8_t *>(bytes.data()),
                       static_cast<std::size_t>(bytes.size())}));
  }

private:
  explicit Port(int fd) : fd_(fd) {}
  int fd_;
};

// Someone who is not root, as whom the simulator and its clients run: the kernel lets root
// open a port held in exclusive mode, so only an ordinary user meets what a user would.
struct User {
  uid_t uid;
  gid_t gid;
};

std::optional<User> ordinaryUser() {
  if (::geteuid() != 0)
    return User{::getuid(), ::getgid()};
  const passwd *nobody = ::getpwnam("nobody");
  if (!nobody)
    return std::nullopt;
  return User{nobody->pw_uid, nobody->pw_gid};
}

// body() run in a child process as user; its pid. Only system calls after the fork.
pid_t runAs(const User &user, const std::function<int()> &body) {
  const pid_t pid = ::fork();
  if (pid != 0)
    return pid;
  if (::geteuid() == 0 &&
      (::setgroups(0, nullptr) != 0 || ::setresgid(user.gid, user.gid, user.gid) != 0 ||
       ::setresuid(user.uid, user.uid, user.uid) != 0))
    ::_exit(100);
  ::_exit(body());
}

int exitStatus(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Opens the port as a serial driver does (exclusive, as the driver makes it): 0, or errno.
int openExclusive(const fs::path &link, int &fd) {
  fd = ::open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0)
    return errno;
  return ::ioctl(fd, TIOCEXCL) == 0 ? 0 : errno;
}

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
    QVERIFY(fs::exists(path(".com2.cm11a-sim"))); // the claim, hidden beside the link
    QProcess &sim = simulator.process;
    for (int open = 0; open < 3; ++open) {
      Port port(link);
      QVERIFY(port.isOpen());
      QVERIFY(port.write("8B"));
      const QByteArray status = port.read(14);
      QCOMPARE(status.split(' ').size(), 14);
      QVERIFY2(status.startsWith("00 00") && status.mid(7 * 3, 2) == "61", status.constData());
    }
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!fs::exists(fs::symlink_status(link)));
    QVERIFY(!fs::exists(path(".com2.cm11a-sim")));
    QFile traced(QString::fromStdString(trace.string()));
    QVERIFY(traced.open(QIODevice::ReadOnly));
    const QByteArray text = traced.readAll();
    QCOMPARE(text.count("PC -> CM11A  8B"), 3);
    QVERIFY(text.contains(" ms  CM11A -> PC  61\n")); // the status reply's house and firmware
    QVERIFY(text.contains("status request"));
  }

  // --tcp 0: the interface on a free port of 127.0.0.1, one client at a time. A second client
  // is told the port is in use and closed while the first carries on; once the first has gone,
  // the next is served.
  void servesATcpPortOneClientAtATime() {
    SimulatorProcess simulator(CM11A_SIM, {"--fast", "--tcp", "0"}, SimulatorProcess::ServingTcp{});
    QVERIFY2(simulator.ready(), qPrintable(simulator.errors()));
    QVERIFY2(simulator.address().startsWith("tcp://127.0.0.1:") && simulator.port() != 0,
             qPrintable(simulator.address()));
    const auto status = [](Port &client) { return client.write("8B") ? client.read(14) : ""; };
    {
      Port first = Port::connectTo(simulator.port());
      QVERIFY(first.isOpen());
      const QByteArray reply = status(first);
      QCOMPARE(reply.split(' ').size(), 14);
      QVERIFY2(reply.startsWith("00 00") && reply.mid(7 * 3, 2) == "61", reply.constData());

      Port second = Port::connectTo(simulator.port());
      QVERIFY(second.isOpen());
      QCOMPARE(second.readRaw(64), QByteArray("Port already in use\r\n"));
      QVERIFY(simulator.waitForOutput("turned away 127.0.0.1:"));
      QCOMPARE(status(first).split(' ').size(), 14);
    }
    QVERIFY(simulator.waitForOutput("closed by the other side"));
    Port next = Port::connectTo(simulator.port());
    QCOMPARE(status(next).split(' ').size(), 14);
    QVERIFY(waitUntil([&] { return simulator.output().count("opened by 127.0.0.1:") == 2; }));
  }

  // Warm by default: the battery timer cleared and the clock the host's, no power-fail poll.
  // Cold: the battery timer FFFF, the clock at day 0, and A5 each second until it is set.
  void startsWarmOrCold_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("unasked");
    QTest::addColumn<QByteArray>("battery");
    QTest::newRow("warm") << QStringList{} << QByteArray() << QByteArray("00 00");
    QTest::newRow("cold") << QStringList{"--cold"} << QByteArray("A5") << QByteArray("FF FF");
  }
  void startsWarmOrCold() {
    QFETCH(QStringList, options);
    QFETCH(QByteArray, unasked);
    QFETCH(QByteArray, battery);
    const fs::path link = path("com5");
    SimulatorProcess simulator(CM11A_SIM, fastAt(link) + options, link);
    QVERIFY2(simulator.ready(), qPrintable(simulator.errors()));
    Port port(link);
    QVERIFY(port.isOpen());
    QCOMPARE(port.read(1), unasked); // a power-fail poll comes within a second
    if (!unasked.isEmpty()) {
      QVERIFY(port.write("9B")); // a set-clock's header ends the power failure
      QTest::qWait(150);         // and, the rest not following, is dropped
    }
    QVERIFY(port.write("8B"));
    const QByteArray status = port.read(14);
    QVERIFY2(status.startsWith(battery), status.constData());
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    const int yearDay = unasked.isEmpty() ? local.tm_yday : 0;
    QCOMPARE(status.mid(5 * 3, 2).toInt(nullptr, 16), yearDay & 0xFF);
    const auto byte = [&status](int i) { return status.mid(i * 3, 2).toInt(nullptr, 16); };
    const int minuteOfDay = byte(4) * 120 + byte(3); // hours / 2, minutes within two hours
    if (unasked.isEmpty())
      QVERIFY2(std::abs(minuteOfDay - (local.tm_hour * 60 + local.tm_min)) <= 1,
               status.constData());
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

  // The last line needs no newline. A link re-pointed meanwhile is no longer the simulator's
  // own: it stays on exit.
  void lastLineAndARepointedLink() {
    const fs::path link = path("com8");
    SimulatorProcess simulator(CM11A_SIM, fastAt(link), link);
    QVERIFY2(simulator.ready(), qPrintable(simulator.errors()));
    fs::remove(link);
    fs::create_symlink("/dev/null", link);
    simulator.process.write("quit");
    simulator.process.closeWriteChannel();
    QVERIFY(simulator.process.waitForFinished(5000));
    std::error_code error;
    QCOMPARE(QString::fromStdString(fs::read_symlink(link, error).string()), "/dev/null");
    fs::remove(link);
  }

  // A client that goes, also one that only read, leaves the port clean for the next one: the
  // bytes it left unread are dropped.
  void nextClientGetsNoLeftoverBytes() {
    const fs::path link = path("com9");
    SimulatorProcess simulator(CM11A_SIM, fastAt(link), link);
    QVERIFY2(simulator.ready(), qPrintable(simulator.errors()));
    const auto seen = [&](const char *text, int times) {
      return waitUntil([&] { return simulator.output().count(text) == times; }, 10000);
    };
    const int client = ::open(link.c_str(), O_RDWR | O_NOCTTY);
    QVERIFY(client >= 0 && seen("opened", 1));
    QCOMPARE(::write(client, "\x8B", 1), ssize_t(1));
    pollfd answered{client, POLLIN, 0};
    QCOMPARE(::poll(&answered, 1, 2000), 1); // the status, left unread
    ::close(client);
    QVERIFY(seen("closed by the other side", 1));
    const int readOnly = ::open(link.c_str(), O_RDONLY | O_NOCTTY);
    QVERIFY(readOnly >= 0 && seen("opened", 2));
    ::close(readOnly);
    QVERIFY(seen("closed by the other side", 2));
    Port next(link);
    QCOMPARE(next.read(1), QByteArray());
  }

  // --mains 50 times the power line at 50 Hz: an address frame takes 25 cycles, 0.5 s.
  void mains50TimesThePowerLine() {
    const fs::path link = path("com10");
    SimulatorProcess simulator(
        CM11A_SIM, {"--mains", "50", "--link", QString::fromStdString(link.string())}, link);
    QVERIFY2(simulator.ready(), qPrintable(simulator.errors()));
    Port port(link);
    QVERIFY(port.write("04 66"));
    QCOMPARE(port.read(1), QByteArray("6A"));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(port.write("00"));
    QCOMPARE(port.read(1), QByteArray("55"));
    QVERIFY2(timer.elapsed() >= 480, qPrintable(QString::number(timer.elapsed())));
  }

  void comPortLinkGoesOnCtrlC() {
    qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    const fs::path link = path("x10console") / "ports" / "com7";
    SimulatorProcess simulator(CM11A_SIM, {"--fast", "--com=7"}, link);
    QVERIFY2(simulator.ready(), qPrintable(simulator.errors()));
    QProcess &sim = simulator.process;
    QVERIFY(fs::read_symlink(link).string().starts_with("/dev/pts/"));
    ::kill(static_cast<pid_t>(sim.processId()), SIGINT);
    QVERIFY(sim.waitForFinished(5000));
    QVERIFY(!fs::exists(fs::symlink_status(link)));
  }

  // Values after a space or '='; each wrong command line says what is wrong, status 2.
  void commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says");
    QTest::newRow("help after valued options")
        << QStringList{"--mains=50", "--fast", "--script", "x", "--help"} << 0
        << "Usage: cm11a-sim";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "cm11a-sim ";
    QTest::newRow("com 32767") << QStringList{"--com=32767", "--help"} << 0 << "Usage: cm11a-sim";
    QTest::newRow("com 0") << QStringList{"--com=0"} << 2
                           << "--com needs a port number from 1 to 32767";
    QTest::newRow("com 32768") << QStringList{"--com=32768"} << 2
                               << "--com needs a port number from 1 to 32767";
    QTest::newRow("com without a value")
        << QStringList{"--com"} << 2 << "--com needs a port number";
    QTest::newRow("mains 55") << QStringList{"--mains", "55"} << 2 << "--mains needs 50 or 60 (Hz)";
    QTest::newRow("empty link") << QStringList{"--link="} << 2 << "--link needs a file path";
    QTest::newRow("unknown option") << QStringList{"--colour"} << 2 << "unknown option '--colour'";
    QTest::newRow("a word") << QStringList{"com2"} << 2 << "unknown option 'com2'";
    QTest::newRow("com and link") << QStringList{"--com=3", "--link", "x"} << 2
                                  << "give --com or --link, not both";
    const QString tcpNeeds = "--tcp needs [ADDRESS:]PORT: a port from 0 (any free one) to 65535";
    QTest::newRow("tcp on an IPv6 address")
        << QStringList{"--tcp=[::1]:2001", "--help"} << 0 << "Usage: cm11a-sim";
    QTest::newRow("tcp 65535") << QStringList{"--tcp=65535", "--help"} << 0 << "Usage: cm11a-sim";
    QTest::newRow("tcp 65536") << QStringList{"--tcp", "65536"} << 2 << tcpNeeds;
    QTest::newRow("tcp without a value") << QStringList{"--tcp"} << 2 << tcpNeeds;
    QTest::newRow("tcp on a host name") << QStringList{"--tcp=localhost:0"} << 2 << tcpNeeds;
    QTest::newRow("tcp on IPv6 without brackets") << QStringList{"--tcp=::1:0"} << 2 << tcpNeeds;
    QTest::newRow("tcp and com") << QStringList{"--tcp", "0", "--com=3"} << 2
                                 << "give --tcp or a port link (--com, --link), not both";
    QTest::newRow("tcp on an address not here")
        << QStringList{"--fast", "--tcp", "192.0.2.1:0"} << 1
        << "cannot listen on 192.0.2.1:0: Cannot assign requested address";
  }
  void commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, says);
    QProcess sim;
    startBuiltProgram(sim, CM11A_SIM, arguments);
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), status);
    const QString text = sim.readAllStandardOutput() + sim.readAllStandardError();
    QVERIFY2(text.contains(says), qPrintable(text));
  }

  // A link the simulator did not make may be the user's own port: it stays as it was, also
  // when a gone simulator's claim file still names the pseudo-terminal the link once had.
  void refusesALinkItDidNotMake_data() {
    QTest::addColumn<QString>("target");   // empty: a plain file
    QTest::addColumn<QByteArray>("claim"); // empty: none
    QTest::newRow("a device") << "/dev/null" << QByteArray();
    QTest::newRow("an unplugged adapter")
        << "/dev/serial/by-id/usb-serial-adapter-if00-port0" << QByteArray();
    QTest::newRow("a pseudo-terminal") << "/dev/pts/999" << QByteArray();
    QTest::newRow("a plain file") << "" << QByteArray();
    QTest::newRow("re-pointed by hand beside a gone simulator's claim")
        << "/dev/serial/by-id/usb-serial-adapter-if00-port0" << QByteArray("999999 /dev/pts/998\n");
  }
  void refusesALinkItDidNotMake() {
    QFETCH(QString, target);
    QFETCH(QByteArray, claim);
    const fs::path link = path("com4");
    const QString claimFile = QString::fromStdString(path(".com4.cm11a-sim").string());
    fs::remove(link);
    if (!claim.isEmpty()) {
      QFile file(claimFile);
      QVERIFY(file.open(QIODevice::WriteOnly) && file.write(claim) == claim.size());
    }
    if (target.isEmpty())
      QFile(QString::fromStdString(link.string())).open(QIODevice::WriteOnly);
    else
      fs::create_symlink(target.toStdString(), link);
    QProcess sim;
    startBuiltProgram(sim, CM11A_SIM, fastAt(link));
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 1);
    const QString error = sim.readAllStandardError();
    QVERIFY2(error.contains(QString::fromStdString(link.string())) && error.contains(target),
             qPrintable(error));
    if (target.isEmpty())
      QVERIFY(fs::is_regular_file(fs::symlink_status(link)));
    else
      QCOMPARE(QString::fromStdString(fs::read_symlink(link).string()), target);
    QFile left(claimFile);
    QCOMPARE(left.open(QIODevice::ReadOnly) ? left.readAll() : QByteArray(), claim);
    QFile::remove(claimFile);
  }

  // A second simulator keeps off a running one's link; once that one was killed, it takes it.
  void takesOnlyTheLinkOfAGoneSimulator() {
    const fs::path link = path("com5");
    SimulatorProcess first(CM11A_SIM, fastAt(link), link);
    QVERIFY2(first.ready(), qPrintable(first.errors()));
    QVERIFY(first.waitForOutput("published as"));
    const fs::path firstPty = fs::read_symlink(link);

    QProcess second;
    startBuiltProgram(second, CM11A_SIM, fastAt(link));
    QVERIFY(second.waitForFinished(5000));
    QCOMPARE(second.exitCode(), 1);
    const QString error = second.readAllStandardError();
    QVERIFY2(error.contains("is running on it") && error.contains(firstPty.c_str()),
             qPrintable(error));
    QCOMPARE(fs::read_symlink(link), firstPty);

    first.process.kill();
    QVERIFY(first.process.waitForFinished(5000));
    QVERIFY(fs::is_symlink(link)); // left behind
    SimulatorProcess third(CM11A_SIM, fastAt(link), link);
    QVERIFY(third.waitForOutput("published as"));
    Port port(link);
    QVERIFY(port.write("8B"));
    QCOMPARE(port.read(14).split(' ').size(), 14);
  }

  // A driver killed while it held the port in exclusive mode leaves it free for the next one;
  // while one holds it, a second is refused. Run as an ordinary user: root may open anyway.
  void portIsFreeAgainAfterItsClientDies() {
    const auto user = ordinaryUser();
    if (!user)
      QSKIP(
          "running as root and there is no user 'nobody' to run the simulator and its clients as");
    QTemporaryDir shared; // the ordinary user's link goes here
    QVERIFY(
        QFile::setPermissions(shared.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                 QFileDevice::WriteOther | QFileDevice::ExeOther));
    const fs::path link = fs::path(shared.path().toStdString()) / "com6";
    // As root, the simulator runs as that user through setpriv.
    QStringList command = builtProgramCommand(CM11A_SIM, fastAt(link));
    if (::geteuid() == 0)
      command = QStringList{"setpriv", "--reuid=" + QString::number(user->uid),
                            "--regid=" + QString::number(user->gid), "--clear-groups"} +
                command;
    SimulatorProcess simulator(command, link);
    QVERIFY2(simulator.ready(), qPrintable(simulator.errors()));

    int ready[2];
    QVERIFY(::pipe(ready) == 0);
    const pid_t holder = runAs(*user, [&] {
      int fd;
      if (const int error = openExclusive(link, fd))
        return error;
      (void)!::write(ready[1], "x", 1);
      ::pause();
      return 0;
    });
    char byte;
    QCOMPARE(::read(ready[0], &byte, 1), ssize_t(1));
    const auto openAsUser = [&] {
      return exitStatus(runAs(*user, [&] {
        int fd;
        return openExclusive(link, fd);
      }));
    };
    QCOMPARE(openAsUser(), EBUSY); // held: refused

    // The simulator counts opens and closes as it looks: it must have seen the open before the
    // close, or it takes both in one look and has nothing to report. Bounds are generous for a
    // loaded machine; each wait ends as soon as its event comes.
    QVERIFY(simulator.waitForOutput("opened", 30000));
    QCOMPARE(openAsUser(), EBUSY); // a refused open leaves it held
    ::kill(holder, SIGKILL);
    QCOMPARE(exitStatus(holder), -1);
    QVERIFY(simulator.waitForOutput("closed by the other side", 30000));
    QCOMPARE(openAsUser(), 0); // free again
    // After a proper close too, once the simulator has seen the close: it learns of it only
    // after the fact, and says nothing when an open and its close come between two looks, so
    // the port is tried until it is free. A try that opens it holds it exclusive again, so
    // none may follow the one that succeeded (as QTRY's would).
    QVERIFY(waitUntil([&] { return openAsUser() == 0; }, 30000));
    ::close(ready[0]);
    ::close(ready[1]);
  }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "test_program.moc"
