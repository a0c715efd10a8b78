// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/protocol/statusreply.h"

#include <bit>

namespace x10 {
namespace {

std::uint16_t lowFirst(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

} // namespace

Result<StatusReply, std::string> StatusReply::parse(std::span<const std::uint8_t> b) {
  if (b.size() != kStatusReplySize)
    return Unexpected(std::to_string(b.size()) + " bytes, not " + std::to_string(kStatusReplySize));
  StatusReply r;
  r.batteryTimer = lowFirst(b, 0);
  r.second = b[2];
  r.minute = b[3];
  r.dayOfYear = (b[6] >> 7) << 8 | b[5];
  if (r.second > 59 || r.minute > 119 || b[4] > 11 || r.dayOfYear > 365)
    return Unexpected(std::string("clock fields out of range"));
  r.hour = b[4] * 2 + r.minute / 60;
  r.minute %= 60;
  r.dayMask = b[6] & 0x7F;
  if (std::popcount(r.dayMask) != 1) // the interface's clock is always on one day
    return Unexpected(std::string(r.dayMask == 0 ? "no day of the week set"
                                                 : "more than one day of the week set"));
  r.monitoredHouse = HouseCode::fromNibble(b[7] >> 4);
  r.firmware = b[7] & 0xF;
  r.addressed = lowFirst(b, 8);
  r.onOff = lowFirst(b, 10);
  r.dimmed = lowFirst(b, 12);
  return r;
}

} // namespace x10
