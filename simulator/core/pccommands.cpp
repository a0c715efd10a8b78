// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/pccommands.h"

#include <numeric>

namespace x10::sim::wire {

Command commandStartedBy(std::uint8_t first) {
  switch (first) {
  case kSetClockHeader:
    return Command::SetClock;
  case kRingEnable:
    return Command::RingEnable;
  case kRingDisable:
    return Command::RingDisable;
  case kDownload:
    return Command::Download;
  default:
    break;
  }
  if (first & 0x04)
    return (first & 0x01) ? Command::Extended : Command::Standard;
  return Command::None;
}

std::size_t commandLength(Command command) {
  switch (command) {
  case Command::Standard:
    return 2;
  case Command::Extended:
    return 5;
  case Command::SetClock:
    return 7;
  case Command::RingEnable:
  case Command::RingDisable:
    return 1;
  case Command::Download:
    return 19;
  case Command::None:
    break;
  }
  return 0;
}

std::uint8_t checksumOf(Command command, std::span<const std::uint8_t> bytes) {
  const bool skipFirst = command == Command::SetClock || command == Command::Download;
  const auto begin = bytes.begin() + (skipFirst && !bytes.empty() ? 1 : 0);
  return static_cast<std::uint8_t>(std::accumulate(begin, bytes.end(), 0u) & 0xFF);
}

Frame frameOf(Command command, std::span<const std::uint8_t> bytes) {
  const std::uint8_t house = bytes[1] >> 4;
  if (command == Command::Extended)
    return Frame::makeExtended(house, bytes[2], bytes[3], bytes[4]);
  if (bytes[0] & 0x02)
    return Frame::makeFunction(house, functionFromCode(bytes[1]),
                               static_cast<std::uint8_t>(bytes[0] >> 3));
  return Frame::makeAddress(house, bytes[1] & 0xF);
}

} // namespace x10::sim::wire
