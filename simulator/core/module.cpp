// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/module.h"

#include "simulator/core/frame.h"

#include <array>
#include <utility>

namespace x10::sim {
namespace {

constexpr std::array<std::pair<ModuleKind, std::string_view>, 3> kNames = {
    {{ModuleKind::Lamp, "lamp"},
     {ModuleKind::Appliance, "appliance"},
     {ModuleKind::TwoWay, "two-way"}}};

} // namespace

std::string_view kindName(ModuleKind kind) {
  for (const auto &[k, name] : kNames)
    if (k == kind)
      return name;
  return "module";
}

std::optional<ModuleKind> moduleKindFromName(std::string_view name) {
  for (const auto &[kind, known] : kNames)
    if (known == name)
      return kind;
  return std::nullopt;
}

std::string Module::state() const {
  std::string text(kindName(kind));
  text += on ? " on" : " off";
  if (kind == ModuleKind::Lamp && on)
    text += ' ' + std::to_string(dimPercent(brightness)) + '%';
  return text;
}

} // namespace x10::sim
