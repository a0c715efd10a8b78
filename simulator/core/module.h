// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A receiver module on the power line: a lamp that dims, an appliance switch, or a two-way
// switch that answers a Status Request.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace x10::sim {

enum class ModuleKind { Lamp, Appliance, TwoWay };

std::string_view kindName(ModuleKind kind);
std::optional<ModuleKind> moduleKindFromName(std::string_view name);

struct Module {
  ModuleKind kind = ModuleKind::Lamp;
  bool on = false;
  std::uint8_t brightness = 22; // lamps: dim steps of 22 while on

  // "lamp on 45%", "appliance off"
  std::string state() const;
};

} // namespace x10::sim
