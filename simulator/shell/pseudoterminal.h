// SPDX-License-Identifier: MIT
#pragma once
// A pseudo-terminal: the simulator plays its master side, and a driver opens the slave side as
// if it were the serial port of a real interface.

#include "simulator/shell/uniquefd.h"

#include <string>

namespace x10::sim {

class PseudoTerminal {
public:
  // A new pair, the master non-blocking, the slave in raw mode at 4800 baud.
  // Throws std::system_error.
  static PseudoTerminal open();

  int master() const { return master_.get(); }
  const std::string &slavePath() const { return slavePath_; }

private:
  PseudoTerminal(UniqueFd master, std::string slavePath)
      : master_(std::move(master)), slavePath_(std::move(slavePath)) {}

  UniqueFd master_;
  std::string slavePath_;
};

} // namespace x10::sim
