// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Small word-level helpers of the command language: splitting, case folding, numbers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace x10::sim::words {

std::vector<std::string> split(std::string_view line);
std::vector<std::string> splitLines(std::string_view text);
std::string lower(std::string_view word);
bool equalNoCase(std::string_view a, std::string_view b);

std::optional<int> integer(std::string_view word);
std::optional<double> decimal(std::string_view word);
// "1F", "1f" or "0x1F"
std::optional<std::uint8_t> parseHexByte(std::string_view word);

} // namespace x10::sim::words
