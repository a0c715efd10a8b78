// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A fuzz input read front to back as a script of operations and their arguments. Past the end
// every byte reads as 0, so any input is a complete script, and a seed can be written by hand
// byte by byte (see README.md).

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class Script {
public:
  Script(const std::uint8_t *data, std::size_t size) : rest_(data, size) {}

  bool done() const { return rest_.empty(); }

  std::uint8_t byte() {
    if (rest_.empty())
      return 0;
    const std::uint8_t b = rest_.front();
    rest_ = rest_.subspan(1);
    return b;
  }

  // One byte as 0..limit (limit below 256).
  int upTo(int limit) { return byte() % (limit + 1); }

  // Two bytes, high first, as 0..limit.
  int word(int limit) {
    const int high = byte();
    return (high << 8 | byte()) % (limit + 1);
  }

  // The next n bytes, fewer at the end of the input.
  std::vector<std::uint8_t> bytes(std::size_t n) {
    const std::size_t count = n < rest_.size() ? n : rest_.size();
    std::vector<std::uint8_t> out(rest_.begin(),
                                  rest_.begin() + static_cast<std::ptrdiff_t>(count));
    rest_ = rest_.subspan(count);
    return out;
  }

private:
  std::span<const std::uint8_t> rest_;
};
