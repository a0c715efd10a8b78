// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A pseudo-terminal: the simulator plays its master side, and a driver opens the slave side as
// if it were the serial port of a real interface.

#include "simulator/shell/interfaceport.h"
#include "simulator/shell/portwatch.h"
#include "simulator/shell/uniquefd.h"

#include <string>

namespace x10::sim {

// Both ends of a new pseudo-terminal, close-on-exec, the slave in raw mode at 4800 baud: a
// driver that sets no line settings of its own still gets every byte as sent. Throws
// std::system_error naming the call that failed.
struct PtyPair {
  UniqueFd master;
  UniqueFd slave;
  std::string slavePath;
};
PtyPair openRawPty();

class PseudoTerminal : public InterfacePort {
public:
  // A new pair with the master non-blocking. The simulator keeps the slave side open as well:
  // a client that dies holding the port in exclusive mode cannot clear that mode, and only an
  // open descriptor lets an ordinary user clear it for the next client. Throws
  // std::system_error.
  static PseudoTerminal open();

  const std::string &slavePath() const { return pty_.slavePath; }

  // The clients are counted by their opens and closes of the slave side (PortWatch); the
  // master is read whether or not one is counted.
  int watchFd() const override { return watch_.fd(); }
  int dataFd() const override { return pty_.master.get(); }
  bool connected() const override { return open_; }
  // "opened", "closed by the other side". Once the last client has gone, however it went, the
  // port is free for the next one.
  std::vector<std::string> updateClients() override;
  // Never expected: with the slave side held, the master does not end. Throws
  // std::system_error.
  std::string ended(const ReadResult &result) override;

private:
  explicit PseudoTerminal(PtyPair pty) : pty_(std::move(pty)), watch_(pty_.slavePath) {}
  // Frees the port once its last client has closed it, as closing a real serial port does: no
  // exclusive mode left behind, no bytes left for the next client that nobody read.
  void release() const;

  PtyPair pty_;
  PortWatch watch_;
  bool open_ = false;
};

} // namespace x10::sim
