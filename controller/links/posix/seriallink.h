// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The serial port under the driver: opens the device the path leads to itself (no serial
// library, whose own lock files would outlive a crash), holds it (DeviceLock) and sets it to
// 4800 8N1, raw, without flow control; moves bytes (logged at debug with direction and time
// since opening), waits for bytes without an event loop, and notices when the device
// vanishes. Knows nothing of the protocol.

#include "controller/links/link.h"
#include "controller/links/posix/devicelock.h"

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class SerialLink : public Link {
  Q_OBJECT
public:
  explicit SerialLink(QObject *parent = nullptr);
  ~SerialLink() override;

  OpenResult open(const QString &path) override;
  void close() override;
  bool isOpen() const override { return fd_ >= 0; }
  QString path() const override { return path_; }
  // The path as given, and the device it leads to when that differs: for messages.
  QString description() const override;
  // Once the device's node is there again.
  bool mayBeBack() const override;

  void write(const std::vector<std::uint8_t> &bytes) override;
  std::vector<std::uint8_t> readAvailable() override;
  // Blocks up to ms for bytes; bytesArrived fires inside when they come. False on time-out,
  // on loss, and at once when waits are interrupted (controller/waitinterrupt.h).
  bool waitForBytes(int ms) override;

protected:
  void stopWatching() override;

private:
  OpenResult openFailure(int error) const;
  void configure();
  void markLost(const QString &why);
  void logBytes(const char *direction, const std::vector<std::uint8_t> &bytes) const;

  int fd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  QString path_;
  QString device_; // path_ with its links resolved
  std::optional<DeviceLock> lock_;
  QElapsedTimer sinceOpen_;
};
