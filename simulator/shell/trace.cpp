// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/shell/trace.h"

#include "vocabulary/hexbytes.h"

#include <cstdio>

namespace x10::sim {

bool Trace::open(const std::string &path) {
  file_.open(path, std::ios::out | std::ios::trunc);
  return file_.is_open();
}

void Trace::stamp(TimePoint at) {
  char text[24];
  std::snprintf(text, sizeof text, "%12.3f ms  ",
                std::chrono::duration<double, std::milli>(at - start_).count());
  file_ << text;
}

void Trace::bytes(Direction direction, std::span<const std::uint8_t> bytes, TimePoint at) {
  if (!file_.is_open())
    return;
  for (const std::uint8_t byte : bytes) {
    stamp(at);
    file_ << (direction == Direction::FromPc ? "PC -> CM11A  " : "CM11A -> PC  ")
          << hexBytes({&byte, 1}) << '\n';
  }
  file_.flush();
}

void Trace::text(std::string_view line, TimePoint at) {
  if (!file_.is_open())
    return;
  stamp(at);
  file_ << "-- " << line << '\n';
  file_.flush();
}

} // namespace x10::sim
