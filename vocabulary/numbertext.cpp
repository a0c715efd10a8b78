// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "vocabulary/numbertext.h"

#include <array>
#include <charconv>
#include <cmath>

namespace x10 {

std::string numberText(double value) {
  std::array<char, 32> buffer{}; // the longest shortest form is 24 characters
  const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), ec == std::errc() ? end : buffer.data());
}

std::string rangeMessage(double value, double low, double high, bool whole) {
  const bool fraction = whole && std::isfinite(value) && value != std::floor(value);
  return numberText(value) + (fraction ? " is not a whole number" : " is out of range") +
         "; enter a " + (whole ? "whole " : "") + "number from " + numberText(low) + " to " +
         numberText(high) + ".";
}

} // namespace x10
