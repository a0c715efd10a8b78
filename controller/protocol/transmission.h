// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// What the PC sends to the interface and the interface confirms with a checksum before acting
// on it: a standard address or function (header, code), an extended code (5 bytes) and a
// set-clock (0x9B and 6 bytes). Each knows its bytes, the checksum the interface must echo and
// how many mains cycles it occupies on the power line (to bound the wait for "ready").

#include "controller/protocol/wallclock.h"
#include "vocabulary/x10codes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace x10 {

// Set-clock flags. Bit 2 (purge the stored timers and macros) is deliberately absent: it
// would destroy what the user programmed into the interface.
inline constexpr std::uint8_t kClearMonitoredStatus = 0x01;
inline constexpr std::uint8_t kClearBatteryTimer = 0x02;

inline constexpr int kMaxDims = 22;

class Transmission {
public:
  static Transmission address(HouseCode house, UnitCode unit);
  // dims (0..22) only matter for Dim and Bright.
  static Transmission function(HouseCode house, Function function, int dims = 0);
  // Level 0..31, coded by presetDimCode().
  static Transmission presetDim(int level);
  static Transmission extended(HouseCode house, UnitCode unit, std::uint8_t data,
                               std::uint8_t command);
  // flags: kClearMonitoredStatus | kClearBatteryTimer; anything else is masked off.
  static Transmission setClock(const WallClock &clock, HouseCode monitored, std::uint8_t flags);

  // Recognises the bytes of one transmission; nothing when they are not one.
  static std::optional<Transmission> parse(std::span<const std::uint8_t> bytes);

  const std::vector<std::uint8_t> &bytes() const { return bytes_; }
  std::uint8_t checksum() const;
  // Mains cycles the interface spends on the power line before it says "ready".
  int lineCycles() const;
  // Short readable form for logs: "A1", "A On", "A Dim 16/22", "set clock 21:04:19".
  std::string describe() const;

  friend bool operator==(const Transmission &, const Transmission &) = default;

private:
  explicit Transmission(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  bool isSetClock() const;
  bool isExtended() const;
  std::vector<std::uint8_t> bytes_;
};

} // namespace x10
