// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/posix/seriallink.h"

#include "controller/links/cm11alog.h"
#include "controller/links/posix/deviceaccess.h"
#include "controller/links/posix/interruptiblepoll.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <utility>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// How long a write may wait for room in the device's buffer before the device counts as gone.
constexpr int kWriteWaitMs = 1000;

QString failureText(int error) {
  if (error == EIO)
    return QStringLiteral("the device hung up");
  return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

SerialLink::SerialLink(QObject *parent) : Link(parent) {}

SerialLink::~SerialLink() { close(); }

SerialLink::OpenResult SerialLink::open(const QString &path) {
  close();
  path_ = path;
  forgetLoss();
  std::error_code ec;
  const std::filesystem::path device = std::filesystem::canonical(path.toStdString(), ec);
  if (ec == std::errc::too_many_symbolic_link_levels)
    return x10::Unexpected(OpenFailure{
        OpenError::Other, QStringLiteral("%1 is a loop of links that never reaches a device (one "
                                         "leads back to another): point it at the device itself")
                              .arg(path)});
  if (ec)
    return x10::Unexpected(
        OpenFailure{OpenError::NoSuchDevice, QStringLiteral("no such device %1").arg(path)});
  device_ = QString::fromStdString(device.string());
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return openFailure(errno);
  if (!::isatty(fd)) { // /dev/zero, a plain file: no line to set, and no interface behind it
    ::close(fd);
    return x10::Unexpected(OpenFailure{
        OpenError::Other,
        QStringLiteral("%1 is not a serial port (a terminal device): link the port to the "
                       "interface's serial adapter")
            .arg(description())});
  }
  auto held = DeviceLock::acquire(fd, device);
  if (!held) {
    ::close(fd);
    return x10::Unexpected(
        OpenFailure{held.error().inUse ? OpenError::InUse : OpenError::Other,
                    description() + ' ' + QString::fromStdString(held.error().text)});
  }
  fd_ = fd;
  lock_.emplace(std::move(held).value());
  configure();
  ::tcflush(fd_, TCIOFLUSH);
  notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &SerialLink::bytesArrived);
  sinceOpen_.start();
  startGuard();
  qCInfo(lcCm11a).noquote() << "opened" << description();
  return {};
}

bool SerialLink::mayBeBack() const {
  std::error_code ec;
  return std::filesystem::exists(path_.toStdString(), ec);
}

QString SerialLink::description() const {
  return device_ == path_ ? path_ : QStringLiteral("%1 (a link to %2)").arg(path_, device_);
}

SerialLink::OpenResult SerialLink::openFailure(int error) const {
  switch (error) {
  case ENOENT:
  case ENODEV:
  case ENXIO:
    return x10::Unexpected(OpenFailure{OpenError::NoSuchDevice,
                                       QStringLiteral("no such device %1").arg(description())});
  case EACCES:
  case EPERM:
    return x10::Unexpected(OpenFailure{
        OpenError::PermissionDenied,
        QStringLiteral("permission denied on %1: %2")
            .arg(description(), QString::fromStdString(accessAdvice(device_.toStdString())))});
  case EBUSY: // in exclusive mode
    return x10::Unexpected(
        OpenFailure{OpenError::InUse,
                    description() + ' ' +
                        QString::fromStdString(DeviceLock::inUse(device_.toStdString()).text)});
  default:
    return x10::Unexpected(
        OpenFailure{OpenError::Other,
                    QStringLiteral("cannot open %1: %2").arg(description(), failureText(error))});
  }
}

// 4800 baud, 8 data bits, no parity, 1 stop bit, raw, no flow control. A pseudo-terminal or
// an odd adapter may refuse some settings; the line still works, so a refusal is only logged.
// Modem lines are not used: a pseudo-terminal has none.
void SerialLink::configure() {
  termios settings{};
  bool ok = ::tcgetattr(fd_, &settings) == 0;
  if (ok) {
    ::cfmakeraw(&settings);
    settings.c_iflag &= ~static_cast<tcflag_t>(IXOFF | IXANY);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | CRTSCTS);
    settings.c_cflag |= CLOCAL | CREAD;
    ok = ::cfsetspeed(&settings, B4800) == 0 && ::tcsetattr(fd_, TCSANOW, &settings) == 0;
  }
  if (!ok)
    qCDebug(lcCm11a).noquote() << "port settings not all accepted on" << path_ << ":"
                               << failureText(errno);
}

// Ends exclusive mode and removes the lock file before the descriptor, and with it the
// kernel's lock, goes.
void SerialLink::close() {
  lock_.reset();
  notifier_.reset();
  if (fd_ >= 0)
    ::close(std::exchange(fd_, -1));
}

void SerialLink::write(const std::vector<std::uint8_t> &bytes) {
  if (bytes.empty() || !isOpen() || isLost())
    return;
  logBytes("->", bytes);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0 && errno != EAGAIN)
      return markLost(failureText(errno));
    const short events = x10::pollUnlessInterrupted(fd_, POLLOUT, kWriteWaitMs);
    if (x10::waitsInterrupted())
      return; // the program is closing: the call ends as on a time-out
    if (!(events & POLLOUT) || (events & (POLLHUP | POLLERR | POLLNVAL)))
      return markLost(QStringLiteral("the device takes no more bytes"));
  }
}

// One pass: what the device holds, up to kReadPass bytes, then the loss when reading failed.
// Bytes that came with a hang-up are handed on before it is reported.
std::vector<std::uint8_t> SerialLink::readAvailable() {
  if (!isOpen() || isLost())
    return {};
  std::uint8_t buffer[kReadPass];
  ssize_t n = ::read(fd_, buffer, sizeof buffer);
  while (n < 0 && errno == EINTR && !x10::waitsInterrupted())
    n = ::read(fd_, buffer, sizeof buffer);
  if (n == 0) // a terminal hung up reads as end of file
    markLost(failureText(EIO));
  else if (n < 0 && errno != EAGAIN && errno != EINTR)
    markLost(failureText(errno));
  if (n <= 0)
    return {};
  std::vector<std::uint8_t> bytes = screen(std::span(buffer, static_cast<std::size_t>(n)));
  if (!bytes.empty())
    logBytes("<-", bytes);
  return bytes;
}

bool SerialLink::waitForBytes(int ms) {
  if (!isOpen() || isLost())
    return false;
  const short events = x10::pollUnlessInterrupted(fd_, POLLIN, ms);
  const bool arrived = events & POLLIN;
  if (arrived)
    emit bytesArrived();
  if (events & (POLLHUP | POLLERR | POLLNVAL))
    markLost(failureText(EIO));
  return arrived;
}

void SerialLink::stopWatching() {
  if (notifier_)
    notifier_->setEnabled(false);
}

void SerialLink::markLost(const QString &why) { reportDeviceLost(path_, why); }

void SerialLink::logBytes(const char *direction, const std::vector<std::uint8_t> &bytes) const {
  logTraffic(sinceOpen_, direction, bytes);
}
