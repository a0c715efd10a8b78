// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A signal another thread gives once, which a wait blocks on beside the wait interrupt
// (waitinterrupt.h): a pipe on POSIX, an event on Windows. The name lookup's thread rings it
// when its answer is in.

#include <cstdint>

namespace x10 {

class Doorbell {
public:
  // Throws std::system_error when the system has no pipe or event to give.
  Doorbell();
  ~Doorbell();
  Doorbell(const Doorbell &) = delete;
  Doorbell &operator=(const Doorbell &) = delete;

  // From any thread; stays rung.
  void ring();
  // Whether it rang within ms (negative: no limit); false on time-out and when waits are
  // interrupted.
  bool waitUnlessInterrupted(int ms) const;

private:
  std::intptr_t handles_[2] = {-1, -1};
};

} // namespace x10
