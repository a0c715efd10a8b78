// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The power line as a shared medium: frames wait their turn and go one at a time, whether the
// interface sends them for the PC or a remote control sends them to be heard.

#include "simulator/core/frame.h"
#include "simulator/core/timing.h"

#include <deque>
#include <optional>

namespace x10::sim {

class LineSchedule {
public:
  enum class Origin { Interface, Remote };
  struct Job {
    Frame frame;
    Origin origin;
    bool paced = false; // holds the line for Timing::pacedFrameTime
  };
  struct Finished {
    Job job;
    TimePoint at;
  };

  void enqueue(Job job, TimePoint now, const Timing &timing);
  std::optional<TimePoint> nextEnd() const;
  // The frame on the line if it has ended by now; the next one starts where it ended.
  std::optional<Finished> finishDue(TimePoint now, const Timing &timing);
  void clear() { jobs_.clear(); }
  bool busy() const { return !jobs_.empty(); }

private:
  static Duration length(const Job &job, const Timing &timing);
  std::deque<Job> jobs_; // the front one is on the line
  TimePoint frontEnds_{};
};

} // namespace x10::sim
