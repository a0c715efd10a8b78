// SPDX-License-Identifier: MIT
#include "controller/seriallink.h"

#include "controller/cm11alog.h"
#include "controller/deviceaccess.h"

#include <QFile>

#include <filesystem>

#include <cerrno>
#include <poll.h>
#include <unistd.h>

SerialLink::SerialLink(QObject *parent) : Link(parent) {
  connect(&port_, &QSerialPort::readyRead, this, &SerialLink::bytesArrived);
  connect(&port_, &QSerialPort::errorOccurred, this, &SerialLink::onError);
}

SerialLink::OpenResult SerialLink::open(const QString &path) {
  close();
  path_ = path;
  lostReason_.clear();
  std::error_code ec;
  const std::filesystem::path device = std::filesystem::canonical(path.toStdString(), ec);
  if (ec)
    return {OpenError::NoSuchDevice, QStringLiteral("no such device %1").arg(path)};
  device_ = QString::fromStdString(device.string());
  auto locked = DeviceLock::acquire(device);
  if (const auto *refusal = std::get_if<DeviceLock::Refusal>(&locked))
    return {refusal->inUse ? OpenError::InUse : OpenError::Other,
            description() + ' ' + QString::fromStdString(refusal->text)};
  lock_.emplace(std::move(std::get<DeviceLock>(locked)));
  // The port takes a lock file of its own, named after the path it is given less a leading
  // /dev/, and would take the lock above for a stale one of its own. Spelled from the root,
  // the path names the same device and keeps the port's file (LCK..__dev_ttyUSB0) apart.
  port_.setPortName('/' + device_);
  if (!port_.open(QIODevice::ReadWrite)) {
    lock_.reset();
    return openFailure(port_.error());
  }
  configure();
  port_.clear();
  sinceOpen_.start();
  qCInfo(lcCm11a).noquote() << "opened" << description();
  return {};
}

QString SerialLink::description() const {
  return device_ == path_ ? path_ : QStringLiteral("%1 (a link to %2)").arg(path_, device_);
}

// A pseudo-terminal or an odd adapter may refuse some settings; the line still works, so a
// refusal is only logged. Modem lines are not used: a pseudo-terminal has none.
void SerialLink::configure() {
  const bool ok = port_.setBaudRate(QSerialPort::Baud4800) &&
                  port_.setDataBits(QSerialPort::Data8) && port_.setParity(QSerialPort::NoParity) &&
                  port_.setStopBits(QSerialPort::OneStop) &&
                  port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!ok)
    qCDebug(lcCm11a).noquote() << "port settings not all accepted on" << path_ << ":"
                               << port_.errorString();
}

SerialLink::OpenResult SerialLink::openFailure(QSerialPort::SerialPortError error) const {
  const QByteArray native = QFile::encodeName(device_);
  if (error == QSerialPort::DeviceNotFoundError)
    return {OpenError::NoSuchDevice, QStringLiteral("no such device %1").arg(description())};
  if (error == QSerialPort::PermissionError && ::access(native.constData(), R_OK | W_OK) != 0 &&
      errno == EACCES)
    return {OpenError::PermissionDenied,
            QStringLiteral("permission denied on %1: %2")
                .arg(description(), QString::fromStdString(accessAdvice(device_.toStdString())))};
  if (error == QSerialPort::PermissionError)
    return {OpenError::InUse,
            QStringLiteral("%1 is in use by another program: close it and try again")
                .arg(description())};
  return {OpenError::Other,
          QStringLiteral("cannot open %1: %2").arg(description(), port_.errorString())};
}

void SerialLink::close() {
  if (port_.isOpen())
    port_.close();
  lock_.reset();
}

void SerialLink::write(const std::vector<std::uint8_t> &bytes) {
  if (bytes.empty() || !port_.isOpen() || isLost())
    return;
  logBytes("->", bytes);
  port_.write(reinterpret_cast<const char *>(bytes.data()), static_cast<qint64>(bytes.size()));
  port_.flush();
}

std::vector<std::uint8_t> SerialLink::readAvailable() {
  const QByteArray data = port_.readAll();
  std::vector<std::uint8_t> bytes(data.begin(), data.end());
  if (!bytes.empty())
    logBytes("<-", bytes);
  else if (port_.isOpen() && (pollPort(0) & (POLLHUP | POLLERR | POLLNVAL)))
    markLost(QStringLiteral("the device hung up")); // readable, yet nothing to read
  return bytes;
}

// Polls the descriptor itself: the port's own wait does not notice a hang-up (a closed
// pseudo-terminal, an unplugged adapter) and would spin until its time-out.
short SerialLink::pollPort(int ms) const {
  pollfd p{static_cast<int>(port_.handle()), POLLIN, 0};
  int ready = 0;
  do
    ready = ::poll(&p, 1, ms);
  while (ready < 0 && errno == EINTR);
  return ready > 0 ? p.revents : 0;
}

bool SerialLink::waitForBytes(int ms) {
  if (!port_.isOpen() || isLost())
    return false;
  if (port_.bytesToWrite() > 0)
    port_.waitForBytesWritten(ms);
  const short events = pollPort(ms);
  // Read what came with a hang-up before reporting it: readyRead fires inside.
  const bool arrived = (events & POLLIN) && port_.waitForReadyRead(0);
  if (events & (POLLHUP | POLLERR | POLLNVAL))
    markLost(QStringLiteral("the device hung up"));
  return arrived;
}

// A resource error is the device going away. A hung-up pseudo-terminal reads as end of
// file, which the port reports as a mere read error: the descriptor tells them apart.
void SerialLink::onError(QSerialPort::SerialPortError error) {
  if (!port_.isOpen())
    return;
  if (error == QSerialPort::ResourceError)
    markLost(port_.errorString());
  else if ((error == QSerialPort::ReadError || error == QSerialPort::WriteError) &&
           (pollPort(0) & (POLLHUP | POLLERR | POLLNVAL)))
    markLost(QStringLiteral("the device hung up"));
}

void SerialLink::markLost(const QString &why) {
  if (isLost())
    return;
  lostReason_ =
      QStringLiteral("%1 was lost (%2): is the interface still plugged in?").arg(path_, why);
  qCWarning(lcCm11a).noquote() << lostReason_;
  QMetaObject::invokeMethod(this, &SerialLink::closeLost, Qt::QueuedConnection);
}

void SerialLink::closeLost() {
  if (!port_.isOpen())
    return;
  close();
  emit lost(lostReason_);
}

void SerialLink::logBytes(const char *direction, const std::vector<std::uint8_t> &bytes) const {
  logTraffic(sinceOpen_, direction, bytes);
}
