// SPDX-License-Identifier: MIT
#pragma once
// The serial port under the driver: locks the device the path leads to (DeviceLock) and opens
// it at 4800 8N1 without flow control, moves bytes
// (logged at debug with direction and time since opening), waits for bytes without an event
// loop, and notices when the device vanishes. Knows nothing of the protocol.

#include "controller/devicelock.h"
#include "controller/link.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class SerialLink : public Link {
  Q_OBJECT
public:
  explicit SerialLink(QObject *parent = nullptr);

  OpenResult open(const QString &path) override;
  void close() override;
  bool isOpen() const override { return port_.isOpen(); }
  QString path() const override { return path_; }
  // The path as given, and the device it leads to when that differs: for messages.
  QString description() const override;
  // The device vanished. The port is closed right after the current call or event returns
  // (closing it inside its own error report is unsafe), or by close().
  bool isLost() const override { return !lostReason_.isEmpty(); }
  QString lostReason() const override { return lostReason_; }

  void write(const std::vector<std::uint8_t> &bytes) override;
  std::vector<std::uint8_t> readAvailable() override;
  // Blocks up to ms for bytes; readyRead (and so bytesArrived) fires inside. False on
  // time-out or loss.
  bool waitForBytes(int ms) override;

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
