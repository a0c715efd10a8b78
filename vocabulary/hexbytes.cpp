// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "vocabulary/hexbytes.h"

#include <cstdio>

namespace x10 {

std::string hexBytes(std::span<const std::uint8_t> bytes) {
  std::string text;
  char two[4];
  for (std::uint8_t b : bytes) {
    std::snprintf(two, sizeof two, "%02X", b);
    if (!text.empty())
      text += ' ';
    text += two;
  }
  return text;
}

std::string hexByte(std::uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

} // namespace x10
