// SPDX-License-Identifier: MIT
#pragma once
// The serial port under the driver: locks the device the path leads to (DeviceLock) and opens
// it at 4800 8N1 without flow control, moves bytes
// (logged at debug with direction and time since opening), waits for bytes without an event
// loop, and notices when the device vanishes. Knows nothing of the protocol.

#include "controller/devicelock.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class SerialLink : public QObject {
  Q_OBJECT
public:
  enum class OpenError { None, NoSuchDevice, PermissionDenied, InUse, Other };
  struct OpenResult {
    OpenError error = OpenError::None;
    QString text; // what went wrong and what the user can do about it
  };

  explicit SerialLink(QObject *parent = nullptr);

  OpenResult open(const QString &path);
  void close();
  bool isOpen() const { return port_.isOpen(); }
  QString path() const { return path_; }
  // The path as given, and the device it leads to when that differs: for messages.
  QString description() const;
  // The device vanished. The port is closed right after the current call or event returns
  // (closing it inside its own error report is unsafe), or by close().
  bool isLost() const { return !lostReason_.isEmpty(); }
  QString lostReason() const { return lostReason_; }

  void write(const std::vector<std::uint8_t> &bytes);
  std::vector<std::uint8_t> readAvailable();
  // Blocks up to ms for bytes; readyRead (and so bytesArrived) fires inside. False on
  // time-out or loss.
  bool waitForBytes(int ms);

signals:
  void bytesArrived();
  void lost(const QString &reason);

private:
  void onError(QSerialPort::SerialPortError error);
  short pollPort(int ms) const;
  void markLost(const QString &why);
  void closeLost();
  void configure();
  void logBytes(const char *direction, const std::vector<std::uint8_t> &bytes) const;
  OpenResult openFailure(QSerialPort::SerialPortError error) const;

  QSerialPort port_;
  QString path_;
  QString device_; // path_ with its links resolved
  std::optional<DeviceLock> lock_;
  QString lostReason_;
  QElapsedTimer sinceOpen_;
};
