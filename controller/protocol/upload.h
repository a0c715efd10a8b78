// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// One upload of received power-line traffic, as the interface sends it after the PC answers
// its poll: size (mask + data bytes, at most 9), the function/address mask (bit i set = data
// byte i is a function), then the data bytes. Dim and Bright are followed by a level byte,
// an extended code by unit, data and command bytes; those trailing bytes have mask bit 0.

#include "vocabulary/x10codes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace x10 {

struct ReceivedElement {
  std::uint8_t houseNibble = 0;     // for a pre-set dim: the level's low bits, not a house
  std::optional<UnitCode> unit;     // set for an address
  std::optional<Function> function; // set for a function
  int level = 0;                    // Dim/Bright: 0..210 (210 = 100 %); pre-set dim: 0..31
  std::optional<UnitCode> extendedUnit;
  std::uint8_t data = 0;
  std::uint8_t command = 0;

  HouseCode house() const { return HouseCode::fromNibble(houseNibble); }
  friend bool operator==(const ReceivedElement &, const ReceivedElement &) = default;
};

struct Upload {
  std::vector<ReceivedElement> elements;
  // A Dim/Bright or extended code whose trailing bytes were missing; it is left out.
  bool truncated = false;

  // bytes = size byte, mask, data bytes. Nothing when the size byte is 0 or over 9 or does
  // not match the number of bytes.
  static std::optional<Upload> parse(std::span<const std::uint8_t> bytes);
};

} // namespace x10
