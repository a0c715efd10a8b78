// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The interface's clock: set by the PC's set-clock, then running on the caller's time. It
// keeps the time of day, the day of the year and the day of the week in the set-clock's
// own terms (minutes within two hours, hours halved, a day-of-week bit).

#include "simulator/core/simtime.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace x10::sim {

class InterfaceClock {
public:
  explicit InterfaceClock(TimePoint resetAt) : setAt_(resetAt) {}

  // The first five bytes of a set-clock after 0x9B: seconds, minutes 0..119, hours / 2,
  // year day low 8 bits, year day bit 8 << 7 | day-of-week mask.
  void set(std::span<const std::uint8_t, 5> bytes, TimePoint now);
  // Set to a second of the day, a day of the year (0-based) and of the week (0 = Sunday).
  void set(int secondOfDay, int yearDay, int weekDay, TimePoint now);
  // The same five bytes for the time now, as a status reply carries them.
  std::array<std::uint8_t, 5> bytes(TimePoint now) const;
  // "day 328 Mon 21:04:19"
  std::string describe(TimePoint now) const;

private:
  struct Reading {
    int secondOfDay;
    int yearDay;
    int weekDay; // 0 = Sunday
  };
  Reading read(TimePoint now) const;

  TimePoint setAt_;
  Reading atSet_{0, 0, 0};
};

} // namespace x10::sim
