// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Bytes as spaced hex ("04 66") for logs and error texts.

#include <cstdint>
#include <span>
#include <string>

namespace x10 {

std::string hexBytes(std::span<const std::uint8_t> bytes);
std::string hexByte(std::uint8_t byte); // "0x6A"

} // namespace x10
