// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/protocol/commandqueue.h"

#include "controller/protocol/commandtext.h"

namespace x10 {

void CommandQueue::push(const ReceivedCommand &command) {
  if (command.function)
    std::erase_if(commands_, [&](const ReceivedCommand &waiting) {
      return waiting.isAddressOnly() && waiting.house == command.house;
    });
  if (commands_.size() == kCapacity) {
    commands_.pop_front();
    ++dropped_;
  }
  commands_.push_back(command);
}

std::optional<std::string> CommandQueue::pop() {
  if (commands_.empty())
    return std::nullopt;
  std::string text = commandText(commands_.front());
  commands_.pop_front();
  if (dropped_) {
    text = "(" + std::to_string(dropped_) + " older commands dropped) " + text;
    dropped_ = 0;
  }
  return text;
}

} // namespace x10
