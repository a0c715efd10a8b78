// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The driver over a real pseudo-terminal with a small scripted interface.
#include "controller/driver/cm11acontroller.h"
#include "controller/driver/linkkeeper.h"
#include "controller/links/portnames.h"
#include "controller/links/posix/devicelock.h"
#include "tests/support/builtprogram.h"
#include "tests/support/linepour.h"
#include "tests/support/privateconfighome.h"
#include "tests/support/ptypeer.h"
#include "tests/support/simulatorprocess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>
#include <vector>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using Bytes = PtyPeer::Bytes;

namespace {

const Bytes kStatus{0xFF, 0xFF, 0x13, 0x40, 0x0A, 0x48, 0x82,
                    0x61, 0x40, 0x00, 0x40, 0x00, 0x00, 0x00};
const PtyPeer::Step kProbe{{0x8B}, kStatus};

// This process's resident memory in kB.
long residentKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long kb = -1;
  while (status >> key && key != "VmRSS:")
    status.ignore(1 << 12, '\n');
  status >> kb;
  return kb;
}

} // namespace

class TestCm11aController : public QObject {
  Q_OBJECT

  PrivateConfigHome config_;

  // COM n is linked to a device, as a user would link a USB adapter.
  static void linkCom(int n, const std::filesystem::path &device) {
    const std::filesystem::path link = x10::comPortLinkPath(n);
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::remove(link);
    std::filesystem::create_symlink(device, link);
  }
  void linkCom1(const PtyPeer &peer) { linkCom(1, peer.slavePath().toStdString()); }

  // After a hang-up the link goes, as udev removes an unplugged adapter's link and the
  // simulator its own. Left in place it names a pseudo-terminal number that another program
  // (a test running alongside) may have taken since, and the reopen would succeed there.
  void unplugCom1() { std::filesystem::remove(x10::comPortLinkPath(1)); }

