// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Numbers in messages. The shortest text that reads back as the same double ("255.0000001",
// "1e+308", "50"), so a message never rounds away the difference that made a value wrong and
// never spells out hundreds of digits.

#include <string>

namespace x10 {

std::string numberText(double value);

} // namespace x10
