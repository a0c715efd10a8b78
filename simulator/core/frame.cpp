// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/frame.h"

#include "vocabulary/hexbytes.h"

namespace x10::sim {

Frame Frame::makeAddress(std::uint8_t house, std::uint8_t unit) {
  return Frame{Kind::Address, static_cast<std::uint8_t>(house & 0xF),
               static_cast<std::uint8_t>(unit & 0xF)};
}

Frame Frame::makeFunction(std::uint8_t house, Function function, std::uint8_t dimSteps) {
  Frame frame{Kind::Function, static_cast<std::uint8_t>(house & 0xF),
              static_cast<std::uint8_t>(function)};
  if (frame.isDimOrBright())
    frame.dimSteps = dimSteps > kFullDimSteps ? kFullDimSteps : dimSteps;
  return frame;
}

Frame Frame::makeExtended(std::uint8_t house, std::uint8_t unit, std::uint8_t data,
                          std::uint8_t command) {
  Frame frame{Kind::Extended, static_cast<std::uint8_t>(house & 0xF),
              static_cast<std::uint8_t>(Function::ExtendedCode)};
  frame.unit = unit & 0xF;
  frame.data = data;
  frame.command = command;
  return frame;
}

bool Frame::isDimOrBright() const {
  return kind == Kind::Function && (function() == Function::Dim || function() == Function::Bright);
}

std::uint8_t dimLevelByte(std::uint8_t steps) {
  return static_cast<std::uint8_t>((steps * 210 + Frame::kFullDimSteps / 2) / Frame::kFullDimSteps);
}

int dimPercent(std::uint8_t steps) {
  return (steps * 100 + Frame::kFullDimSteps / 2) / Frame::kFullDimSteps;
}

std::string describe(const Frame &frame) {
  std::string text(1, HouseCode::fromNibble(frame.house).letter());
  switch (frame.kind) {
  case Frame::Kind::Address:
    return text + std::to_string(UnitCode::fromNibble(frame.key).number());
  case Frame::Kind::Function:
    text += ' ';
    text += functionName(frame.function());
    if (frame.isDimOrBright())
      text += ' ' + std::to_string(dimPercent(frame.dimSteps)) + '%';
    return text;
  case Frame::Kind::Extended: {
    const std::uint8_t bytes[] = {frame.data, frame.command};
    return text + std::to_string(UnitCode::fromNibble(frame.unit).number()) + " Extended Code " +
           hexBytes(bytes);
  }
  }
  return text;
}

} // namespace x10::sim
