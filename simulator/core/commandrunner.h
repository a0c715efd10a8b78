// SPDX-License-Identifier: MIT
#pragma once
// Command lines from one source (a script or the terminal), run in order. A wait holds back
// the lines after it until its time has come; an unknown line is reported with where it came
// from and skipped.

#include "simulator/core/commandexecutor.h"

#include <deque>
#include <optional>
#include <string>

namespace x10::sim {

class CommandRunner {
public:
  explicit CommandRunner(std::string source) : source_(std::move(source)) {}

  void add(std::string line);
  Outcome runDue(Cm11aDevice &device, TimePoint now);
  // When held lines may run, if any are held.
  std::optional<TimePoint> nextDeadline() const;
  bool finished() const { return lines_.empty(); }

private:
  std::string source_;
  std::deque<std::string> lines_;
  int lineNumber_ = 0;
  std::optional<TimePoint> resumeAt_;
};

} // namespace x10::sim
