// SPDX-License-Identifier: MIT
#include "tests/support/rawpty.h"

#include "simulator/shell/pseudoterminal.h"

RawPty openRawPty() {
  x10::sim::PtyPair pty = x10::sim::openRawPty();
  return {pty.master.release(), pty.slave.release(), QString::fromStdString(pty.slavePath)};
}
