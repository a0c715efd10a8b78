// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/lineschedule.h"

namespace x10::sim {

Duration LineSchedule::length(const Job &job, const Timing &timing) {
  return job.paced ? timing.pacedFrameTime(job.frame) : timing.frameTime(job.frame);
}

void LineSchedule::enqueue(Job job, TimePoint now, const Timing &timing) {
  if (jobs_.empty())
    frontEnds_ = now + length(job, timing);
  jobs_.push_back(job);
}

std::optional<TimePoint> LineSchedule::nextEnd() const {
  if (jobs_.empty())
    return std::nullopt;
  return frontEnds_;
}

std::optional<LineSchedule::Finished> LineSchedule::finishDue(TimePoint now, const Timing &timing) {
  if (jobs_.empty() || frontEnds_ > now)
    return std::nullopt;
  Finished finished{jobs_.front(), frontEnds_};
  jobs_.pop_front();
  if (!jobs_.empty())
    frontEnds_ = finished.at + length(jobs_.front(), timing);
  return finished;
}

} // namespace x10::sim
