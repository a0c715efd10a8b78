// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// One X10 message on the power line: an address, a function, or an extended code. Codes are
// kept as the 4-bit line nibbles, as every receiver on the line sees them.

#include "vocabulary/x10codes.h"

#include <cstdint>
#include <string>

namespace x10::sim {

struct Frame {
  enum class Kind : std::uint8_t { Address, Function, Extended };

  static constexpr std::uint8_t kFullDimSteps = 22;

  Kind kind = Kind::Address;
  std::uint8_t house = 0;    // house nibble
  std::uint8_t key = 0;      // unit nibble of an address, function code of a function
  std::uint8_t dimSteps = 0; // Dim/Bright: steps of 22
  std::uint8_t unit = 0;     // Extended: unit nibble, data and command bytes
  std::uint8_t data = 0;
  std::uint8_t command = 0;

  static Frame makeAddress(std::uint8_t house, std::uint8_t unit);
  static Frame makeFunction(std::uint8_t house, Function function, std::uint8_t dimSteps = 0);
  static Frame makeExtended(std::uint8_t house, std::uint8_t unit, std::uint8_t data,
                            std::uint8_t command);

  Function function() const { return functionFromCode(key); }
  bool isDimOrBright() const;

  friend bool operator==(const Frame &, const Frame &) = default;
};

// Readable form: "A1", "A On", "A Dim 45%", "A5 Extended Code 1F 31".
std::string describe(const Frame &frame);
// The level byte the interface uploads after Dim/Bright: 0..210 for 0..22 steps.
std::uint8_t dimLevelByte(std::uint8_t steps);
int dimPercent(std::uint8_t steps);

} // namespace x10::sim
