// SPDX-License-Identifier: MIT
#include "tests/support/rawpty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

RawPty openRawPty() {
  RawPty pty;
  pty.master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ::grantpt(pty.master);
  ::unlockpt(pty.master);
  pty.slavePath = QString::fromLocal8Bit(::ptsname(pty.master));
  pty.slave = ::open(::ptsname(pty.master), O_RDWR | O_NOCTTY);
  termios raw{};
  ::tcgetattr(pty.slave, &raw);
  ::cfmakeraw(&raw);
  ::tcsetattr(pty.slave, TCSANOW, &raw);
  return pty;
}
