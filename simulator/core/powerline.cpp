// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/powerline.h"

namespace x10::sim {
namespace {

void switchOn(Module &module, const Frame &) { module.on = true; }
void switchOff(Module &module, const Frame &) { module.on = false; }

void lampOn(Module &module, const Frame &) {
  if (module.kind == ModuleKind::Lamp) {
    module.on = true;
    module.brightness = Frame::kFullDimSteps;
  }
}

void lampOff(Module &module, const Frame &) {
  if (module.kind == ModuleKind::Lamp)
    module.on = false;
}

// A lamp that is off comes on at full brightness before it dims, as lamp modules do.
void dimOrBright(Module &module, const Frame &frame) {
  if (module.kind != ModuleKind::Lamp)
    return;
  if (!module.on)
    module.brightness = Frame::kFullDimSteps;
  module.on = true;
  const int step = frame.function() == Function::Dim ? -frame.dimSteps : frame.dimSteps;
  const int level = module.brightness + step;
  module.brightness =
      static_cast<std::uint8_t>(level < 0                      ? 0
                                : level > Frame::kFullDimSteps ? Frame::kFullDimSteps
                                                               : level);
}

// Pre-set dim carries a 5-bit level in the function and the house nibble (see presetLevel).
void presetDim(Module &module, const Frame &frame) {
  if (module.kind != ModuleKind::Lamp)
    return;
  const int level = presetLevel(frame.house, frame.function());
  module.on = level > 0;
  module.brightness = static_cast<std::uint8_t>((level * Frame::kFullDimSteps + 15) / 31);
}

// Extended command 0x31 sets a lamp's level from data 0..63.
void extendedPresetDim(Module &module, const Frame &frame) {
  if (module.kind != ModuleKind::Lamp || frame.command != 0x31)
    return;
  const int level = frame.data & 0x3F;
  module.on = level > 0;
  module.brightness = static_cast<std::uint8_t>((level * Frame::kFullDimSteps + 31) / 63);
}

} // namespace

PowerLine PowerLine::withDemoModules() {
  PowerLine line;
  const auto a = *HouseCode::fromLetter('A');
  line.setModule(a, *UnitCode::fromNumber(1), ModuleKind::Lamp);
  line.setModule(a, *UnitCode::fromNumber(2), ModuleKind::Appliance);
  line.setModule(a, *UnitCode::fromNumber(3), ModuleKind::TwoWay);
  line.setModule(*HouseCode::fromLetter('B'), *UnitCode::fromNumber(3), ModuleKind::Lamp);
  return line;
}

PowerLine::Heard PowerLine::hear(const Frame &frame) {
  Heard heard;
  if (frame.kind == Frame::Kind::Address) {
    addressed_[frame.house].address(frame.key);
    lastAddressedHouse_ = frame.house;
    return heard;
  }
  if (frame.kind == Frame::Kind::Extended) {
    if (auto it = modules_.find(addressOf(frame.house, frame.unit)); it != modules_.end()) {
      const std::string before = it->second.state();
      extendedPresetDim(it->second, frame);
      if (it->second.state() != before)
        heard.changes.push_back(describe(it->first, it->second));
    }
    return heard;
  }
  // Pre-set dim has a level where the house code goes, so it acts on the last house addressed.
  const bool preset =
      frame.function() == Function::PresetDim1 || frame.function() == Function::PresetDim2;
  const std::uint8_t house = preset ? lastAddressedHouse_ : frame.house;
  switch (frame.function()) {
  case Function::AllUnitsOff:
    actOnHouse(house, false, switchOff, frame, heard);
    break;
  case Function::AllLightsOn:
    actOnHouse(house, false, lampOn, frame, heard);
    break;
  case Function::AllLightsOff:
    actOnHouse(house, false, lampOff, frame, heard);
    break;
  case Function::On:
    actOnHouse(house, true, switchOn, frame, heard);
    break;
  case Function::Off:
    actOnHouse(house, true, switchOff, frame, heard);
    break;
  case Function::Dim:
  case Function::Bright:
    actOnHouse(house, true, dimOrBright, frame, heard);
    break;
  case Function::PresetDim1:
  case Function::PresetDim2:
    actOnHouse(house, true, presetDim, frame, heard);
    break;
  case Function::StatusRequest:
    answerStatus(house, heard);
    break;
  default:
    break;
  }
  addressed_[house].functionHeard();
  return heard;
}

void PowerLine::actOnHouse(std::uint8_t house, bool addressedOnly, Action action,
                           const Frame &frame, Heard &heard) {
  const char letter = HouseCode::fromNibble(house).letter();
  for (auto &[address, module] : modules_) {
    if (address.first != letter)
      continue;
    if (addressedOnly &&
        !addressed_[house].contains(UnitCode::fromNumber(address.second)->nibble()))
      continue;
    const std::string before = module.state();
    action(module, frame);
    if (module.state() != before)
      heard.changes.push_back(describe(address, module));
  }
}

// A two-way module answers with its address and then Status On or Status Off.
void PowerLine::answerStatus(std::uint8_t house, Heard &heard) const {
  const char letter = HouseCode::fromNibble(house).letter();
  for (const auto &[address, module] : modules_) {
    const std::uint8_t unit = UnitCode::fromNumber(address.second)->nibble();
    if (address.first != letter || module.kind != ModuleKind::TwoWay ||
        !addressed_[house].contains(unit))
      continue;
    heard.replies.push_back(Frame::makeAddress(house, unit));
    heard.replies.push_back(
        Frame::makeFunction(house, module.on ? Function::StatusOn : Function::StatusOff));
  }
}

void PowerLine::setModule(HouseCode house, UnitCode unit, std::optional<ModuleKind> kind) {
  const Address address{house.letter(), unit.number()};
  if (kind)
    modules_[address] = Module{*kind};
  else
    modules_.erase(address);
}

const Module *PowerLine::module(HouseCode house, UnitCode unit) const {
  const auto it = modules_.find({house.letter(), unit.number()});
  return it == modules_.end() ? nullptr : &it->second;
}

std::vector<std::string> PowerLine::listing() const {
  std::vector<std::string> lines;
  for (const auto &[address, module] : modules_)
    lines.push_back(describe(address, module));
  return lines;
}

PowerLine::Address PowerLine::addressOf(std::uint8_t house, std::uint8_t unit) {
  return {HouseCode::fromNibble(house).letter(), UnitCode::fromNibble(unit).number()};
}

std::string PowerLine::describe(const Address &address, const Module &module) {
  return address.first + std::to_string(address.second) + ' ' + module.state();
}

} // namespace x10::sim
