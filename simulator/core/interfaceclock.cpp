// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/interfaceclock.h"

#include <cstdio>

namespace x10::sim {
namespace {

constexpr int kSecondsPerDay = 24 * 3600;
constexpr int kDaysInLongestYear = 366;

int lowestBit(std::uint8_t mask) {
  for (int bit = 0; bit < 7; ++bit)
    if (mask & (1 << bit))
      return bit;
  return 0;
}

} // namespace

void InterfaceClock::set(std::span<const std::uint8_t, 5> bytes, TimePoint now) {
  const int hour = bytes[2] * 2 + bytes[1] / 60;
  atSet_.secondOfDay = (hour * 3600 + (bytes[1] % 60) * 60 + bytes[0]) % kSecondsPerDay;
  atSet_.yearDay = (bytes[3] | ((bytes[4] & 0x80) << 1)) % kDaysInLongestYear;
  atSet_.weekDay = lowestBit(bytes[4] & 0x7F);
  setAt_ = now;
}

void InterfaceClock::set(int secondOfDay, int yearDay, int weekDay, TimePoint now) {
  atSet_ = {secondOfDay % kSecondsPerDay, yearDay % kDaysInLongestYear, weekDay % 7};
  setAt_ = now;
}

InterfaceClock::Reading InterfaceClock::read(TimePoint now) const {
  const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now - setAt_).count();
  const long long total = atSet_.secondOfDay + (elapsed > 0 ? elapsed : 0);
  const int days = static_cast<int>(total / kSecondsPerDay);
  return {static_cast<int>(total % kSecondsPerDay), (atSet_.yearDay + days) % kDaysInLongestYear,
          (atSet_.weekDay + days) % 7};
}

std::array<std::uint8_t, 5> InterfaceClock::bytes(TimePoint now) const {
  const Reading r = read(now);
  const int hour = r.secondOfDay / 3600;
  const int minute = (r.secondOfDay / 60) % 60;
  return {static_cast<std::uint8_t>(r.secondOfDay % 60),
          static_cast<std::uint8_t>((hour % 2) * 60 + minute), static_cast<std::uint8_t>(hour / 2),
          static_cast<std::uint8_t>(r.yearDay & 0xFF),
          static_cast<std::uint8_t>(((r.yearDay >> 8) << 7) | (1 << r.weekDay))};
}

std::string InterfaceClock::describe(TimePoint now) const {
  static constexpr const char *kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  const Reading r = read(now);
  char text[40];
  std::snprintf(text, sizeof text, "day %d %s %02d:%02d:%02d", r.yearDay, kDays[r.weekDay],
                r.secondOfDay / 3600, (r.secondOfDay / 60) % 60, r.secondOfDay % 60);
  return text;
}

} // namespace x10::sim
