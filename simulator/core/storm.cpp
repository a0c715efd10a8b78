// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/storm.h"

namespace x10::sim {

std::vector<Frame> stormFrames(int count, const std::vector<Frame> &traffic) {
  std::vector<Frame> frames;
  for (int i = 0; i < count; ++i) {
    if (!traffic.empty()) {
      frames.insert(frames.end(), traffic.begin(), traffic.end());
      continue;
    }
    const std::uint8_t house =
        HouseCode::fromLetter(static_cast<char>('A' + i / 16 % 16))->nibble();
    frames.push_back(Frame::makeAddress(house, UnitCode::fromNumber(i % 16 + 1)->nibble()));
    frames.push_back(Frame::makeFunction(house, i / 256 % 2 ? Function::Off : Function::On));
  }
  return frames;
}

} // namespace x10::sim
