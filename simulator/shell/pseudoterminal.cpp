// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/shell/pseudoterminal.h"

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>

namespace x10::sim {
namespace {

void check(bool ok, const char *what) {
  if (!ok)
    throw std::system_error(errno, std::generic_category(), what);
}

void closeOnExec(int fd) {
  const int flags = ::fcntl(fd, F_GETFD);
  check(flags >= 0 && ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC) == 0,
        "making the pseudo-terminal close-on-exec");
}

} // namespace

PtyPair openRawPty() {
  int master = -1;
  int slave = -1;
  check(::openpty(&master, &slave, nullptr, nullptr, nullptr) == 0, "opening a pseudo-terminal");
  PtyPair pty{UniqueFd(master), UniqueFd(slave), {}};
  closeOnExec(master);
  closeOnExec(slave);
  char name[128];
  errno = ::ptsname_r(master, name, sizeof name);
  check(errno == 0, "naming the pseudo-terminal");
  pty.slavePath = name;
  termios settings{};
  check(::tcgetattr(slave, &settings) == 0, "reading the pseudo-terminal's settings");
  ::cfmakeraw(&settings);
  check(::cfsetspeed(&settings, B4800) == 0, "choosing 4800 baud");
  check(::tcsetattr(slave, TCSANOW, &settings) == 0, "setting the pseudo-terminal to raw mode");
  return pty;
}

PseudoTerminal PseudoTerminal::open() {
  PtyPair pty = openRawPty();
  const int flags = ::fcntl(pty.master.get(), F_GETFL);
  check(flags >= 0 && ::fcntl(pty.master.get(), F_SETFL, flags | O_NONBLOCK) == 0,
        "making the pseudo-terminal non-blocking");
  return PseudoTerminal(std::move(pty));
}

// A client that opened and closed the port between two looks may have left it exclusive too.
std::vector<std::string> PseudoTerminal::updateClients() {
  const PortWatch::Change change = watch_.update();
  const bool open = change.clients > 0;
  if (!open && change.closed)
    release();
  if (open == open_)
    return {};
  open_ = open;
  return {open ? "opened" : "closed by the other side"};
}

std::string PseudoTerminal::ended(const ReadResult &result) {
  throw std::system_error(result.error, std::generic_category(), "reading the pseudo-terminal");
}

void PseudoTerminal::release() const {
  check(::ioctl(pty_.slave.get(), TIOCNXCL) == 0, "ending the port's exclusive mode");
  check(::tcflush(pty_.slave.get(), TCIFLUSH) == 0, "dropping bytes nobody read");
}

} // namespace x10::sim
