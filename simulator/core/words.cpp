// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/words.h"

#include <cctype>
#include <charconv>
#include <type_traits>

namespace x10::sim::words {

std::vector<std::string> split(std::string_view line) {
  std::vector<std::string> result;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i])))
      ++i;
    const std::size_t begin = i;
    while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
      ++i;
    if (i > begin)
      result.emplace_back(line.substr(begin, i - begin));
  }
  return result;
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> result;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    result.emplace_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return result;
}

std::string lower(std::string_view word) {
  std::string text(word);
  for (char &c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool equalNoCase(std::string_view a, std::string_view b) { return lower(a) == lower(b); }

namespace {

template <typename T>
std::optional<T> whole(std::string_view word, int base = 10) {
  T value{};
  const char *end = word.data() + word.size();
  std::from_chars_result result;
  if constexpr (std::is_floating_point_v<T>)
    result = std::from_chars(word.data(), end, value);
  else
    result = std::from_chars(word.data(), end, value, base);
  if (word.empty() || result.ec != std::errc{} || result.ptr != end)
    return std::nullopt;
  return value;
}

} // namespace

std::optional<int> integer(std::string_view word) { return whole<int>(word); }

std::optional<double> decimal(std::string_view word) { return whole<double>(word); }

std::optional<std::uint8_t> parseHexByte(std::string_view word) {
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X'))
    word.remove_prefix(2);
  if (word.size() > 2)
    return std::nullopt;
  const auto value = whole<unsigned>(word, 16);
  if (!value)
    return std::nullopt;
  return static_cast<std::uint8_t>(*value);
}

} // namespace x10::sim::words
