// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/receivebuffer.h"

#include <algorithm>

namespace x10::sim {
namespace {

struct Encoded {
  std::uint8_t bytes[4];
  std::size_t count;
};

// Address: house|unit. Function: house|function, then for Dim/Bright the level byte, for an
// extended code its unit, data and command bytes. Only the first byte is marked a function.
Encoded encode(const Frame &frame) {
  const auto first = static_cast<std::uint8_t>(frame.house << 4 | frame.key);
  switch (frame.kind) {
  case Frame::Kind::Extended:
    return {{first, frame.unit, frame.data, frame.command}, 4};
  case Frame::Kind::Function:
    if (frame.isDimOrBright())
      return {{first, dimLevelByte(frame.dimSteps)}, 2};
    return {{first}, 1};
  case Frame::Kind::Address:
    break;
  }
  return {{first}, 1};
}

} // namespace

bool ReceiveBuffer::fits(const Frame &frame) const {
  return data_.size() + encode(frame).count <= kCapacity;
}

bool ReceiveBuffer::add(const Frame &frame) {
  if (!fits(frame))
    return false;
  const Encoded encoded = encode(frame);
  if (frame.kind != Frame::Kind::Address)
    mask_ = static_cast<std::uint8_t>(mask_ | (1u << data_.size()));
  data_.insert(data_.end(), encoded.bytes, encoded.bytes + encoded.count);
  return true;
}

void ReceiveBuffer::clear() {
  data_.clear();
  mask_ = 0;
}

std::vector<std::uint8_t> ReceiveBuffer::upload() const {
  std::vector<std::uint8_t> bytes(data_.size() + 2);
  bytes[0] = static_cast<std::uint8_t>(data_.size() + 1);
  bytes[1] = mask_;
  std::copy(data_.begin(), data_.end(), bytes.begin() + 2);
  return bytes;
}

} // namespace x10::sim
