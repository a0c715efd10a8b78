// SPDX-License-Identifier: MIT
#include "simulator/shell/pseudoterminal.h"

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <system_error>
#include <termios.h>

namespace x10::sim {
namespace {

[[noreturn]] void fail(const char *what) {
  throw std::system_error(errno, std::generic_category(), what);
}

// A driver sets its own line settings, but one that does not must still get every byte as
// sent: no echo, no line editing, no newline translation.
void makeRaw(const std::string &slavePath) {
  const UniqueFd slave(::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!slave.valid())
    fail("opening the pseudo-terminal's slave side");
  termios settings{};
  if (::tcgetattr(slave.get(), &settings) != 0)
    fail("reading the pseudo-terminal's settings");
  ::cfmakeraw(&settings);
  ::cfsetispeed(&settings, B4800);
  ::cfsetospeed(&settings, B4800);
  if (::tcsetattr(slave.get(), TCSANOW, &settings) != 0)
    fail("setting the pseudo-terminal to raw mode");
}

} // namespace

PseudoTerminal PseudoTerminal::open() {
  UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!master.valid())
    fail("opening a pseudo-terminal");
  if (::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0)
    fail("unlocking the pseudo-terminal");
  char name[128];
  if (::ptsname_r(master.get(), name, sizeof name) != 0)
    fail("naming the pseudo-terminal");
  const int flags = ::fcntl(master.get(), F_GETFL);
  if (flags < 0 || ::fcntl(master.get(), F_SETFL, flags | O_NONBLOCK) != 0)
    fail("making the pseudo-terminal non-blocking");
  makeRaw(name);
  return PseudoTerminal(std::move(master), name);
}

} // namespace x10::sim
