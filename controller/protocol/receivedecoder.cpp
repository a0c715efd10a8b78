// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/protocol/receivedecoder.h"

#include <algorithm>

namespace x10 {
namespace {

// These act on a whole house and ignore which units were addressed.
bool isHouseWide(Function f) {
  return f == Function::AllUnitsOff || f == Function::AllLightsOn || f == Function::AllLightsOff;
}

bool isPreset(Function f) { return f == Function::PresetDim1 || f == Function::PresetDim2; }

} // namespace

std::vector<ReceivedCommand> ReceiveDecoder::decode(const std::vector<ReceivedElement> &elements) {
  std::vector<ReceivedCommand> commands;
  for (const auto &e : elements)
    commands.push_back(e.unit ? onAddress(e) : onFunction(e));
  return commands;
}

ReceivedCommand ReceiveDecoder::onAddress(const ReceivedElement &e) {
  AddressSet &set = sets_[e.houseNibble];
  if (set.functionSeen)
    set = {};
  if (std::find(set.units.begin(), set.units.end(), *e.unit) == set.units.end())
    set.units.push_back(*e.unit);
  lastAddressedHouse_ = e.house();
  ReceivedCommand c;
  c.house = e.house();
  c.units = {*e.unit};
  return c;
}

ReceivedCommand ReceiveDecoder::onFunction(const ReceivedElement &e) {
  const Function f = *e.function;
  ReceivedCommand c;
  c.house = e.house();
  c.function = f;
  c.level = e.level;
  c.data = e.data;
  c.command = e.command;
  if (f == Function::ExtendedCode) {
    // An extended code names its unit itself.
    c.units = {*e.extendedUnit};
    return c;
  }
  if (isPreset(f)) {
    // The house position carries the level, so the command goes to the house addressed last.
    if (!lastAddressedHouse_)
      return c;
    c.house = *lastAddressedHouse_;
  }
  if (isHouseWide(f))
    return c;
  AddressSet &set = sets_[c.house.nibble()];
  set.functionSeen = true;
  c.units = set.units;
  return c;
}

} // namespace x10