  // The init probe run as an ordinary user, with home as its configuration folder.
  static void startProbeAs(QProcess &probe, uid_t uid, gid_t gid, const QString &home,
                           const QStringList &arguments) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", home);
    probe.setProcessEnvironment(env);
    startCommand(probe, QStringList{"setpriv", "--reuid=" + QString::number(uid),
                                    "--regid=" + QString::number(gid), "--clear-groups"} +
                            builtProgramCommand(X10_INIT_PROBE, arguments));
  }

  // A loopback listener (IPv4 or IPv6) that never accepts: the kernel takes connections for it
  // up to its queue's length and nothing answers. Its port in port; -1 when the family has no
  // loopback.
  static int silentLoopbackListener(int family, int &port, int queue = 1) {
    const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_storage a{};
    socklen_t size = family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    if (family == AF_INET6) {
      auto &v6 = reinterpret_cast<sockaddr_in6 &>(a);
      v6.sin6_family = AF_INET6;
      v6.sin6_addr = in6addr_loopback;
    } else {
      auto &v4 = reinterpret_cast<sockaddr_in &>(a);
      v4.sin_family = AF_INET;
      v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    auto *address = reinterpret_cast<sockaddr *>(&a);
    if (fd < 0 || ::bind(fd, address, size) != 0 || ::listen(fd, queue) != 0 ||
        ::getsockname(fd, address, &size) != 0) {
      if (fd >= 0)
        ::close(fd);
      return -1;
    }
    port = ntohs(family == AF_INET6 ? reinterpret_cast<sockaddr_in6 &>(a).sin6_port
                                    : reinterpret_cast<sockaddr_in &>(a).sin_port);
    return fd;
  }

  // A connection to a loopback port, not waited for: -1 if it failed at once.
  static int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 && errno != EINPROGRESS) {
      ::close(fd);
      return -1;
    }
    return fd;
  }

  // Opens device read-write and closes it, as a program that knows nothing of locks: 0 or the
  // errno. As root, through a shell run as nobody.
  static int plainOpen(const QString &device) {
    if (::geteuid() != 0) {
      const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
      if (fd < 0)
        return errno;
      ::close(fd);
      return 0;
    }
    QProcess shell;
    shell.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", "sh", "-c",
                            "exec 3<>\"$0\"", device});
    if (!shell.waitForFinished(10000))
      return -1;
    if (shell.exitCode() == 0)
      return 0;
    return shell.readAllStandardError().contains("busy") ? EBUSY : -1;
  }

  // COM n as a port file holding line.
  static void writeComFile(int n, const QString &line) {
    const std::filesystem::path path = x10::comPortLinkPath(n);
    std::filesystem::create_directories(path.parent_path());
    std::filesystem::remove(path);
    QFile file(QString::fromStdString(path.string()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(line.toUtf8() + "\n");
  }

  static void sendA1On(Cm11aController &c) {
    qint16 on = 2;
    c.SendWait("A", "1", on, 0, 0, 0);
  }

private slots:
  void initTestCase() { QVERIFY(config_.isValid()); }

  void sendsA1OnWithTheHandshake() {
    PtyPeer peer({kProbe,
                  {{0x04, 0x66}, {0x6A}},
                  {{0x00}, {0x55}},
                  {{0x06, 0x62}, {0x68}},
                  {{0x00}, {0x55}}});
    linkCom1(peer);
    Cm11aController c;
    c.setComPort(1);
    QCOMPARE(c.Init(), Cm11aController::InitOk);
    QElapsedTimer timer;
    timer.start();
    sendA1On(c);
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    QCOMPARE(peer.received(), (Bytes{0x8B, 0x04, 0x66, 0x00, 0x06, 0x62, 0x00}));
    qInfo("SendWait A1 On against a peer with no delay: %.2f ms", ms);
  }

  void uploadDuringSendIsDeliveredAfterTheCall() {
    PtyPeer peer({kProbe,
                  {{0x04, 0x66}, {0x5A}}, // a poll where the checksum was due
                  {{0xC3}, {0x03, 0x02, 0x66, 0x62}},
                  {{0x04, 0x66}, {0x6A}},
                  {{0x00}, {0x55}},
                  {{0x06, 0x62}, {0x68}},
                  {{0x00}, {0x55}}});
    linkCom1(peer);
    Cm11aController c;
    QCOMPARE(c.Init(), Cm11aController::InitOk);
    QSignalSpy events(&c, &controlcm::X10Event);
    QSignalSpy singles(&c, &controlcm::X10SingleEvent);
    sendA1On(c);
    QCOMPARE(events.count(), 0); // posted, not emitted inside the call
    QTRY_COMPARE(events.count(), 1);
    QCOMPARE(events.at(0), (QVariantList{"1", "A", 2, "0", "0"}));
    QCOMPARE(singles.count(), 1);
    QCOMPARE(singles.at(0).mid(0, 3), (QVariantList{"1", "A", -1}));
    qint32 noWait = 0;
    QCOMPARE(c.GetEvent(noWait), "A1 On"); // the address is handed out with its function
    QCOMPARE(c.GetEvent(noWait), "");
  }

  // The event carries a Dim's change in per cent, an extended code's data and command bytes.
  void getEventWaitsForAPollAnsweredMeanwhile_data() {
    QTest::addColumn<Bytes>("upload");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariantList>("event");
    QTest::newRow("A1 Dim 45%") << Bytes{0x04, 0x02, 0x66, 0x64, 0x5E} << "A1 Dim 45%"
                                << QVariantList{"1", "A", 4, "45", "0"};
    QTest::newRow("A1 Bright 20%") << Bytes{0x04, 0x02, 0x66, 0x65, 0x2A} << "A1 Bright 20%"
                                   << QVariantList{"1", "A", 5, "20", "0"};
    QTest::newRow("A5 Extended 1F 31")
        << Bytes{0x05, 0x01, 0x67, 0x01, 0x1F, 0x31} << "A5 Extended data 0x1F command 0x31"
        << QVariantList{"5", "A", 7, "31", "49"};
  }
  void getEventWaitsForAPollAnsweredMeanwhile() {
    QFETCH(Bytes, upload);
    QFETCH(QString, text);
    QFETCH(QVariantList, event);
    PtyPeer peer({kProbe, {{0xC3}, upload}});
    linkCom1(peer);
    Cm11aController c;
    QCOMPARE(c.Init(), Cm11aController::InitOk);
    QSignalSpy events(&c, &controlcm::X10Event);
    peer.inject({0x5A});
    qint32 timeout = 2000;
    QCOMPARE(c.GetEvent(timeout), text);
    QCOMPARE(events.count(), 0);
    QTRY_COMPARE(events.count(), 1);
    QCOMPARE(events.at(0), event);
  }

  // ClearInterface sets the interface's clock from the local time the driver is given:
  // seconds, minutes within two hours, hours / 2, day of year (0-based) with its ninth bit in
  // bit 7 of the next byte beside the weekday mask (bit 0 Sunday), then house A and the two
  // clear flags (63).
  void clearSetsTheClockFromLocalTime_data() {
    QTest::addColumn<QDateTime>("local");
    QTest::addColumn<Bytes>("clock");
    QTest::addColumn<int>("checksum");
    const auto at = [](int y, int mo, int d, int h, int mi, int s) {
      return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
    };
    QTest::newRow("Saturday 13:45:30")
        << at(2024, 6, 15, 13, 45, 30) << Bytes{0x1E, 0x69, 0x06, 0xA6, 0x40, 0x63} << 0xD6;
    QTest::newRow("Sunday midnight")
        << at(2024, 6, 16, 0, 0, 0) << Bytes{0x00, 0x00, 0x00, 0xA7, 0x01, 0x63} << 0x0B;
    QTest::newRow("31 December of a leap year, 23:59:59")
        << at(2024, 12, 31, 23, 59, 59) << Bytes{0x3B, 0x77, 0x0B, 0x6D, 0x84, 0x63} << 0x11;
    QTest::newRow("day 256, Thursday noon")
        << at(2023, 9, 14, 12, 0, 0) << Bytes{0x00, 0x00, 0x06, 0x00, 0x90, 0x63} << 0xF9;
    // Summer time begins at 01:00 UTC on 31 March 2024 in Berlin: the clock follows local time.
    const QTimeZone berlin("Europe/Berlin");
    const QDateTime change(QDate(2024, 3, 31), QTime(1, 0), Qt::UTC);
    QTest::newRow("last second of winter time")
        << change.addSecs(-1).toTimeZone(berlin) << Bytes{0x3B, 0x77, 0x00, 0x5A, 0x01, 0x63}
        << 0x70;
    QTest::newRow("first second of summer time")
        << change.toTimeZone(berlin) << Bytes{0x00, 0x3C, 0x01, 0x5A, 0x01, 0x63} << 0xFB;
  }
  void clearSetsTheClockFromLocalTime() {
    QFETCH(QDateTime, local);
    QFETCH(Bytes, clock);
    QFETCH(int, checksum);
    QVERIFY(local.isValid());
    Bytes setClock{0x9B};
    setClock.insert(setClock.end(), clock.begin(), clock.end());
    PtyPeer peer({kProbe, {setClock, {static_cast<std::uint8_t>(checksum)}}, {{0x00}, {0x55}}});
    linkCom1(peer);
    Cm11aController c;
    c.setLocalTime([local] { return local; });
    QCOMPARE(c.Init(), Cm11aController::InitOk);
    QCOMPARE(c.ClearInterface(), Cm11aController::ClearOk);
    Bytes expected{0x8B};
    expected.insert(expected.end(), setClock.begin(), setClock.end());
    expected.push_back(0x00);
    QCOMPARE(peer.received(), expected);
  }

  void initFailuresEndWithinTheirDeadline_data() {
    QTest::addColumn<Bytes>("reply");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");
    QTest::newRow("silent") << Bytes{} << int(Cm11aController::InitNoAnswer) << "no answer";
    QTest::newRow("cut short") << Bytes{0xFF, 0xFF, 0x13} << int(Cm11aController::InitWrongAnswer)
                               << "cut short";
    QTest::newRow("fourteen zeros")
        << Bytes(14, 0x00) << int(Cm11aController::InitWrongAnswer) << "nothing but zero bytes";
  }
  void initFailuresEndWithinTheirDeadline() {
    QFETCH(Bytes, reply);
    QFETCH(int, code);
    QFETCH(QString, reason);
    PtyPeer peer({{{0x8B}, reply}});
    linkCom1(peer);
    Cm11aController c;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(c.Init(), code);
    QVERIFY2(timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
    QVERIFY2(c.lastErrorText().contains(reason), qPrintable(c.lastErrorText()));
  }

  // The device is locked, not the link: LCK..<device name> in /run/lock, holding the PID in
  // ten characters and a newline, as other serial programs write it. A live holder is named;
  // the lock of a process that is gone is taken over.
  void oneDeviceIsHeldByOneProcess_data() {
    QTest::addColumn<QString>("holder");
    QTest::newRow("this program, through another link") << "self";
    QTest::newRow("another program") << "sleep";
    QTest::newRow("a program that is gone") << "gone";
    QTest::newRow("a program that has ended, not yet collected by its parent") << "zombie";
  }
  void oneDeviceIsHeldByOneProcess() {
    QFETCH(QString, holder);
    PtyPeer peer({kProbe});
    linkCom(1, peer.slavePath().toStdString());
    linkCom(2, peer.slavePath().toStdString());
    const QString lockFile = "/run/lock/LCK.." + QFileInfo(peer.slavePath()).fileName();
    const auto lockText = [&] {
      QFile file(lockFile);
      return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    };
    std::optional<Cm11aController> first;
    QProcess other;
    qint64 pid = QCoreApplication::applicationPid();
    // The kernel's name for this process: its first 15 characters natively, the emulator's
    // name in a cross build's test run.
    QFile comm("/proc/self/comm");
    QVERIFY(comm.open(QIODevice::ReadOnly));
    QString name = QString::fromLatin1(comm.readAll()).trimmed();
    if (holder == "self") {
      first.emplace();
      QCOMPARE(first->Init(), Cm11aController::InitOk);
    } else {
      if (holder == "zombie") { // ended, and left for this test to collect
        pid = ::fork();
        if (pid == 0)
          ::_exit(0);
        siginfo_t ended{};
        QVERIFY(::waitid(P_PID, static_cast<id_t>(pid), &ended, WEXITED | WNOWAIT) == 0);
      } else {
        other.start("sleep", {"30"});
        QVERIFY(other.waitForStarted());
        pid = other.processId();
        name = "sleep";
      }
      if (holder == "gone") {
        other.kill();
        QVERIFY(other.waitForFinished());
      }
      QFile file(lockFile);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(QString("%1\n").arg(pid, 10).toLatin1());
    }
    {
      Cm11aController second;
      second.setComPort(2);
      if (holder == "gone" || holder == "zombie") {
        QCOMPARE(second.Init(), Cm11aController::InitOk);
        QCOMPARE(lockText(), QString("%1\n").arg(QCoreApplication::applicationPid(), 10));
      } else {
        QCOMPARE(second.Init(), Cm11aController::InitPortInUse);
        QCOMPARE(second.lastErrorText(), QString::fromStdString(x10::comPortLinkPath(2).string()) +
                                             " (a link to " + peer.slavePath() + ") is in use by " +
                                             name + " (PID " + QString::number(pid) +
                                             "): close it and try again");
      }
    }
    first.reset();
    if (holder == "zombie")
      ::waitpid(static_cast<pid_t>(pid), nullptr, 0);
    if (holder == "sleep") {
      QFile::remove(lockFile);
      other.kill();
      other.waitForFinished();
    }
    QVERIFY2(!QFile::exists(lockFile), qPrintable(lockText()));
  }

  // Without a lock directory there is no convention to follow: the device is held without a
  // file. A directory this user may not write to refuses it, saying why.
  void lockDirectoryMissingOrClosed() {
    QFile null("/dev/null");
    QVERIFY(null.open(QIODevice::ReadWrite));
    const auto missing = DeviceLock::acquire(null.handle(), "/dev/null", "/nonexistent/lock");
    QVERIFY(missing.has_value());
    QVERIFY(missing->file().empty());
    if (::access("/sys", W_OK) == 0)
      QSKIP("/sys is writable here: no closed directory to try");
    const auto closed = DeviceLock::acquire(null.handle(), "/dev/null", "/sys");
    QVERIFY(!closed.has_value());
    QCOMPARE(closed.error().text,
             "cannot be locked: /sys is not writable for this user (Debian makes it writable by "
             "all, mode 1777; ask the administrator to restore that)");
  }

  // A crashed holder never keeps another user out. User A's driver holds the port: user B is
  // refused and told who holds it. A is killed (SIGKILL): its lock file stays, and B may not
  // remove it (the lock directory is sticky), yet B's Init takes the port, and A is then told
  // B's console holds it though no lock file says so. Against the
  // simulator, which ends the port's exclusive mode when its client goes, as a real port's
  // last close does.
  void anotherUsersHoldEndsWithItsProcess() {
    if (::geteuid() != 0)
      QSKIP("needs root, to run as two ordinary users");
    const passwd *user = ::getpwnam("nobody"); // static storage: copied before the next look-up
    if (!user)
      QSKIP("needs the user nobody");
    const uid_t a = user->pw_uid;
    const gid_t aGroup = user->pw_gid;
    user = ::getpwnam("x10-second");
    if (!user)
      QSKIP("needs the user x10-second (scripts/install-deps.sh adds it)");
    const uid_t b = user->pw_uid;
    const gid_t bGroup = user->pw_gid;
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QVERIFY(::chmod(home.path().toLocal8Bit().constData(), 0755) == 0);
    const std::filesystem::path link = home.filePath("x10console/ports/com1").toStdString();
    std::filesystem::create_directories(link.parent_path());
    SimulatorProcess simulator(CM11A_SIM, {"--fast", "--link", QString::fromStdString(link)}, link);
    QVERIFY2(simulator.ready(), qPrintable(simulator.errors()));
    const QString device = QString::fromStdString(std::filesystem::canonical(link).string());
    QVERIFY(::chmod(device.toLocal8Bit().constData(), 0666) == 0);
    const QString lockFile = "/run/lock/LCK.." + QFileInfo(device).fileName();
    const auto initAsB = [&] {
      QProcess probe;
      startProbeAs(probe, b, bGroup, home.path(), {"1"});
      probe.waitForFinished(10000);
      return QString::fromLocal8Bit(probe.readAllStandardOutput());
    };

    QProcess holder;
    startProbeAs(holder, a, aGroup, home.path(), {"1", "hold"});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readAllStandardOutput(), QByteArray("0\n"));
    const qint64 pid = holder.processId();
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    QVERIFY(comm.open(QIODevice::ReadOnly));
    const QString name = QString::fromLatin1(comm.readAll()).trimmed();
    QCOMPARE(initAsB(), QString::number(Cm11aController::InitPortInUse) + "\n" +
                            QString::fromStdString(link.string()) + " (a link to " + device +
                            ") is in use by " + name + " (PID " + QString::number(pid) +
                            "): close it and try again");

    ::kill(static_cast<pid_t>(pid), SIGKILL);
    QVERIFY(holder.waitForFinished(5000));
    QVERIFY(simulator.waitForOutput("closed by the other side"));
    QCOMPARE(QFileInfo(lockFile).ownerId(), a); // left behind, not B's to remove
    QCOMPARE(initAsB(), QString::number(Cm11aController::InitOk) + "\n");

    // B holds the port past A's stale lock file; A, trying again, finds no live holder in the
    // lock file and is told B's console from the kernel's lock table.
    QProcess second;
    startProbeAs(second, b, bGroup, home.path(), {"1", "hold"});
    QVERIFY(second.waitForReadyRead(10000));
    QCOMPARE(second.readAllStandardOutput(), QByteArray("0\n"));
    QProcess third;
    startProbeAs(third, a, aGroup, home.path(), {"1"});
    QVERIFY(third.waitForFinished(10000));
    QCOMPARE(QString::fromLocal8Bit(third.readAllStandardOutput()),
             QString::number(Cm11aController::InitPortInUse) + "\n" +
                 QString::fromStdString(link.string()) + " (a link to " + device +
                 ") is in use by " + name + " (PID " + QString::number(second.processId()) +
                 "): close it and try again");
    second.kill();
    QVERIFY(second.waitForFinished(5000));
    QVERIFY(QFile::remove(lockFile));
  }

  // A serial path that is no terminal is refused at open; a line that pours zeros or bytes
  // without pause fails Init with what it did, within the status request's wait and with
  // memory kept where it was.
  void linesThatAreNoInterfaceFailInit_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");
    QTest::newRow("/dev/zero") << "/dev/zero" << int(Cm11aController::InitOpenFailed)
                               << " (a link to /dev/zero) is not a serial port (a terminal "
                                  "device): link the port to the interface's serial adapter";
    QTest::newRow("/dev/null") << "/dev/null" << int(Cm11aController::InitOpenFailed)
                               << " (a link to /dev/null) is not a serial port (a terminal "
                                  "device): link the port to the interface's serial adapter";
    QTest::newRow("pseudo-terminal pouring zeros")
        << "pty zeros" << int(Cm11aController::InitWrongAnswer) << "nothing but zero bytes";
    QTest::newRow("pseudo-terminal pouring bytes")
        << "pty bytes" << int(Cm11aController::InitWrongAnswer)
        << "is not a CM11A: it sends far more than a CM11A can (";
    QTest::newRow("TCP port pouring bytes")
        << "tcp bytes" << int(Cm11aController::InitWrongAnswer)
        << "127.0.0.1:%1 is not a CM11A: it sends far more than a CM11A can (";
  }
  void linesThatAreNoInterfaceFailInit() {
    QFETCH(QString, line);
    QFETCH(int, code);
    QFETCH(QString, reason);
    std::optional<LinePour> pour;
    if (line.contains(' '))
      pour.emplace(line.endsWith("zeros") ? LinePour::What::Zeros : LinePour::What::Random,
                   line.startsWith("tcp") ? LinePour::Line::Network : LinePour::Line::Pty, Bytes{});
    const std::filesystem::path com1 = x10::comPortLinkPath(1);
    std::filesystem::create_directories(com1.parent_path());
    std::filesystem::remove(com1);
    if (line.startsWith("tcp")) {
      std::ofstream(com1) << pour->address().toStdString() << "\n";
      reason = reason.arg(pour->address().section(':', -1));
    } else {
      linkCom(1, (pour ? pour->address() : line).toStdString());
    }
    Cm11aController c;
    const long before = residentKb();
    QElapsedTimer timer;
    timer.start();
    const int result = c.Init();
    const qint64 ms = timer.elapsed();
    const long grown = residentKb() - before;
    std::filesystem::remove(com1);
    QCOMPARE(result, code);
    QVERIFY2(c.lastErrorText().contains(reason), qPrintable(c.lastErrorText()));
    // Read passes of 256 bytes at most: a flood is judged within three of them.
    const auto offered =
        QRegularExpression("can \\(([0-9,]+) bytes within").match(c.lastErrorText());
    if (offered.hasMatch())
      QVERIFY2(offered.captured(1).remove(',').toInt() <= 768, qPrintable(c.lastErrorText()));
    QVERIFY2(ms < 1500, qPrintable(QString::number(ms)));
    QVERIFY2(grown < 4096, qPrintable(QString::number(grown)));
    qInfo("%s: Init failed in %lld ms, resident memory grew %ld kB: %s", qPrintable(line), ms,
          grown, qPrintable(c.lastErrorText()));
  }

  // A port that pours random bytes for seconds after a good Init: the link is lost, as a
  // pulled plug is, and memory stays where it was.
  void floodAfterInitLosesTheLink() {
    LinePour pour(LinePour::What::Random, LinePour::Line::Network, kStatus);
    const std::filesystem::path com1 = x10::comPortLinkPath(1);
    std::filesystem::create_directories(com1.parent_path());
    std::filesystem::remove(com1);
    std::ofstream(com1) << pour.address().toStdString() << "\n";
    Cm11aController c;
    QSignalSpy status(&c, &controlcm::linkStatusChanged);
    const long before = residentKb();
    QCOMPARE(c.Init(), Cm11aController::InitOk);
    QTRY_COMPARE(status.count(), 1);
    QTest::qWait(2000); // the line keeps pouring; the driver keeps retaking it
    const long grown = residentKb() - before;
    std::filesystem::remove(com1);
    QVERIFY2(status.at(0).at(0).toString().contains(
                 "is not a CM11A: it sends far more than a CM11A can ("),
             qPrintable(status.at(0).at(0).toString()));
    QVERIFY2(grown < 4096, qPrintable(QString::number(grown)));
  }

  void missingPortIsNamed() {
    Cm11aController c;
    c.setComPort(0);
    QCOMPARE(c.Init(), Cm11aController::InitNoSuchPort);
    c.setComPort(7); // no link: /dev/ttyS6, absent in a container or at least not an interface
    QVERIFY(c.Init() != Cm11aController::InitOk);
    QVERIFY(!c.lastErrorText().isEmpty());
  }

  // The reason names what is missing and how to fix it: the link of an unplugged adapter, the
  // serial port a COM number stands for when it has no link, or a link that leads to itself.
  void missingDeviceSaysWhereThePortIsLinked() {
    const std::filesystem::path link = x10::comPortLinkPath(7);
    linkCom(7, "/dev/serial/by-id/usb-unplugged-port0");
    Cm11aController c;
    c.setComPort(7);
    QCOMPARE(c.Init(), Cm11aController::InitNoSuchPort);
    const QString text = c.lastErrorText();
    std::filesystem::remove(link);
    QCOMPARE(text, "no such device " + QString::fromStdString(link.string()) +
                       " (a link to /dev/serial/by-id/usb-unplugged-port0): plug the interface's "
                       "adapter in, or "
                       "point the link at it (see man x10console)");

    c.setComPort(200); // /dev/ttyS199: no machine has that many
    QCOMPARE(c.Init(), Cm11aController::InitNoSuchPort);
    QCOMPARE(
        c.lastErrorText(),
        "no such device /dev/ttyS199: plug the interface's adapter in, or link COM 200 to it as " +
            QString::fromStdString(x10::comPortLinkPath(200).string()) + " (see man x10console)");

    linkCom(7, link); // ln -s com7 com7
    c.setComPort(7);
    QCOMPARE(c.Init(), Cm11aController::InitOpenFailed);
    std::filesystem::remove(link);
    QCOMPARE(c.lastErrorText(), QString::fromStdString(link.string()) +
                                    " is a loop of links that never reaches a device (one leads "
                                    "back to another): point it at the device itself");
  }

  // A user without access is told what grants it: the device's group when that group may use
  // it, or else its owner and mode. Root opens any device, so the probe runs as nobody.
  void deviceWithoutAccessSaysWhatGrantsIt_data() {
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("advice");
    QTest::newRow("group may use it")
        << "dialout" << 0660
        << "add your user to its group dialout (sudo adduser nobody dialout), then log out and "
           "in again";
    QTest::newRow("group root may use it")
        << "root" << 0660
        << "it belongs to root:root with mode 0660, which no group opens: ask the administrator "
           "to give it to the dialout group with mode 0660 (a udev rule)";
    QTest::newRow("group may only read it")
        << "dialout" << 0640
        << "it belongs to root:dialout with mode 0640, which no group opens: ask the "
           "administrator to give it to the dialout group with mode 0660 (a udev rule)";
    QTest::newRow("owner alone") << "root" << 0600
                                 << "it belongs to root:root with mode 0600, which no group "
                                    "opens: ask the administrator to give it to the dialout "
                                    "group with mode 0660 (a udev rule)";
  }
  void deviceWithoutAccessSaysWhatGrantsIt() {
    QFETCH(QString, group);
    QFETCH(int, mode);
    QFETCH(QString, advice);
    if (::geteuid() != 0)
      QSKIP("needs root, to hand the device to root and try it as nobody");
    const QString setpriv = QStandardPaths::findExecutable("setpriv");
    QVERIFY2(!setpriv.isEmpty(), "as root this needs setpriv (util-linux) to run as nobody");
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QVERIFY(::chmod(home.path().toLocal8Bit().constData(), 0755) == 0);
    const QString device = home.filePath("ttyX10test");
    QFile file(device);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const struct group *owner = ::getgrnam(group.toLatin1().constData());
    QVERIFY(owner);
    QVERIFY(::chown(device.toLocal8Bit().constData(), 0, owner->gr_gid) == 0);
    QVERIFY(::chmod(device.toLocal8Bit().constData(), static_cast<mode_t>(mode)) == 0);
    const QString link = home.filePath("x10console/ports/com1");
    std::filesystem::create_directories(home.filePath("x10console/ports").toStdString());
    std::filesystem::create_symlink(device.toStdString(), link.toStdString());

    QProcess probe;
    startProbeAs(probe, 65534, 65534, home.path(), {"1"});
    QVERIFY(probe.waitForFinished(10000));
    QCOMPARE(QString::fromLocal8Bit(probe.readAllStandardOutput()),
             QString::number(Cm11aController::InitPermissionDenied) + "\npermission denied on " +
                 link + " (a link to " + device + "): " + advice);
  }

  // The window refuses a port number below 1 itself; the driver does too, for other callers.
  void portNumberBelowOneNamesNoPort() {
    Cm11aController c;
    c.setComPort(0);
    QCOMPARE(c.Init(), Cm11aController::InitNoSuchPort);
    QCOMPARE(c.lastErrorText(), "COM 0 names no port: port numbers start at 1");
  }

  // A port file names a network port; Init's reason names HOST:PORT and what to check. The
  // silent server takes the connection (the kernel does, for a listener that never accepts)
  // and answers nothing; it listens on IPv4 or IPv6 loopback as the address asks.
  void networkPortFailuresSayWhatToCheck_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("family");
    QTest::newRow("not an address")
        << "tcp://pi" << int(Cm11aController::InitNoSuchPort)
        << "com6 is not a link to a device, nor a network port: no port number after the host "
           "(HOST:PORT); write tcp://HOST:PORT or rfc2217://HOST:PORT on its first line (see man "
           "x10console)"
        << AF_INET;
    QTest::newRow("name not found")
        << "tcp://no-such-host.invalid:2001" << int(Cm11aController::InitNoSuchPort)
        << "no-such-host.invalid:2001: the host name no-such-host.invalid was not found" << AF_INET;
    QTest::newRow("refused") << "rfc2217://127.0.0.1:1" << int(Cm11aController::InitOpenFailed)
                             << "127.0.0.1:1 refused the connection: is ser2net running there and "
                                "is the port free?"
                             << AF_INET;
    QTest::newRow("silent server") << "tcp://127.0.0.1:%1" << int(Cm11aController::InitNoAnswer)
                                   << "127.0.0.1:%1: no answer to the status request" << AF_INET;
    QTest::newRow("IPv6, refused") << "tcp://[::1]:1" << int(Cm11aController::InitOpenFailed)
                                   << "[::1]:1 refused the connection" << AF_INET6;
    QTest::newRow("IPv6, silent server")
        << "rfc2217://[::1]:%1" << int(Cm11aController::InitNoAnswer)
        << "[::1]:%1: no answer to the status request" << AF_INET6;
  }
  void networkPortFailuresSayWhatToCheck() {
    QFETCH(QString, line);
    QFETCH(int, code);
    QFETCH(QString, reason);
    QFETCH(int, family);
    int port = 0;
    const int listener = silentLoopbackListener(family, port);
    QVERIFY2(listener >= 0, "no loopback listener of that family");
    writeComFile(6, line.arg(port));
    Cm11aController c;
    c.setComPort(6);
    const int result = c.Init();
    ::close(listener);
    std::filesystem::remove(x10::comPortLinkPath(6));
    QCOMPARE(result, code);
    QVERIFY2(c.lastErrorText().contains(reason.arg(port)), qPrintable(c.lastErrorText()));
  }

  // A host name with only an IPv6 address, given by a hosts file of the probe's own (a private
  // mount namespace, which needs root), reaches the IPv6 server.
  void aNameWithOnlyAnIpv6AddressIsReached() {
    if (::geteuid() != 0 || QStandardPaths::findExecutable("unshare").isEmpty())
      QSKIP("needs root and unshare (util-linux) for a hosts file of the probe's own");
    int port = 0;
    const int listener = silentLoopbackListener(AF_INET6, port);
    QVERIFY(listener >= 0);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QFile hosts(home.filePath("hosts"));
    QVERIFY(hosts.open(QIODevice::WriteOnly));
    hosts.write("::1 cupboard.test\n");
    hosts.close();
    writeComFile(6, QStringLiteral("tcp://cupboard.test:%1").arg(port));
    QProcess probe;
    startCommand(probe,
                 QStringList{"unshare", "--mount", "sh", "-c",
                             "mount --bind \"$0\" /etc/hosts && exec \"$@\"", hosts.fileName()} +
                     builtProgramCommand(X10_INIT_PROBE, {"6"}));
    QVERIFY(probe.waitForFinished(10000));
    ::close(listener);
    std::filesystem::remove(x10::comPortLinkPath(6));
    const QString output = QString::fromLocal8Bit(probe.readAllStandardOutput());
    QVERIFY2(output.startsWith(QString::number(Cm11aController::InitNoAnswer) +
                               QStringLiteral("\ncupboard.test:%1: no answer to the status "
                                              "request")
                                   .arg(port)),
             qPrintable(output + QString::fromLocal8Bit(probe.readAllStandardError())));
  }

  // Init moves between a network port and a serial one on the same driver, each way.
  void initMovesBetweenNetworkAndSerialPorts() {
    PtyPeer peer({kProbe, kProbe});
    linkCom1(peer);
    writeComFile(6, "tcp://127.0.0.1:1");
    Cm11aController c;
    const auto initOn = [&c](qint16 port) {
      c.setComPort(port);
      return c.Init();
    };
    QCOMPARE(initOn(6), Cm11aController::InitOpenFailed);
    QVERIFY2(c.lastErrorText().startsWith("127.0.0.1:1 refused the connection"),
             qPrintable(c.lastErrorText()));
    QCOMPARE(initOn(1), Cm11aController::InitOk);
    QCOMPARE(initOn(6), Cm11aController::InitOpenFailed);
    QVERIFY2(c.lastErrorText().startsWith("127.0.0.1:1 refused the connection"),
             qPrintable(c.lastErrorText()));
    QCOMPARE(initOn(1), Cm11aController::InitOk);
    std::filesystem::remove(x10::comPortLinkPath(6));
  }

  // The pause before each retry. A network port's grows 1, 2, 4 ... 30 s over losses and
  // failed attempts alike until the interface answers on it again (confirmed) or Init opens
  // it afresh; a device is looked for every half second, never less often. Steps: r a loss
  // (reconnect), a an attempt that fails, c confirmed, o opened by Init; 0 after c and o.
  void reconnectPauses_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QList<int>>("pauses");
    const QString refused = "tcp://127.0.0.1:1";
    const QString gone = "/dev/x10-no-such-device";
    QTest::newRow("network, losses in a row")
        << refused << "rrrrrrr" << QList<int>{1000, 2000, 4000, 8000, 16000, 30000, 30000};
    QTest::newRow("network, a refused attempt") << refused << "ra" << QList<int>{1000, 2000};
    QTest::newRow("network, confirmed") << refused << "rrcr" << QList<int>{1000, 2000, 0, 1000};
    QTest::newRow("network, Init") << refused << "rror" << QList<int>{1000, 2000, 0, 1000};
    QTest::newRow("device, losses") << gone << "rrrr" << QList<int>{500, 500, 500, 500};
    QTest::newRow("device, not back") << gone << "raa" << QList<int>{500, 500, 500};
  }
  void reconnectPauses() {
    QFETCH(QString, address);
    QFETCH(QString, steps);
    QFETCH(QList<int>, pauses);
    LinkKeeper keeper;
    QVERIFY(!keeper.open(address));
    QList<int> seen;
    for (const QChar step : steps) {
      if (step == 'r')
        keeper.reconnect();
      else if (step == 'c')
        keeper.confirmed();
      else if (step == 'o')
        QVERIFY(!keeper.open(address));
      else
        QTest::qWait(keeper.pauseMs() + 300);
      seen << keeper.pauseMs();
    }
    QCOMPARE(seen, pauses);
  }

  // A server that takes each connection and closes it at once (an ssh tunnel to a stopped
  // ser2net) is tried again after a growing pause, as one that refuses, not every second. The
  // first connection answers Init's status request, then the server goes.
  void aServerThatClosesAtOnceIsRetriedEverLater() {
    int port = 0;
    const int listener = silentLoopbackListener(AF_INET, port, 8);
    QVERIFY(listener >= 0);
    writeComFile(6, QStringLiteral("tcp://127.0.0.1:%1").arg(port));
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> accepted;
    std::thread server([&] {
      pollfd ready{listener, POLLIN, 0};
      const int first = ::poll(&ready, 1, 10000) == 1 ? ::accept(listener, nullptr, nullptr) : -1;
      std::uint8_t request = 0;
      if (first >= 0 && ::recv(first, &request, 1, 0) == 1)
        ::send(first, kStatus.data(), kStatus.size(), MSG_NOSIGNAL);
      ::usleep(200000);
      ::close(first);
      while (clock.elapsed() < 9000) {
        if (::poll(&ready, 1, 100) == 1) {
          accepted.push_back(clock.elapsed());
          ::close(::accept(listener, nullptr, nullptr));
        }
      }
    });
    Cm11aController c;
    c.setComPort(6);
    const qint16 result = c.Init();
    QTest::qWait(9200 - int(clock.elapsed()));
    server.join();
    ::close(listener);
    std::filesystem::remove(x10::comPortLinkPath(6));
    QCOMPARE(result, Cm11aController::InitOk);
    // Pauses of 1, 2 and 4 s: attempts about 1.2, 3.2 and 7.2 s in.
    QCOMPARE(accepted.size(), std::size_t(3));
    QVERIFY2(accepted[1] - accepted[0] > 1700 && accepted[1] - accepted[0] < 2600,
             qPrintable(QString::number(accepted[1] - accepted[0])));
    QVERIFY2(accepted[2] - accepted[1] > 3700 && accepted[2] - accepted[1] < 4600,
             qPrintable(QString::number(accepted[2] - accepted[1])));
  }

  // After the interface answered on a re-taken link the next loss starts again from the
  // first pause; a loss soon after Init is never taken for another client's take-over (only
  // a link the driver re-took can be), and a take-over noticed inside a call ends the call
  // with what happened. Each connection's status request is answered, then the server:
  // 1 closes it, 2 floods it (a loss the server did not cause), 3 leaves it to Init,
  // 4 closes Init's soon, 5 resets the re-taken one while a GetEvent waits (a reset is the
  // server's close too), 6 serves the Init that takes the port back.
  void lossesAfterARestoreOrAnInit() {
    int port = 0;
    const int listener = silentLoopbackListener(AF_INET, port, 8);
    QVERIFY(listener >= 0);
    writeComFile(6, QStringLiteral("tcp://127.0.0.1:%1").arg(port));
    enum class Then { Close, Reset, Flood, Stay };
    const std::vector<std::pair<Then, int>> script{{Then::Close, 200},  {Then::Flood, 300},
                                                   {Then::Stay, 0},     {Then::Close, 200},
                                                   {Then::Reset, 1500}, {Then::Stay, 0}};
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> acceptedAt;
    qint64 floodedAt = 0;
    std::vector<int> kept;
    std::jthread server([&] {
      for (const auto &[then, afterMs] : script) {
        pollfd ready{listener, POLLIN, 0};
        if (::poll(&ready, 1, 10000) != 1)
          return;
        const int fd = ::accept(listener, nullptr, nullptr);
        acceptedAt.push_back(clock.elapsed());
        std::uint8_t request = 0;
        if (::recv(fd, &request, 1, 0) == 1)
          ::send(fd, kStatus.data(), kStatus.size(), MSG_NOSIGNAL);
        ::usleep(static_cast<useconds_t>(afterMs) * 1000);
        if (then == Then::Reset) {
          const linger abort{1, 0};
          ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        }
        if (then == Then::Close || then == Then::Reset) {
          ::close(fd);
          continue;
        }
        if (then == Then::Flood) {
          floodedAt = clock.elapsed();
          const Bytes flood(4000, 0x11);
          ::send(fd, flood.data(), flood.size(), MSG_NOSIGNAL);
        }
        kept.push_back(fd);
      }
    });
    Cm11aController c;
    c.setComPort(6);
    QSignalSpy status(&c, &controlcm::linkStatusChanged);
    const auto said = [&status](int i) { return status.at(i).at(0).toString(); };
    QCOMPARE(c.Init(), Cm11aController::InitOk);
    QTRY_COMPARE_WITH_TIMEOUT(status.count(), 4, 8000); // lost, restored, flooded, restored
    QVERIFY2(said(2).contains("is not a CM11A"), qPrintable(said(2)));
    QCOMPARE(c.Init(), Cm11aController::InitOk);
    QTRY_COMPARE_WITH_TIMEOUT(status.count(), 6, 8000);
    QVERIFY2(said(4).startsWith("Link lost at ") && said(4).endsWith("; reconnecting"),
             qPrintable(said(4)));
    QVERIFY2(said(5).startsWith("Link restored at "), qPrintable(said(5)));
    QString ended;
    try {
      qint32 timeoutMs = 4000;
      c.GetEvent(timeoutMs);
    } catch (const DeviceError &e) {
      ended = QString::fromUtf8(e.what());
    }
    QCOMPARE(c.Init(), Cm11aController::InitOk);
    qint32 shortWaitMs = 100;
    QVERIFY_THROWS_NO_EXCEPTION(c.GetEvent(shortWaitMs)); // the port is no longer left
    server.join();
    for (const int fd : kept)
      ::close(fd);
    ::close(listener);
    std::filesystem::remove(x10::comPortLinkPath(6));
    QVERIFY2(ended.startsWith("Link taken by another client of the server at "), qPrintable(ended));
    const qint64 pause = acceptedAt.at(2) - floodedAt;
    QVERIFY2(pause > 700 && pause < 1700, qPrintable(QString::number(pause)));
  }

  // A retry waits half a second for its connection, as it blocks the window; an Init after one
  // gets the full 3 s again. The server's queue is full, so the connection is never taken.
  void initAfterARetryGetsTheFullConnectTime() {
    int port = 0;
    const int listener = silentLoopbackListener(AF_INET, port, 0);
    QVERIFY(listener >= 0);
    const QString address = QStringLiteral("tcp://127.0.0.1:%1").arg(port);
    const int queued = connectTo(port); // fills the queue of length 0
    LinkKeeper keeper;
    QVERIFY(!keeper.open("tcp://127.0.0.1:1")); // a network link, refused
    keeper.reconnect();                         // lost: retries get 0.5 s
    QElapsedTimer timer;
    timer.start();
    const Link::OpenResult opened = keeper.open(address);
    const qint64 took = timer.elapsed();
    ::close(queued);
    ::close(listener);
    QVERIFY(!opened);
    QVERIFY2(opened.error().text.contains(
                 QStringLiteral("no answer from 127.0.0.1:%1 within 3000 ms").arg(port)),
             qPrintable(opened.error().text));
    QVERIFY2(took >= 2900 && took < 4000, qPrintable(QString::number(took)));
  }

  // While the driver holds the device, a plain open that ignores flock and lock files is
  // refused (the terminal's exclusive mode); once it lets go the same open works. Root passes
  // exclusive mode, so as root the open runs as nobody.
  void aHeldDeviceRefusesAPlainOpen() {
    PtyPeer peer({kProbe});
    linkCom1(peer);
    QVERIFY(::chmod(peer.slavePath().toLocal8Bit().constData(), 0666) == 0);
    std::optional<Cm11aController> c(std::in_place);
    QCOMPARE(c->Init(), Cm11aController::InitOk);
    QCOMPARE(plainOpen(peer.slavePath()), EBUSY);
    c.reset();
    QCOMPARE(plainOpen(peer.slavePath()), 0);
  }

  void callsBeforeInitAndBadArgumentsAreUsageErrors() {
    PtyPeer peer({kProbe});
    linkCom1(peer);
    Cm11aController c;
    qint16 on = 2;
    QVERIFY_THROWS_EXCEPTION(UsageError, c.SendExec("A", "1", on, 0, 0, 0));
    qint32 timeout = 10;
    QVERIFY_THROWS_EXCEPTION(UsageError, c.GetEvent(timeout));
    QCOMPARE(c.ClearInterface(), Cm11aController::ClearNotOpen);
    QCOMPARE(c.Init(), Cm11aController::InitOk);
    qint16 bad = 16;
    QVERIFY_THROWS_EXCEPTION(UsageError, c.SendExec("A", "1", bad, 0, 0, 0));
    QVERIFY_THROWS_EXCEPTION(UsageError, c.SendExec("A", "1,17", on, 0, 0, 0));
    QTest::qWait(50);
    QCOMPARE(peer.received(), Bytes{0x8B}); // nothing half sent
  }

  // A hang-up inside a call fails it at once; the next call fails at once too while the link
  // is being re-taken, and the window hears of the loss.
  void vanishingDuringACallFailsItAndTheNextAtOnce() {
    PtyPeer peer({kProbe, {{0x04, 0x66}, {}, true}});
    linkCom1(peer);
    Cm11aController c;
    QCOMPARE(c.Init(), Cm11aController::InitOk);
    QSignalSpy status(&c, &controlcm::linkStatusChanged);
    QElapsedTimer timer;
    timer.start();
    QVERIFY_THROWS_EXCEPTION(DeviceError, sendA1On(c));
    unplugCom1();
    try {
      sendA1On(c);
      QFAIL("sent on a vanished port");
    } catch (const DeviceError &e) {
      QVERIFY2(QString::fromUtf8(e.what()).contains("was lost (the device hung up)"), e.what());
      QVERIFY2(QString::fromUtf8(e.what()).contains("reconnecting goes on"), e.what());
    }
    QVERIFY(timer.elapsed() < 1500);
    QCOMPARE(status.count(), 1);
    QVERIFY2(QRegularExpression("^Link lost at \\d\\d:\\d\\d:\\d\\d: .*com1 was lost \\(the "
                                "device hung up\\).*; reconnecting$")
                 .match(status.at(0).at(0).toString())
                 .hasMatch(),
             qPrintable(status.at(0).at(0).toString()));
  }

  // Lost while idle, noticed with no call; once a device is back under the link the interface
  // is taken up again and its traffic reaches the events, still with no call.
  void vanishingWhileIdleIsNoticedAndTheLinkIsRetaken() {
    std::optional<PtyPeer> peer;
    peer.emplace(std::vector<PtyPeer::Step>{kProbe, {{0xC3}, {}, true}});
    linkCom1(*peer);
    Cm11aController c;
    QCOMPARE(c.Init(), Cm11aController::InitOk);
    QSignalSpy status(&c, &controlcm::linkStatusChanged);
    QSignalSpy events(&c, &controlcm::X10Event);
    peer->inject({0x5A}); // the peer hangs up on the poll answer
    QTRY_COMPARE(status.count(), 1);
    QVERIFY(status.at(0).at(0).toString().startsWith("Link lost at "));
    unplugCom1();
    peer.reset();
    PtyPeer back({kProbe, {{0xC3}, {0x03, 0x02, 0x66, 0x62}}});
    linkCom1(back);
    QTRY_COMPARE(status.count(), 2);
    QVERIFY2(QRegularExpression("^Link restored at \\d\\d:\\d\\d:\\d\\d$")
                 .match(status.at(1).at(0).toString())
                 .hasMatch(),
             qPrintable(status.at(1).at(0).toString()));
    back.inject({0x5A});
    QTRY_COMPARE(events.count(), 1);
    QCOMPARE(events.at(0), (QVariantList{"1", "A", 2, "0", "0"}));
  }
};

QTEST_GUILESS_MAIN(TestCm11aController)
#include "test_cm11acontroller.moc"
