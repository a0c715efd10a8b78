// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Carries out one command on the device. What the shell must do itself (wait, quit, hang up)
// comes back in the outcome.

#include "simulator/core/cm11adevice.h"
#include "simulator/core/command.h"

#include <optional>
#include <string>
#include <vector>

namespace x10::sim {

struct Outcome {
  std::vector<std::string> lines; // to show the user
  std::optional<Duration> wait;
  bool repeat = false;
  bool quit = false;
  bool hangUp = false;
};

Outcome execute(const Command &command, Cm11aDevice &device, TimePoint now);

} // namespace x10::sim
