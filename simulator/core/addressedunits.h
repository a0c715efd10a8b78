// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The units of one house that the next function acts on, as every receiver on the line keeps
// them: an address adds its unit, a function acts on the set and leaves it, and the first
// address after a function starts a new set ("A1 A2 On" then "A3 Off" turns off A3 alone).

#include <cstdint>

namespace x10::sim {

class AddressedUnits {
public:
  void address(std::uint8_t unitNibble);
  void functionHeard() { functionHeard_ = true; }
  void clear() { *this = AddressedUnits{}; }

  // Bit n stands for the unit whose code nibble is n.
  std::uint16_t bitmap() const { return bits_; }
  bool contains(std::uint8_t unitNibble) const { return (bits_ >> (unitNibble & 0xF)) & 1; }

private:
  std::uint16_t bits_ = 0;
  bool functionHeard_ = false;
};

} // namespace x10::sim
