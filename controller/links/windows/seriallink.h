// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The serial port under the driver on Windows: opens \\.\COMn itself through the Win32 API
// (Windows lets one program at a time open a COM port, so nothing else needs holding), sets it
// to 4800 8N1 without flow control, and keeps one overlapped read outstanding while open: its
// event, watched by a QWinEventNotifier while idle, announces bytes (bytesArrived), and
// waitForBytes waits on it beside the wait interrupt without an event loop. A read or write
// that fails (the adapter unplugged) is the link lost. Knows nothing of the protocol.

#include "controller/links/link.h"

#include <QElapsedTimer>
#include <QString>
#include <QWinEventNotifier>

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class SerialLink : public Link {
  Q_OBJECT
public:
  explicit SerialLink(QObject *parent = nullptr);
  ~SerialLink() override;

  OpenResult open(const QString &path) override;
  void close() override;
  bool isOpen() const override { return port_ != INVALID_HANDLE_VALUE; }
  QString path() const override { return path_; }
  // The port's name (COM3) without the device prefix, for messages.
  QString description() const override;

  void write(const std::vector<std::uint8_t> &bytes) override;
  std::vector<std::uint8_t> readAvailable() override;
  // Blocks up to ms for bytes; bytesArrived fires inside when they come. False on time-out,
  // on loss, and at once when waits are interrupted (controller/links/waitinterrupt.h).
  bool waitForBytes(int ms) override;

protected:
  void stopWatching() override;

private:
  OpenResult openFailure(DWORD error) const;
  bool configure();
  void startRead();
  void collectRead();
  void onReadEvent();
  void cancel(OVERLAPPED &io);
  void markLost(const QString &why);

  HANDLE port_ = INVALID_HANDLE_VALUE;
  HANDLE readEvent_ = nullptr;  // manual reset, set when the outstanding read completes
  HANDLE writeEvent_ = nullptr; // manual reset, set when a write completes
  OVERLAPPED read_{};
  bool reading_ = false;     // a read is outstanding in read_
  std::size_t received_ = 0; // bytes of a completed read in buffer_, not yet handed on
  std::array<std::uint8_t, kReadPass> buffer_{};
  std::unique_ptr<QWinEventNotifier> notifier_;
  QString path_;
  QElapsedTimer sinceOpen_;
};
