// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// What the interface knows of its monitored house: the units addressed, on and dimmed, as it
// heard the frames go by. It never asks the modules, so it can be wrong, as the real one can.

#include "simulator/core/addressedunits.h"
#include "simulator/core/frame.h"

#include <cstdint>

namespace x10::sim {

class HouseMonitor {
public:
  void setHouse(std::uint8_t houseNibble) { house_ = houseNibble & 0xF; }
  std::uint8_t house() const { return house_; }
  void clear();
  void observe(const Frame &frame);

  // Bit n stands for the unit whose code nibble is n.
  std::uint16_t addressed() const { return addressed_.bitmap(); }
  std::uint16_t on() const { return on_; }
  std::uint16_t dimmed() const { return dimmed_; }

private:
  std::uint8_t house_ = 0x6; // A until a set-clock names another
  AddressedUnits addressed_;
  std::uint16_t on_ = 0;
  std::uint16_t dimmed_ = 0;
};

} // namespace x10::sim
