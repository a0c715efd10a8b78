// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The doorbell on POSIX: a pipe, rung by writing a byte to it.
#include "controller/links/doorbell.h"

#include "controller/links/posix/interruptiblepoll.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace x10 {

Doorbell::Doorbell() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0)
    throw std::system_error(errno, std::generic_category(), "pipe");
  handles_[0] = ends[0];
  handles_[1] = ends[1];
}

Doorbell::~Doorbell() {
  for (const std::intptr_t fd : handles_)
    ::close(int(fd));
}

void Doorbell::ring() {
  const char byte = 0;
  [[maybe_unused]] const ssize_t written = ::write(int(handles_[1]), &byte, 1);
}

bool Doorbell::waitUnlessInterrupted(int ms) const {
  return pollUnlessInterrupted(int(handles_[0]), POLLIN, ms) & POLLIN;
}

} // namespace x10
