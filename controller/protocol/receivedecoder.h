// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Turns the elements of successive uploads into X10 commands. An address and its function may
// arrive in different uploads, so the addressed units of each house are kept until a function
// for that house arrives; the set stays in force for further functions (Dim after On) until an
// address follows a function, which starts a new set. This mirrors how X10 modules listen.

#include "controller/protocol/upload.h"

#include <array>
#include <optional>
#include <vector>

namespace x10 {

struct ReceivedCommand {
  HouseCode house = HouseCode::fromNibble(0x6);
  std::vector<UnitCode> units;      // the addressed units; one unit for an address alone
  std::optional<Function> function; // nothing for an address alone
  int level = 0;                    // Dim/Bright 0..210, pre-set dim 0..31
  std::uint8_t data = 0;            // extended code
  std::uint8_t command = 0;         // extended code

  bool isAddressOnly() const { return !function; }
  friend bool operator==(const ReceivedCommand &, const ReceivedCommand &) = default;
};

class ReceiveDecoder {
public:
  std::vector<ReceivedCommand> decode(const std::vector<ReceivedElement> &elements);

private:
  struct AddressSet {
    std::vector<UnitCode> units;
    bool functionSeen = false; // the next address starts a new set
  };
  ReceivedCommand onAddress(const ReceivedElement &e);
  ReceivedCommand onFunction(const ReceivedElement &e);

  std::array<AddressSet, 16> sets_{};
  std::optional<HouseCode> lastAddressedHouse_;
};

} // namespace x10
