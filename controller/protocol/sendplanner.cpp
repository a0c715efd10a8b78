// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/protocol/sendplanner.h"

#include "vocabulary/numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace x10 {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string withoutBlanks(std::string_view text) {
  std::string kept;
  std::copy_if(text.begin(), text.end(), std::back_inserter(kept),
               [](char c) { return !isBlank(c); });
  return kept;
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

using Refusal = Unexpected<std::string>;

Result<HouseCode, std::string> parseHouse(std::string_view text) {
  const std::string letters = withoutBlanks(text);
  if (letters.size() == 1)
    if (auto house = HouseCode::fromLetter(letters[0]))
      return *house;
  return Refusal("House code: " + quoted(text) +
                 " is not a house code; enter one letter from A to P.");
}

std::optional<int> parseUnitNumber(std::string_view text) {
  int n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < 1 || n > 16)
    return std::nullopt;
  return n;
}

// "1,3,5-7" -> 1 3 5 6 7, in the order given, each unit once.
Result<std::vector<UnitCode>, std::string> parseUnits(std::string_view text) {
  const std::string list = withoutBlanks(text);
  std::vector<UnitCode> units;
  const auto refuse = [&] {
    return Refusal("Device code: " + quoted(text) +
                   " is not a unit or a list of units; enter a unit from 1 to 16, a list such as "
                   "1,3,5-7, or nothing.");
  };
  std::size_t start = 0;
  while (start < list.size()) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const std::string_view item(list.data() + start, comma - start);
    const std::size_t dash = item.find('-');
    const auto first = parseUnitNumber(item.substr(0, dash));
    const auto last =
        dash == std::string_view::npos ? first : parseUnitNumber(item.substr(dash + 1));
    if (!first || !last || *last < *first)
      return refuse();
    for (int n = *first; n <= *last; ++n)
      if (std::find(units.begin(), units.end(), *UnitCode::fromNumber(n)) == units.end())
        units.push_back(*UnitCode::fromNumber(n));
    start = comma + 1;
    if (comma + 1 == list.size())
      return refuse(); // trailing comma
  }
  return units;
}

Result<void, std::string> requireRange(const char *name, double value, double low, double high,
                                       bool whole) {
  const bool ok = std::isfinite(value) && value >= low && value <= high &&
                  (!whole || value == std::floor(value));
  if (!ok)
    return Refusal(std::string(name) + ": " + rangeMessage(value, low, high, whole));
  return {};
}

int scaled(double percent, int full) {
  return static_cast<int>(std::lround(full * percent / 100.0));
}

} // namespace

Result<std::vector<Transmission>, std::string> planSend(std::string_view houseText,
                                                        std::string_view devices, int functionCode,
                                                        double dimPercent, double data1,
                                                        double data2) {
  const auto house = parseHouse(houseText);
  if (!house)
    return Refusal(house.error());
  const auto units = parseUnits(devices);
  if (!units)
    return Refusal(units.error());
  if (functionCode < kAddressOnly || functionCode >= kFunctionCount)
    return Refusal("Function: " + std::to_string(functionCode) +
                   " is out of range; enter a number from 0 to 15, or -1 for the address alone.");
  const auto function = static_cast<Function>(functionCode);
  const bool addressOnly = functionCode == kAddressOnly;
  const bool extended = !addressOnly && function == Function::ExtendedCode;
  const bool stepped = !addressOnly && (function == Function::Dim || function == Function::Bright);
  const bool preset =
      !addressOnly && (function == Function::PresetDim1 || function == Function::PresetDim2);
  if (stepped || preset)
    if (auto dim = requireRange("Dim Value", dimPercent, 0, 100, false); !dim)
      return Refusal(dim.error());
  if (extended) {
    if (auto data = requireRange("Data1", data1, 0, 255, true); !data)
      return Refusal(data.error());
    if (auto data = requireRange("Data2", data2, 0, 255, true); !data)
      return Refusal(data.error());
  }
  if (units->empty() && (addressOnly || extended))
    return Refusal("Device code: " + quoted(devices) + " names no unit; " +
                   (extended ? "an extended code" : "an address alone") +
                   " needs one: enter a unit from 1 to 16.");

  std::vector<Transmission> plan;
  if (extended) {
    for (UnitCode u : *units)
      plan.push_back(Transmission::extended(*house, u, static_cast<std::uint8_t>(data1),
                                            static_cast<std::uint8_t>(data2)));
    return plan;
  }
  for (UnitCode u : *units)
    plan.push_back(Transmission::address(*house, u));
  if (preset)
    plan.push_back(Transmission::presetDim(scaled(dimPercent, kMaxPresetLevel)));
  else if (!addressOnly)
    plan.push_back(
        Transmission::function(*house, function, stepped ? scaled(dimPercent, kMaxDims) : 0));
  return plan;
}

} // namespace x10
