// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Numbers in messages. The shortest text that reads back as the same double ("255.0000001",
// "1e+308", "50"), so a message never rounds away the difference that made a value wrong and
// never spells out hundreds of digits.

#include <string>

namespace x10 {

std::string numberText(double value);

// The one form of a range message, plain words first: "101 is out of range; enter a number
// from 0 to 100." With whole set, the value is a fraction or out of range and "a whole number"
// is asked for: "1.5 is not a whole number; enter a whole number from 0 to 255."
std::string rangeMessage(double value, double low, double high, bool whole = false);

} // namespace x10
