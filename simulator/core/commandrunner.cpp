// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/commandrunner.h"

namespace x10::sim {

void CommandRunner::add(std::string line) {
  if (source_ == Source::Script)
    script_.push_back(line);
  lines_.push_back(std::move(line));
}

Outcome CommandRunner::runDue(Cm11aDevice &device, TimePoint now) {
  Outcome all;
  while (!lines_.empty() && (!resumeAt_ || *resumeAt_ <= now) && !all.quit && !all.hangUp) {
    const std::string line = std::move(lines_.front());
    lines_.pop_front();
    ++lineNumber_;
    auto parsed = parseCommand(line);
    const std::string where = name_ + ":" + std::to_string(lineNumber_) + ": ";
    if (!parsed) {
      all.lines.push_back(where + parsed.error());
      continue;
    }
    Outcome one = execute(*parsed, device, now);
    all.lines.insert(all.lines.end(), one.lines.begin(), one.lines.end());
    all.quit = one.quit;
    all.hangUp = one.hangUp;
    if (one.wait) {
      resumeAt_ = now + *one.wait;
      waitedThisRound_ = waitedThisRound_ || one.wait->count() > 0;
    }
    if (one.repeat)
      if (const auto repeated = repeat(); !repeated)
        all.lines.push_back(where + repeated.error());
  }
  return all;
}

// A round without a wait would run again at once, for ever.
Result<void, std::string> CommandRunner::repeat() {
  if (source_ != Source::Script)
    return Unexpected("repeat works in a script only");
  if (!waitedThisRound_)
    return Unexpected("repeat needs a wait before it, or the script would run flat out");
  lines_.assign(script_.begin(), script_.end());
  lineNumber_ = 0;
  waitedThisRound_ = false;
  return {};
}

std::optional<TimePoint> CommandRunner::nextDeadline() const {
  if (lines_.empty())
    return std::nullopt;
  return resumeAt_;
}

} // namespace x10::sim
