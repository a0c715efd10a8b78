// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/addressedunits.h"

namespace x10::sim {

void AddressedUnits::address(std::uint8_t unitNibble) {
  if (functionHeard_) {
    bits_ = 0;
    functionHeard_ = false;
  }
  bits_ = static_cast<std::uint16_t>(bits_ | (1u << (unitNibble & 0xF)));
}

} // namespace x10::sim
