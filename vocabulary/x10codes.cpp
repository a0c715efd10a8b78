// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "vocabulary/x10codes.h"

#include <algorithm>
#include <array>

namespace x10 {
namespace {

// Line code of house A..P, and equally of unit 1..16, by position.
constexpr std::array<std::uint8_t, 16> kCodeOfPosition = {0x6, 0xE, 0x2, 0xA, 0x1, 0x9, 0x5, 0xD,
                                                          0x7, 0xF, 0x3, 0xB, 0x0, 0x8, 0x4, 0xC};

constexpr std::array<std::uint8_t, 16> positionOfCode() {
  std::array<std::uint8_t, 16> positions{};
  for (std::uint8_t i = 0; i < 16; ++i)
    positions[kCodeOfPosition[i]] = i;
  return positions;
}
constexpr std::array<std::uint8_t, 16> kPositionOfCode = positionOfCode();

constexpr std::array<std::string_view, kFunctionCount> kFunctionNames = {"All Units Off",
                                                                         "All Lights On",
                                                                         "On",
                                                                         "Off",
                                                                         "Dim",
                                                                         "Bright",
                                                                         "All Lights Off",
                                                                         "Extended Code",
                                                                         "Hail Request",
                                                                         "Hail Acknowledge",
                                                                         "Pre-set Dim 1",
                                                                         "Pre-set Dim 2",
                                                                         "Extended Data Transfer",
                                                                         "Status On",
                                                                         "Status Off",
                                                                         "Status Request"};

std::uint8_t reverseNibble(std::uint8_t nibble) {
  return static_cast<std::uint8_t>((nibble & 1) << 3 | (nibble & 2) << 1 | (nibble & 4) >> 1 |
                                   (nibble & 8) >> 3);
}

} // namespace

PresetDimCode presetDimCode(int level) {
  level = std::clamp(level, 0, kMaxPresetLevel);
  return {level >= 16 ? Function::PresetDim2 : Function::PresetDim1,
          reverseNibble(static_cast<std::uint8_t>(level & 0xF))};
}

int presetLevel(std::uint8_t houseNibble, Function function) {
  return (function == Function::PresetDim2 ? 16 : 0) + reverseNibble(houseNibble & 0xF);
}

std::string_view functionName(Function f) {
  return kFunctionNames[static_cast<std::uint8_t>(f) & 0xF];
}

Function functionFromCode(std::uint8_t code) { return static_cast<Function>(code & 0xF); }

std::optional<HouseCode> HouseCode::fromLetter(char letter) {
  if (letter >= 'a' && letter <= 'p')
    letter = static_cast<char>(letter - 'a' + 'A');
  if (letter < 'A' || letter > 'P')
    return std::nullopt;
  return HouseCode(letter);
}

HouseCode HouseCode::fromNibble(std::uint8_t nibble) {
  return HouseCode(static_cast<char>('A' + kPositionOfCode[nibble & 0xF]));
}

std::uint8_t HouseCode::nibble() const {
  return kCodeOfPosition[static_cast<std::size_t>(letter_ - 'A')];
}

std::optional<UnitCode> UnitCode::fromNumber(int number) {
  if (number < 1 || number > 16)
    return std::nullopt;
  return UnitCode(number);
}

UnitCode UnitCode::fromNibble(std::uint8_t nibble) {
  return UnitCode(kPositionOfCode[nibble & 0xF] + 1);
}

std::uint8_t UnitCode::nibble() const {
  return kCodeOfPosition[static_cast<std::size_t>(number_ - 1)];
}

} // namespace x10
