// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A serial port server turns a second client away with a line of text and then closes
// ("Port already in use\r\n"). Those bytes must never be read as the interface's. The first
// bytes of a connection are held back while they may still be that text; once they differ they
// are passed on as data, and once the whole line came the connection is known refused. Pure.

#include <cstdint>
#include <span>
#include <vector>

namespace x10 {

class ServerRefusal {
public:
  using Bytes = std::vector<std::uint8_t>;

  // Bytes of the connection in order from its start; returns those that are the line's data.
  Bytes pass(std::span<const std::uint8_t> bytes);
  // The whole refusal line came.
  bool refused() const { return refused_; }

private:
  Bytes held_;
  bool decided_ = false;
  bool refused_ = false;
};

} // namespace x10
