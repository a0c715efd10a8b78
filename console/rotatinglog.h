// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A log file kept within a size: a line that would take it past its bound first moves it to
// <name>.old (replacing the one before) and starts it anew, so at most twice the bound stays on
// the disk. Each line is flushed as it is written, so a program ended abruptly loses none. A
// file that cannot be written is skipped silently: logging never stops the program. The
// Windows console keeps its messages in one (console/windows/messagelog.cpp).

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>

class RotatingLog {
public:
  RotatingLog(std::filesystem::path file, std::uintmax_t maxBytes);

  // Appends line and a newline.
  void append(std::string_view line);

private:
  void startAnew();

  std::filesystem::path file_;
  std::uintmax_t maxBytes_;
  std::uintmax_t size_ = 0;
  std::ofstream out_;
};
