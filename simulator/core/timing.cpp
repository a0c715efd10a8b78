// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/timing.h"

#include <algorithm>

namespace x10::sim {
namespace {

constexpr int kFrameCycles = 11;         // start code 2, house 4, key 5
constexpr int kExtendedFrameCycles = 31; // adds unit 4, data 8, command 8 (bit and complement each)
constexpr int kSilentCycles = 3;
constexpr int kBitsPerByte = 10; // start, 8 data, stop
constexpr int kBaud = 4800;

} // namespace

int frameCycles(const Frame &frame) {
  if (frame.kind == Frame::Kind::Extended)
    return 2 * kExtendedFrameCycles + kSilentCycles;
  // A dim of n steps is n frames back to back; every frame goes at least twice.
  const int frames = frame.isDimOrBright() ? std::max<int>(frame.dimSteps, 2) : 2;
  return frames * kFrameCycles + kSilentCycles;
}

Timing Timing::realistic(int mainsHz) { return Timing(mainsHz); }

Timing Timing::fast() { return Timing(0); }

Duration Timing::byteTime() const {
  if (isFast())
    return Duration::zero();
  return std::chrono::duration_cast<Duration>(
      std::chrono::nanoseconds(1'000'000'000LL * kBitsPerByte / kBaud));
}

Duration Timing::frameTime(const Frame &frame) const {
  if (isFast())
    return Duration::zero();
  return std::chrono::duration_cast<Duration>(
      std::chrono::nanoseconds(1'000'000'000LL * frameCycles(frame) / mainsHz_));
}

Duration Timing::pacedFrameTime(const Frame &frame) const {
  if (isFast())
    return std::chrono::milliseconds(5);
  return frameTime(frame);
}

} // namespace x10::sim
