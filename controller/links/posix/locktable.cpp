// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/posix/locktable.h"

#include <charconv>
#include <vector>

namespace x10 {

namespace {

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> out;
  while (!line.empty()) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos)
      break;
    line.remove_prefix(start);
    const std::size_t end = std::min(line.find_first_of(" \t"), line.size());
    out.push_back(line.substr(0, end));
    line.remove_prefix(end);
  }
  return out;
}

// The whole of text as a number in base; nothing for anything else.
template <typename T>
std::optional<T> number(std::string_view text, int base) {
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size() || text.empty())
    return std::nullopt;
  return value;
}

// "maj:min:inode" as the kernel writes it: the device numbers in hexadecimal.
bool sameFile(std::string_view id, const FileId &file) {
  const std::size_t first = id.find(':');
  const std::size_t second = id.find(':', first == std::string_view::npos ? id.size() : first + 1);
  if (second == std::string_view::npos)
    return false;
  const auto major = number<unsigned>(id.substr(0, first), 16);
  const auto minor = number<unsigned>(id.substr(first + 1, second - first - 1), 16);
  const auto inode = number<std::uint64_t>(id.substr(second + 1), 10);
  return major == file.major && minor == file.minor && inode == file.inode;
}

} // namespace

std::optional<int> flockHolder(std::string_view table, const FileId &file) {
  while (!table.empty()) {
    const std::size_t end = std::min(table.find('\n'), table.size());
    const std::vector<std::string_view> w = words(table.substr(0, end));
    table.remove_prefix(std::min(end + 1, table.size()));
    // number, type, advisory, access, PID, file
    if (w.size() < 6 || w[1] != "FLOCK" || !sameFile(w[5], file))
      continue;
    if (const auto pid = number<int>(w[4], 10); pid && *pid > 0)
      return pid;
  }
  return std::nullopt;
}

} // namespace x10
