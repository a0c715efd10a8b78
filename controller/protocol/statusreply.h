// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The interface's 14-byte answer to a status request (0x8B). Receiving a well-formed one is
// how the driver knows an interface is present and speaking at the right speed.

#include "vocabulary/result.h"
#include "vocabulary/x10codes.h"

#include <cstdint>
#include <span>
#include <string>

namespace x10 {

inline constexpr std::size_t kStatusReplySize = 14;

struct StatusReply {
  std::uint16_t batteryTimer = 0; // 0xFFFF after a reset; first byte taken as the low one
  int second = 0;
  int minute = 0; // 0..119: minutes within the current two hours
  int hour = 0;   // full hours, rebuilt from hours/2 and the minutes
  int dayOfYear = 0;
  std::uint8_t dayMask = 0; // bit 0 = Sunday
  HouseCode monitoredHouse = HouseCode::fromNibble(0x6);
  int firmware = 0;
  // Units of the monitored house, bit n = the unit whose code nibble is n.
  std::uint16_t addressed = 0;
  std::uint16_t onOff = 0;
  std::uint16_t dimmed = 0;

  // Exactly 14 bytes with clock fields in range and exactly one day of the week set (garbage
  // at a wrong speed, or a line of zeros, seldom passes that); otherwise what is wrong.
  static Result<StatusReply, std::string> parse(std::span<const std::uint8_t> bytes);
  static bool includes(std::uint16_t bitmap, UnitCode unit) { return bitmap >> unit.nibble() & 1; }
};

} // namespace x10
