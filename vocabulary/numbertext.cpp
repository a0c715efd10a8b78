// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "vocabulary/numbertext.h"

#include <array>
#include <charconv>

namespace x10 {

std::string numberText(double value) {
  std::array<char, 32> buffer{}; // the longest shortest form is 24 characters
  const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), ec == std::errc() ? end : buffer.data());
}

} // namespace x10
