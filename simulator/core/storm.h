// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The frames of a traffic storm: the same traffic over and over, or a run of different
// commands that walks through every address, so whoever receives them can tell each one apart
// and check their order.

#include "simulator/core/frame.h"

#include <vector>

namespace x10::sim {

inline constexpr int kLongestStorm = 100000;

// With traffic: that traffic, `count` times. Without: `count` commands; command i addresses
// unit (i mod 16) + 1 of house (i / 16 mod 16) in A..P order, then switches that house On, or
// Off in every other round of 256 commands.
std::vector<Frame> stormFrames(int count, const std::vector<Frame> &traffic);

} // namespace x10::sim
