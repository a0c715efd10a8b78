// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The bytes of the CM11A serial protocol and the exchanges the PC starts, recognised by their
// first byte. Standard and extended transmissions are told apart by the header's low bits:
// bit 2 is always set, bit 1 marks a function, bit 0 an extended transmission.

#include "simulator/core/frame.h"

#include <cstdint>
#include <span>

namespace x10::sim::wire {

constexpr std::uint8_t kGoAhead = 0x00;
constexpr std::uint8_t kReady = 0x55;
constexpr std::uint8_t kPoll = 0x5A;
constexpr std::uint8_t kPowerFailPoll = 0xA5;
constexpr std::uint8_t kPollAnswer = 0xC3;
constexpr std::uint8_t kStatusRequest = 0x8B;
constexpr std::uint8_t kSetClockHeader = 0x9B;
constexpr std::uint8_t kRingEnable = 0xEB;
constexpr std::uint8_t kRingDisable = 0xDB;
constexpr std::uint8_t kDownload = 0xFB;

constexpr std::size_t kStatusReplySize = 14;
constexpr std::uint8_t kFirmwareRevision = 1;

// Exchanges with a checksum handshake.
enum class Command { None, Standard, Extended, SetClock, RingEnable, RingDisable, Download };

Command commandStartedBy(std::uint8_t first);
// Bytes of the whole command, its first byte included.
std::size_t commandLength(Command command);
// The checksum the interface answers. A set-clock and a download leave their first byte out;
// ring enable/disable is a single byte, its own checksum. A download is 0xFB, a 2-byte EEPROM
// address (high byte first) and 16 data bytes: 19 in all.
std::uint8_t checksumOf(Command command, std::span<const std::uint8_t> bytes);
// The power-line frame of a standard or extended transmission.
Frame frameOf(Command command, std::span<const std::uint8_t> bytes);

} // namespace x10::sim::wire
