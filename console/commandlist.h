// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The window's command list as data: each row is the entry shown and the function value the
// send handlers pass for it. Rows 0..15 are the X10 function codes in order; the last entry
// stands for the address alone. The window fills its list from this table and the send
// handlers read the selected row's value, so the two cannot drift apart.

#include "vocabulary/x10codes.h"

#include <array>
#include <cstddef>

struct CommandEntry {
  const char *text;
  int function;
};

inline constexpr std::array<CommandEntry, x10::kFunctionCount + 1> kCommandList = {{
    {"All Units Off", int(x10::Function::AllUnitsOff)},
    {"All Lights On", int(x10::Function::AllLightsOn)},
    {"On", int(x10::Function::On)},
    {"Off", int(x10::Function::Off)},
    {"Dim", int(x10::Function::Dim)},
    {"Bright", int(x10::Function::Bright)},
    {"All Lights Off", int(x10::Function::AllLightsOff)},
    {"Extended", int(x10::Function::ExtendedCode)},
    {"Hail Request", int(x10::Function::HailRequest)},
    {"Hail Ack", int(x10::Function::HailAcknowledge)},
    {"Pre-set dim1", int(x10::Function::PresetDim1)},
    {"Pre-set dim2", int(x10::Function::PresetDim2)},
    {"Extended Data", int(x10::Function::ExtendedDataTransfer)},
    {"Status On", int(x10::Function::StatusOn)},
    {"Status Off", int(x10::Function::StatusOff)},
    {"Status Request", int(x10::Function::StatusRequest)},
    {"-1", x10::kAddressOnly},
}};

// A row's place in the list is its function code, and the address alone comes last.
constexpr bool commandListFollowsTheCodes() {
  for (int row = 0; row < x10::kFunctionCount; ++row)
    if (kCommandList[static_cast<std::size_t>(row)].function != row)
      return false;
  return kCommandList.back().function == x10::kAddressOnly;
}
static_assert(commandListFollowsTheCodes(), "the command list must follow the X10 function codes");
