// SPDX-License-Identifier: MIT
#include "controller/waitinterrupt.h"

#include <atomic>

#include <poll.h>

namespace {
std::atomic<int> interruptFd{-1};
} // namespace

namespace x10 {

void setWaitInterrupt(int fd) { interruptFd = fd; }

int waitInterruptFd() { return interruptFd; }

bool waitsInterrupted() {
  pollfd p{interruptFd, POLLIN, 0};
  return p.fd >= 0 && ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

} // namespace x10
