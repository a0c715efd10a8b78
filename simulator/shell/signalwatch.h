// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// SIGINT, SIGTERM and SIGHUP delivered as a readable descriptor, so the poll loop sees them like
// input and shuts down in order (removing its link), with no work done in a signal handler.
// SIGPIPE is ignored: a closed port is reported by the write, not by a signal.

#include "simulator/shell/uniquefd.h"

#include <csignal>
#include <optional>

namespace x10::sim {

class SignalWatch {
public:
  SignalWatch(); // throws std::system_error
  ~SignalWatch();
  SignalWatch(const SignalWatch &) = delete;
  SignalWatch &operator=(const SignalWatch &) = delete;

  int fd() const { return fd_.get(); }
  // The signal that arrived, if any.
  std::optional<int> take();

private:
  sigset_t previous_{};
  UniqueFd fd_;
};

} // namespace x10::sim
