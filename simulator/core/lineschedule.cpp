#include "lineschedule.h"

namespace x10::sim {

void LineSchedule::enqueue(Job job, TimePoint now, const Timing &timing) {
  if (jobs_.empty())
    frontEnds_ = now + timing.frameTime(job.frame);
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
    frontEnds_ = finished.at + timing.frameTime(jobs_.front().frame);
  return finished;
}

} // namespace x10::sim
