// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Checks the arguments of a send and turns them into the transmissions that carry it: one
// address per unit, then the function. Every argument is checked before anything is planned,
// so a bad one never leaves a command half sent.

#include "controller/protocol/transmission.h"
#include "vocabulary/result.h"

#include <string>
#include <string_view>
#include <vector>

namespace x10 {

// house: one letter A..P, either case, blanks ignored. devices: "1".."16", a list such as
// "1,3,5-7", or empty (function only). function: 0..15, or -1 for the addresses alone.
// dimPercent 0..100 is used by Dim/Bright (dims = round(22 x dim / 100), halves up: the one
// percentage rule the simulator uses too, 45 % = 10 dims) and by pre-set dim
// (level = round(31 x dim / 100), Pre-set Dim 1 or 2 chosen by the level, whichever of the
// two was asked for). data1/data2 (0..255, whole numbers) are the data and command bytes of an
// extended code (function 7), sent once per unit. A refused argument gives a text that names
// the argument and its value, then what to enter: "Dim Value: 101 is out of range; enter a
// number from 0 to 100."
Result<std::vector<Transmission>, std::string> planSend(std::string_view house,
                                                        std::string_view devices, int function,
                                                        double dimPercent, double data1,
                                                        double data2);

} // namespace x10
