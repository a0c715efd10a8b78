// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/posix/interruptiblepoll.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include <cerrno>

#include <poll.h>

namespace {
std::atomic<int> interruptFd{-1};
} // namespace

namespace x10 {

void setWaitInterrupt(std::intptr_t interrupt) { interruptFd = static_cast<int>(interrupt); }

bool waitsInterrupted() {
  pollfd p{interruptFd, POLLIN, 0};
  return p.fd >= 0 && ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

short pollUnlessInterrupted(int fd, short events, int ms) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(ms, 0));
  pollfd p[2] = {{fd, events, 0}, {interruptFd, POLLIN, 0}};
  int ready = 0;
  do {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    ready = ::poll(p, 2, ms < 0 ? -1 : static_cast<int>(std::max<long long>(left.count(), 0)));
  } while (ready < 0 && errno == EINTR);
  if (ready <= 0 || (p[1].revents & POLLIN))
    return 0;
  return p[0].revents;
}

} // namespace x10
