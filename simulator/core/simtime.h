// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Time as the simulator's cores see it. The caller always passes the time in, so tests can
// drive a virtual clock and the shell the real one.

#include <chrono>

namespace x10::sim {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using Duration = Clock::duration;

} // namespace x10::sim
