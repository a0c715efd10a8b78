// SPDX-License-Identifier: MIT
#include "simulator/core/commandrunner.h"

namespace x10::sim {

void CommandRunner::add(std::string line) { lines_.push_back(std::move(line)); }

Outcome CommandRunner::runDue(Cm11aDevice &device, TimePoint now) {
  Outcome all;
  while (!lines_.empty() && (!resumeAt_ || *resumeAt_ <= now) && !all.quit && !all.hangUp) {
    const std::string line = std::move(lines_.front());
    lines_.pop_front();
    ++lineNumber_;
    auto parsed = parseCommand(line);
    if (const auto *error = std::get_if<std::string>(&parsed)) {
      all.lines.push_back(source_ + ":" + std::to_string(lineNumber_) + ": " + *error);
      continue;
    }
    Outcome one = execute(std::get<Command>(parsed), device, now);
    all.lines.insert(all.lines.end(), one.lines.begin(), one.lines.end());
    all.quit = one.quit;
    all.hangUp = one.hangUp;
    if (one.wait)
      resumeAt_ = now + *one.wait;
  }
  return all;
}

std::optional<TimePoint> CommandRunner::nextDeadline() const {
  if (lines_.empty())
    return std::nullopt;
  return resumeAt_;
}

} // namespace x10::sim
