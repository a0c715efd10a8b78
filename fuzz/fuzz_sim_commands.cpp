// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The simulator's command language on arbitrary text, one command a line, run on a device the
// way a script runs. Invariants: no exception escapes; every refused line comes with a message
// that says what was expected; a refused line is reported by the runner with its source and
// line number; a parsed command runs on the device without trouble. A script that repeats runs
// on for ever and reports its refused lines again each round, so for one only the first and
// the last hold.

#include "fuzz/fuzzcheck.h"
#include "simulator/core/cm11adevice.h"
#include "simulator/core/command.h"
#include "simulator/core/commandrunner.h"

#include <string_view>

namespace {

using namespace std::chrono_literals;
using namespace x10::sim;

std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t end; (end = text.find('\n')) != std::string_view::npos;
       text.remove_prefix(end + 1))
    lines.push_back(text.substr(0, end));
  lines.push_back(text);
  return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  TimePoint now = TimePoint{} + 1h;
  Cm11aDevice device(Timing::fast(), PowerLine::withDemoModules(), now);
  CommandRunner runner("fuzz", CommandRunner::Source::Script);
  std::size_t refused = 0;
  bool repeats = false;
  for (const std::string_view line : linesOf(text)) {
    const auto parsed = parseCommand(line);
    if (!parsed) {
      require(!parsed.error().empty(), "a refused line without a message");
      ++refused;
    } else {
      repeats = repeats || std::holds_alternative<cmd::Repeat>(*parsed);
    }
    runner.add(std::string(line));
  }
  std::size_t reported = 0;
  for (int round = 0; round < 1000 && !runner.finished(); ++round) {
    const Outcome outcome = runner.runDue(device, now);
    for (const std::string &line : outcome.lines)
      reported += line.starts_with("fuzz:") ? 1 : 0;
    if (outcome.quit || outcome.hangUp)
      return 0; // the shell stops reading here
    if (const auto next = runner.nextDeadline())
      now = std::max(now, *next);
    device.advance(now);
    device.takeOutput(now);
    device.takeReports();
  }
  if (repeats)
    return 0;
  require(runner.finished(), "the runner kept lines back with no wait pending");
  require(reported == refused, "a refused line was not reported with its source and line number");
  return 0;
}
