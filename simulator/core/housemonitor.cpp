// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/housemonitor.h"

namespace x10::sim {

void HouseMonitor::clear() {
  addressed_.clear();
  on_ = 0;
  dimmed_ = 0;
}

void HouseMonitor::observe(const Frame &frame) {
  if (frame.house != house_ || frame.kind == Frame::Kind::Extended)
    return;
  if (frame.kind == Frame::Kind::Address) {
    addressed_.address(frame.key);
    return;
  }
  const std::uint16_t units = addressed_.bitmap();
  switch (frame.function()) {
  case Function::AllUnitsOff:
  case Function::AllLightsOff:
    on_ = 0;
    dimmed_ = 0;
    break;
  case Function::AllLightsOn:
    on_ = 0xFFFF;
    break;
  case Function::On:
    on_ |= units;
    dimmed_ &= static_cast<std::uint16_t>(~units);
    break;
  case Function::Off:
    on_ &= static_cast<std::uint16_t>(~units);
    dimmed_ &= static_cast<std::uint16_t>(~units);
    break;
  case Function::Dim:
  case Function::Bright:
    on_ |= units;
    dimmed_ |= units;
    break;
  default:
    break;
  }
  addressed_.functionHeard();
}

} // namespace x10::sim
