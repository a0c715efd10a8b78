// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/command.h"

#include "simulator/core/storm.h"
#include "simulator/core/trafficparser.h"
#include "simulator/core/words.h"

#include <span>

namespace x10::sim {
namespace {

using Words = std::span<const std::string>;
using Parsed = Result<Command, std::string>;

constexpr double kLongestWaitSeconds = 24 * 3600;

std::optional<Duration> seconds(std::string_view word) {
  const auto value = words::decimal(word);
  if (!value || !(*value >= 0 && *value <= kLongestWaitSeconds))
    return std::nullopt;
  return std::chrono::duration_cast<Duration>(std::chrono::duration<double>(*value));
}

// Commands that take no words after their name.
Parsed bare(Words rest, std::string_view name, Command command) {
  if (!rest.empty())
    return Unexpected(std::string(name) + " takes nothing after it, but got '" + rest[0] + "'");
  return command;
}

Parsed traffic(Words list, bool collide) {
  auto parsed = parseTraffic(list);
  if (!parsed)
    return Unexpected(std::move(parsed).error());
  auto frames = std::move(parsed).value();
  if (collide)
    return Command{cmd::Collide{std::move(frames)}};
  return Command{cmd::Traffic{std::move(frames)}};
}

Parsed storm(Words rest) {
  const auto count = rest.empty() ? std::nullopt : words::integer(rest[0]);
  if (!count || *count < 1 || *count > kLongestStorm)
    return Unexpected("storm needs a count from 1 to " + std::to_string(kLongestStorm) +
                      ", then traffic or nothing: 'storm 500 B3 On'");
  if (rest.size() == 1)
    return Command{cmd::Storm{*count, {}}};
  auto parsed = parseTraffic(rest.subspan(1));
  if (!parsed)
    return Unexpected(std::move(parsed).error());
  return Command{cmd::Storm{*count, std::move(parsed).value()}};
}

Parsed module(Words rest) {
  static const std::string kUsage =
      "module needs an address and a kind: module A4 lamp|appliance|two-way|none";
  if (rest.size() != 2 || rest[0].size() < 2)
    return Unexpected(kUsage);
  const auto house = HouseCode::fromLetter(rest[0][0]);
  const auto number = words::integer(std::string_view(rest[0]).substr(1));
  const auto unit = number ? UnitCode::fromNumber(*number) : std::nullopt;
  const std::string kind = words::lower(rest[1]);
  const auto known = moduleKindFromName(kind);
  if (!house || !unit || (!known && kind != "none"))
    return Unexpected(kUsage);
  return Command{cmd::SetModule{*house, *unit, known}};
}

Parsed wait(Words rest) {
  const auto length = rest.size() == 1 ? seconds(rest[0]) : std::nullopt;
  if (!length)
    return Unexpected("wait needs a number of seconds from 0 to 86400, like 'wait 2.5'");
  return Command{cmd::Wait{*length}};
}

Parsed optionalCount(Words rest, std::string_view usage, int lowest, auto make) {
  if (rest.empty())
    return make(std::nullopt);
  const auto count = rest.size() == 1 ? words::integer(rest[0]) : std::nullopt;
  if (!count || *count < lowest)
    return Unexpected(std::string(usage));
  return make(count);
}

Parsed fault(Words rest) {
  static const std::string kKinds =
      "fault needs one of: checksum [N], checksum-5a, collide TRAFFIC, silence [SECONDS], "
      "garbage HEX..., truncate-upload [N], hangup, clear";
  if (rest.empty())
    return Unexpected(kKinds);
  const std::string kind = words::lower(rest[0]);
  const Words args = rest.subspan(1);
  if (kind == "checksum")
    return optionalCount(
        args, "fault checksum takes a count of 1 or more, like 'fault checksum 3'", 1,
        [](std::optional<int> n) { return Command{cmd::WrongChecksums{n.value_or(1)}}; });
  if (kind == "truncate-upload")
    return optionalCount(
        args, "fault truncate-upload takes the bytes to send, like 'fault truncate-upload 2'", 0,
        [](std::optional<int> n) {
          return Command{cmd::TruncateUpload{static_cast<std::size_t>(n.value_or(2))}};
        });
  if (kind == "checksum-5a")
    return bare(args, "fault checksum-5a", cmd::ChecksumIs5A{});
  if (kind == "hangup")
    return bare(args, "fault hangup", cmd::HangUp{});
  if (kind == "clear")
    return bare(args, "fault clear", cmd::ClearFaults{});
  if (kind == "collide") {
    if (args.empty())
      return Unexpected("fault collide needs the traffic that arrives, like 'fault collide B3 On'");
    return traffic(args, true);
  }
  if (kind == "silence") {
    if (args.empty())
      return Command{cmd::Silence{std::nullopt}};
    const auto length = args.size() == 1 ? seconds(args[0]) : std::nullopt;
    if (!length)
      return Unexpected(
          "fault silence takes a number of seconds, or nothing for good: 'fault silence 5'");
    return Command{cmd::Silence{length}};
  }
  if (kind == "garbage") {
    cmd::Garbage garbage;
    for (const std::string &word : args) {
      const auto byte = words::parseHexByte(word);
      if (!byte)
        return Unexpected("fault garbage needs hex bytes, like 'fault garbage 12 FF', but got '" +
                          word + "'");
      garbage.bytes.push_back(*byte);
    }
    if (garbage.bytes.empty())
      return Unexpected("fault garbage needs hex bytes, like 'fault garbage 12 FF'");
    return Command{garbage};
  }
  return Unexpected("unknown fault '" + rest[0] + "': " + kKinds);
}

} // namespace

Parsed parseCommand(std::string_view line) {
  line = line.substr(0, line.find('#'));
  const std::vector<std::string> list = words::split(line);
  if (list.empty())
    return Command{cmd::Blank{}};
  const std::string name = words::lower(list[0]);
  const Words rest = Words(list).subspan(1);
  if (name == "help")
    return bare(rest, "help", cmd::Help{});
  if (name == "quit")
    return bare(rest, "quit", cmd::Quit{});
  if (name == "repeat")
    return bare(rest, "repeat", cmd::Repeat{});
  if (name == "modules")
    return bare(rest, "modules", cmd::ShowModules{});
  if (name == "module")
    return module(rest);
  if (name == "storm")
    return storm(rest);
  if (name == "wait")
    return wait(rest);
  if (name == "fault")
    return fault(rest);
  if (name == "power") {
    if (rest.size() != 1 || !words::equalNoCase(rest[0], "fail"))
      return Unexpected("expected 'power fail'");
    return Command{cmd::PowerFail{}};
  }
  return traffic(list, false);
}

std::string_view helpText() {
  return R"(Traffic a remote control sends on the power line:
  A1 On | B3 | A1 A2 Off | A Dim 45% | A Bright 20% | A All Units Off | A3 Status Request
  A5 Extended 1F 31            (unit, then data and command in hex)
  storm N [TRAFFIC]            TRAFFIC N times, or N numbered commands (A1 On, A2 On...),
                               each frame waiting for the line and the interface's buffer
Modules:
  modules                      show every module and its state
  module A4 lamp|appliance|two-way|none
Interface:
  power fail                   poll A5 until the PC sets the clock
Faults:
  fault checksum [N]           the next N checksums are wrong (1 if not given)
  fault checksum-5a            the next checksum is sent as 5A
  fault collide TRAFFIC        TRAFFIC arrives as the PC starts its next transmission
  fault silence [SECONDS]      stop answering for a while, or for good
  fault garbage HEX...         send these bytes to the PC now
  fault truncate-upload [N]    the next upload stops after N bytes (2 if not given)
  fault hangup                 close the port and exit
  fault clear                  drop pending faults and end a silence
Scripts and the rest:
  wait SECONDS                 hold back the lines after it
  repeat                       in a script: start it again from its first line
  help                         this list
  quit                         stop the simulator
One command a line, in any case; # starts a comment.)";
}

} // namespace x10::sim
