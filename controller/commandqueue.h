#pragma once
// Received command texts waiting to be fetched one at a time. Bounded: when full, the oldest
// is dropped and the next text handed out says how many were lost, so loss is never silent.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

namespace x10 {

class CommandQueue {
public:
  static constexpr std::size_t kCapacity = 1024;

  void push(std::string text);
  // The oldest text, prefixed with a note when texts were dropped before it.
  std::optional<std::string> pop();
  bool empty() const { return texts_.empty(); }

private:
  std::deque<std::string> texts_;
  std::size_t dropped_ = 0;
};

} // namespace x10
