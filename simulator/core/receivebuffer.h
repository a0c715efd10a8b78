// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Traffic the interface heard on the line and has not yet uploaded. It holds at most 8 data
// bytes; a frame that does not fit whole is lost, as on the real interface.

#include "simulator/core/frame.h"

#include <cstdint>
#include <vector>

namespace x10::sim {

class ReceiveBuffer {
public:
  static constexpr std::size_t kCapacity = 8;

  // False when the frame did not fit and was dropped.
  bool add(const Frame &frame);
  bool fits(const Frame &frame) const;
  bool empty() const { return data_.empty(); }
  void clear();

  // The upload: size (mask plus data bytes), the mask (bit i: data byte i is a function),
  // then the data bytes.
  std::vector<std::uint8_t> upload() const;

private:
  std::vector<std::uint8_t> data_;
  std::uint8_t mask_ = 0;
};

} // namespace x10::sim
