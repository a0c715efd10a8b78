// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/protocol/upload.h"

#include "controller/protocol/wirebytes.h"

namespace x10 {
namespace {

// Bytes that follow a function byte and belong to it.
std::size_t trailingBytes(Function f) {
  if (f == Function::Dim || f == Function::Bright)
    return 1;
  return f == Function::ExtendedCode ? 3 : 0;
}

ReceivedElement functionElement(std::uint8_t byte, std::span<const std::uint8_t> trailing) {
  ReceivedElement e;
  e.houseNibble = byte >> 4;
  const Function f = functionFromCode(byte);
  e.function = f;
  if (f == Function::PresetDim1 || f == Function::PresetDim2)
    e.level = presetLevel(e.houseNibble, f);
  else if (trailing.size() == 1)
    e.level = trailing[0];
  else if (trailing.size() == 3) {
    e.extendedUnit = UnitCode::fromNibble(trailing[0]);
    e.data = trailing[1];
    e.command = trailing[2];
  }
  return e;
}

} // namespace

std::optional<Upload> Upload::parse(std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || bytes[0] == 0 || bytes[0] > wire::kMaxUploadSize ||
      bytes.size() != bytes[0] + 1u)
    return std::nullopt;
  const std::uint8_t mask = bytes[1];
  const auto data = bytes.subspan(2);
  Upload upload;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (!(mask >> i & 1)) {
      ReceivedElement e;
      e.houseNibble = data[i] >> 4;
      e.unit = UnitCode::fromNibble(data[i]);
      upload.elements.push_back(e);
      continue;
    }
    const std::size_t extra = trailingBytes(functionFromCode(data[i]));
    if (i + extra >= data.size()) {
      upload.truncated = true;
      break;
    }
    upload.elements.push_back(functionElement(data[i], data.subspan(i + 1, extra)));
    i += extra;
  }
  return upload;
}

} // namespace x10
