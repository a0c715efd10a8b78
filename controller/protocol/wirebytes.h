// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Single bytes with a fixed meaning on the line between the PC and the interface.

#include <cstdint>

namespace x10::wire {

inline constexpr std::uint8_t kPoll = 0x5A;          // interface: "I have received data"
inline constexpr std::uint8_t kPollAnswer = 0xC3;    // PC: "send it"
inline constexpr std::uint8_t kPowerFailPoll = 0xA5; // interface: "set my clock"
inline constexpr std::uint8_t kGoAhead = 0x00;       // PC: checksum right, transmit
inline constexpr std::uint8_t kReady = 0x55;         // interface: transmission done
inline constexpr std::uint8_t kStatusRequest = 0x8B; // PC: answered by a 14-byte status reply
inline constexpr std::uint8_t kSetClockHeader = 0x9B;

// Largest size byte of an upload: the mask plus at most 8 data bytes.
inline constexpr std::uint8_t kMaxUploadSize = 9;

} // namespace x10::wire
