// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The line to the interface as the driver sees it, whatever carries it (a serial device, a
// TCP connection to a serial port server): open it by its address, move bytes, wait for bytes
// without an event loop, and hear when it is lost. Idle bytes announce themselves through
// bytesArrived, like a serial port's readyRead. Knows nothing of the protocol.

#include "controller/protocol/lineguard.h"
#include "vocabulary/result.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <cstdint>
#include <span>
#include <vector>

class Link : public QObject {
  Q_OBJECT
public:
  // NoAnswer: a network server that never took the connection.
  enum class OpenError { NoSuchDevice, PermissionDenied, InUse, NoAnswer, Other };
  struct OpenFailure {
    OpenError error = OpenError::Other;
    QString text; // what went wrong and what the user can do about it
  };
  using OpenResult = x10::Result<void, OpenFailure>;

  using QObject::QObject;

  virtual OpenResult open(const QString &address) = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  // The address as given to open.
  virtual QString path() const = 0;
  // The address with what it leads to, for messages.
  virtual QString description() const = 0;
  // The line went away. The link is closed right after the current call or event returns, or
  // by close(), and then emits lost.
  bool isLost() const { return !lostReason_.isEmpty(); }
  QString lostReason() const { return lostReason_; }
  // How long connecting to a server may take before it counts as not answering.
  static constexpr int kDefaultConnectTimeoutMs = 3000;
  // For the next opens of a link that connects to a server; other links have nothing to time.
  // A retry in the background takes less, since it blocks the thread.
  virtual void setConnectTimeout(int /*ms*/) {}
  // The far end turned this client away because another holds the port.
  virtual bool refusedInUse() const { return false; }
  // The far end ended a connection it had taken (a server closing it), as opposed to a device
  // unplugged or a network error.
  virtual bool closedByServer() const { return false; }
  // Whether opening again is worth a try now, for the retries after a loss: a device whose node
  // is back. A link that cannot tell says yes and lets open() find out.
  virtual bool mayBeBack() const { return true; }
  // The line was given up because what it sends is no CM11A's (a flood, a line of zeros).
  bool notAnInterface() const { return guard_.verdict() != x10::LineGuard::Verdict::Plausible; }

  virtual void write(const std::vector<std::uint8_t> &bytes) = 0;
  virtual std::vector<std::uint8_t> readAvailable() = 0;
  // Blocks up to ms for bytes; bytesArrived fires inside. False on time-out or loss.
  virtual bool waitForBytes(int ms) = 0;

  // The most one read pass takes from the line, so a line that never runs dry still hands
  // control back (to the window, to a termination signal) between passes.
  static constexpr std::size_t kReadPass = 256;

signals:
  void bytesArrived();
  void lost(const QString &reason);

protected:
  // Records why the line went away (logged as a warning) and closes the link once the current
  // call or event returns, since closing it inside its own report is unsafe; lost follows.
  void reportLost(const QString &reason);
  // A serial device gone (unplugged, hung up): reported once, named as the user knows it.
  void reportDeviceLost(const QString &name, const QString &why);
  void forgetLoss() { lostReason_.clear(); }
  // The line guard starts counting as the link opens.
  void startGuard();
  // What one read pass took, kept within what a CM11A can send (see x10::LineGuard); the rest
  // is dropped and logged once a second. A line judged not to be an interface is reported lost.
  std::vector<std::uint8_t> screen(std::span<const std::uint8_t> bytes);
  // Stops the idle read notifications: a line that went away may read as ready for ever.
  virtual void stopWatching() = 0;
  // Every byte at debug, with its direction and the milliseconds since the link opened.
  static void logTraffic(const QElapsedTimer &sinceOpen, const char *direction,
                         const std::vector<std::uint8_t> &bytes);

private:
  void closeLost();

  QString lostReason_;
  x10::LineGuard guard_;
};
