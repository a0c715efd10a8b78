// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// What would let this user open a device it may not: joining the device's group when that
// group may read and write it (dialout, as a rule), a new login when the user joined it after
// this session began, or else word of the owner and mode that no group membership gets past.

#include <filesystem>
#include <string>

std::string accessAdvice(const std::filesystem::path &device);
