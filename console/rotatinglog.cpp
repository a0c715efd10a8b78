// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/rotatinglog.h"

#include <utility>

RotatingLog::RotatingLog(std::filesystem::path file, std::uintmax_t maxBytes)
    : file_(std::move(file)), maxBytes_(maxBytes) {
  std::error_code ec;
  std::filesystem::create_directories(file_.parent_path(), ec);
  size_ = std::filesystem::file_size(file_, ec);
  if (ec)
    size_ = 0;
  out_.open(file_, std::ios::binary | std::ios::app);
}

void RotatingLog::append(std::string_view line) {
  const std::uintmax_t length = line.size() + 1;
  if (size_ > 0 && size_ + length > maxBytes_)
    startAnew();
  out_ << line << '\n';
  out_.flush();
  size_ += length;
}

void RotatingLog::startAnew() {
  out_.close();
  std::filesystem::path old = file_;
  old += ".old";
  std::error_code ec;
  std::filesystem::remove(old, ec); // a rename onto it would fail on Windows
  std::filesystem::rename(file_, old, ec);
  out_.open(file_, std::ios::binary | std::ios::trunc);
  size_ = 0;
}
