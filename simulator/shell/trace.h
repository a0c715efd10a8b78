// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The trace file: every byte on the serial line with its direction and the milliseconds since
// start, and every decoded exchange, one line each. Without a file it records nothing.

#include "simulator/core/simtime.h"

#include <cstdint>
#include <fstream>
#include <span>
#include <string>
#include <string_view>

namespace x10::sim {

class Trace {
public:
  enum class Direction { FromPc, ToPc };

  explicit Trace(TimePoint start) : start_(start) {}
  // False if the file cannot be written.
  bool open(const std::string &path);

  void bytes(Direction direction, std::span<const std::uint8_t> bytes, TimePoint at);
  void text(std::string_view line, TimePoint at);

private:
  void stamp(TimePoint at);

  TimePoint start_;
  std::ofstream file_;
};

} // namespace x10::sim
