// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Received commands waiting to be fetched one at a time, as text. An address waits as a
// command of its own ("B3") until a function for its house arrives; the function then takes
// its place, so a fetch returns the whole command ("B3 On") rather than its pieces, unless
// the address was fetched before its function came. Bounded: when full, the oldest is dropped
// and the next text handed out says how many were lost, so loss is never silent.

#include "controller/protocol/receivedecoder.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

namespace x10 {

class CommandQueue {
public:
  static constexpr std::size_t kCapacity = 1024;

  void push(const ReceivedCommand &command);
  // The oldest command's text, prefixed with a note when commands were dropped before it.
  std::optional<std::string> pop();
  bool empty() const { return commands_.empty(); }

private:
  std::deque<ReceivedCommand> commands_;
  std::size_t dropped_ = 0;
};

} // namespace x10
