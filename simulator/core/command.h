// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The simulator's command language: one command a line, from the terminal or a script.
// The syntax is described in simulator/README.md and by helpText().

#include "simulator/core/frame.h"
#include "simulator/core/module.h"
#include "simulator/core/simtime.h"
#include "vocabulary/result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace x10::sim {

namespace cmd {
struct Blank {};
struct Traffic {
  std::vector<Frame> frames;
};
struct Storm {
  int count;
  std::vector<Frame> traffic;
}; // no traffic: numbered commands
struct ShowModules {};
struct SetModule {
  HouseCode house;
  UnitCode unit;
  std::optional<ModuleKind> kind;
};
struct PowerFail {};
struct WrongChecksums {
  int count;
};
struct ChecksumIs5A {};
struct Collide {
  std::vector<Frame> frames;
};
struct Silence {
  std::optional<Duration> length;
};
struct Garbage {
  std::vector<std::uint8_t> bytes;
};
struct TruncateUpload {
  std::size_t bytes;
};
struct HangUp {};
struct ClearFaults {};
struct Wait {
  Duration length;
};
struct Repeat {};
struct Help {};
struct Quit {};
} // namespace cmd

using Command = std::variant<cmd::Blank, cmd::Traffic, cmd::Storm, cmd::ShowModules, cmd::SetModule,
                             cmd::PowerFail, cmd::WrongChecksums, cmd::ChecksumIs5A, cmd::Collide,
                             cmd::Silence, cmd::Garbage, cmd::TruncateUpload, cmd::HangUp,
                             cmd::ClearFaults, cmd::Wait, cmd::Repeat, cmd::Help, cmd::Quit>;

// The command, or a message that says what was expected.
Result<Command, std::string> parseCommand(std::string_view line);

std::string_view helpText();

} // namespace x10::sim
