// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The modules on the power line and what each frame does to them. Every receiver hears every
// frame, so the addressed units are kept once per house for all modules.

#include "simulator/core/addressedunits.h"
#include "simulator/core/frame.h"
#include "simulator/core/module.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace x10::sim {

class PowerLine {
public:
  struct Heard {
    std::vector<std::string> changes; // "A1 lamp on 100%"
    std::vector<Frame> replies;       // frames modules send back, such as a status answer
  };

  // A lamp, an appliance and a two-way module in house A, and a lamp at B3, so a demo has
  // something to switch.
  static PowerLine withDemoModules();

  Heard hear(const Frame &frame);

  // Puts a module at an address, replacing what was there; no kind removes it.
  void setModule(HouseCode house, UnitCode unit, std::optional<ModuleKind> kind);
  const Module *module(HouseCode house, UnitCode unit) const;
  // One line per module, in address order: "A1 lamp on 100%".
  std::vector<std::string> listing() const;

private:
  using Address = std::pair<char, int>; // house letter, unit number: sorts as people read
  using Action = void (*)(Module &, const Frame &);

  void actOnHouse(std::uint8_t house, bool addressedOnly, Action action, const Frame &frame,
                  Heard &heard);
  void answerStatus(std::uint8_t house, Heard &heard) const;
  static Address addressOf(std::uint8_t house, std::uint8_t unit);
  static std::string describe(const Address &address, const Module &module);

  std::map<Address, Module> modules_;
  std::array<AddressedUnits, 16> addressed_; // by house nibble
  std::uint8_t lastAddressedHouse_ = 0x6;
};

} // namespace x10::sim
