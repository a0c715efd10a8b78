// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/protocol/commandtext.h"

#include "vocabulary/hexbytes.h"

#include <cmath>

namespace x10 {

int dimPercentOfLevel(int level) { return static_cast<int>(std::lround(level * 100.0 / 210.0)); }
int percentOfPresetLevel(int level) { return static_cast<int>(std::lround(level * 100.0 / 31.0)); }

std::string commandText(const ReceivedCommand &c) {
  std::string text(1, c.house.letter());
  for (std::size_t i = 0; i < c.units.size(); ++i)
    text += (i ? "," : "") + std::to_string(c.units[i].number());
  if (!c.function)
    return text;
  switch (*c.function) {
  case Function::Dim:
  case Function::Bright:
    return text + ' ' + std::string(functionName(*c.function)) + ' ' +
           std::to_string(dimPercentOfLevel(c.level)) + '%';
  case Function::PresetDim1:
  case Function::PresetDim2:
    return text + " Pre-set Dim " + std::to_string(percentOfPresetLevel(c.level)) + '%';
  case Function::ExtendedCode:
    return text + " Extended data " + hexByte(c.data) + " command " + hexByte(c.command);
  default:
    return text + ' ' + std::string(functionName(*c.function));
  }
}

} // namespace x10
