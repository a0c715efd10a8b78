// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// X10 house codes, unit codes and functions with their 4-bit line codes. House letters and
// unit numbers share one scrambled code table (A and unit 1 are both 0x6, B and 2 are 0xE...).

#include <cstdint>
#include <optional>
#include <string_view>

namespace x10 {

// How many functions X10 has: codes 0..15, in a 4-bit field.
inline constexpr int kFunctionCount = 16;
// The function value that sends the addresses alone, without a function.
inline constexpr int kAddressOnly = -1;

enum class Function : std::uint8_t {
  AllUnitsOff = 0,
  AllLightsOn = 1,
  On = 2,
  Off = 3,
  Dim = 4,
  Bright = 5,
  AllLightsOff = 6,
  ExtendedCode = 7,
  HailRequest = 8,
  HailAcknowledge = 9,
  PresetDim1 = 10,
  PresetDim2 = 11,
  ExtendedDataTransfer = 12,
  StatusOn = 13,
  StatusOff = 14,
  StatusRequest = 15,
};
static_assert(static_cast<int>(Function::StatusRequest) + 1 == kFunctionCount);

// Readable name of a function, as shown in logs and event texts ("On", "All Units Off").
std::string_view functionName(Function f);
// The function whose 4-bit code is the low nibble of code.
Function functionFromCode(std::uint8_t code);

// Pre-set dim carries a 5-bit level where a function byte has its house code: Pre-set Dim 2
// gives bit 4, and bits 0..3 travel bit-reversed in the house nibble, so levels 0..15 read as
// the houses M N O P C D A B E F G H K L I J. Driver and simulator both go through these two.
inline constexpr int kMaxPresetLevel = 31;
struct PresetDimCode {
  Function function;
  std::uint8_t houseNibble;
};
// Level 0..31; outside that it is clamped.
PresetDimCode presetDimCode(int level);
int presetLevel(std::uint8_t houseNibble, Function function);

class HouseCode {
public:
  // 'A'..'P' in either case; anything else gives nothing.
  static std::optional<HouseCode> fromLetter(char letter);
  static HouseCode fromNibble(std::uint8_t nibble);

  char letter() const { return letter_; }
  std::uint8_t nibble() const;

  friend bool operator==(HouseCode, HouseCode) = default;

private:
  explicit HouseCode(char letter) : letter_(letter) {}
  char letter_;
};

class UnitCode {
public:
  // 1..16; anything else gives nothing.
  static std::optional<UnitCode> fromNumber(int number);
  static UnitCode fromNibble(std::uint8_t nibble);

  int number() const { return number_; }
  std::uint8_t nibble() const;

  friend bool operator==(UnitCode, UnitCode) = default;

private:
  explicit UnitCode(int number) : number_(number) {}
  int number_;
};

} // namespace x10
