// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/netport/serverrefusal.h"

#include <algorithm>
#include <string_view>

namespace x10 {

namespace {
constexpr std::string_view kInUse = "Port already in use";
}

ServerRefusal::Bytes ServerRefusal::pass(std::span<const std::uint8_t> bytes) {
  if (decided_)
    return refused_ ? Bytes{} : Bytes(bytes.begin(), bytes.end());
  held_.insert(held_.end(), bytes.begin(), bytes.end());
  const std::size_t n = std::min(held_.size(), kInUse.size());
  if (!std::equal(held_.begin(), held_.begin() + static_cast<long>(n), kInUse.begin())) {
    decided_ = true;
    Bytes data;
    data.swap(held_);
    return data;
  }
  if (held_.size() >= kInUse.size()) {
    decided_ = true;
    refused_ = true;
    held_.clear();
  }
  return {};
}

} // namespace x10
