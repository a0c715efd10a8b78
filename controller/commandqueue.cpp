#include "commandqueue.h"

namespace x10 {

void CommandQueue::push(std::string text) {
  if (texts_.size() == kCapacity) {
    texts_.pop_front();
    ++dropped_;
  }
  texts_.push_back(std::move(text));
}

std::optional<std::string> CommandQueue::pop() {
  if (texts_.empty())
    return std::nullopt;
  std::string text = std::move(texts_.front());
  texts_.pop_front();
  if (dropped_) {
    text = "(" + std::to_string(dropped_) + " older commands dropped) " + text;
    dropped_ = 0;
  }
  return text;
}

} // namespace x10
