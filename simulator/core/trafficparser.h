// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Power-line traffic as a person writes it, turned into frames in the order a remote would send
// them: "A1 On" is the address A1 then the function A On; "A1 A2 Off" addresses two units;
// "A Dim 45%" is a function alone; "A5 Extended 1F 31" is one extended frame for unit A5.
// A function without a house letter takes the house of the address before it.

#include "simulator/core/frame.h"
#include "vocabulary/result.h"

#include <span>
#include <string>
#include <vector>

namespace x10::sim {

// The frames, or a message saying what was expected.
Result<std::vector<Frame>, std::string> parseTraffic(std::span<const std::string> words);

} // namespace x10::sim
