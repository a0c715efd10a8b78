// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A pseudo-terminal: the simulator plays its master side, and a driver opens the slave side as
// if it were the serial port of a real interface.

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

class PseudoTerminal {
public:
  // A new pair with the master non-blocking. The simulator keeps the slave side open as well:
  // a client that dies holding the port in exclusive mode cannot clear that mode, and only an
  // open descriptor lets an ordinary user clear it for the next client. Throws
  // std::system_error.
  static PseudoTerminal open();

  int master() const { return pty_.master.get(); }
  const std::string &slavePath() const { return pty_.slavePath; }
  // Clients opening and closing the slave side, counted from the start.
  PortWatch &clients() { return watch_; }
  // Frees the port once its last client has closed it, as closing a real serial port does: no
  // exclusive mode left behind, no bytes left for the next client that nobody read.
  void release() const;

private:
  explicit PseudoTerminal(PtyPair pty) : pty_(std::move(pty)), watch_(pty_.slavePath) {}

  PtyPair pty_;
  PortWatch watch_;
};

} // namespace x10::sim
