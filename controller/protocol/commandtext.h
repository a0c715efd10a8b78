// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// One received command as a line of text: "A1 On", "A1,2 Off", "A Dim 45%",
// "A5 Extended data 0x1F command 0x31", "B3" (an address alone). Stable: callers may parse it.

#include "controller/protocol/receivedecoder.h"

#include <string>

namespace x10 {

std::string commandText(const ReceivedCommand &command);
// Brightness change of a Dim/Bright level byte in per cent: round(100 x level / 210), so the
// interface's 95 for 10 dims of 22 reads 45 %, as it was sent.
int dimPercentOfLevel(int level);
// Pre-set dim level 0..31 in per cent, rounded.
int percentOfPresetLevel(int level);

} // namespace x10
