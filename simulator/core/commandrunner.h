// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Command lines from one source (a script or the terminal), run in order. A wait holds back
// the lines after it until its time has come; an unknown line is reported with where it came
// from and skipped. In a script, repeat starts the script again from its first line, so a demo
// can run for as long as the simulator does.

#include "simulator/core/commandexecutor.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace x10::sim {

class CommandRunner {
public:
  enum class Source { Terminal, Script };
  CommandRunner(std::string name, Source source) : name_(std::move(name)), source_(source) {}

  void add(std::string line);
  Outcome runDue(Cm11aDevice &device, TimePoint now);
  // When held lines may run, if any are held.
  std::optional<TimePoint> nextDeadline() const;
  bool finished() const { return lines_.empty(); }

private:
  Result<void, std::string> repeat();

  std::string name_;
  Source source_;
  std::deque<std::string> lines_;
  std::vector<std::string> script_; // every line of a script, for repeat
  int lineNumber_ = 0;
  bool waitedThisRound_ = false;
  std::optional<TimePoint> resumeAt_;
};

} // namespace x10::sim
