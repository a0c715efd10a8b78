// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/protocol/cm11acore.h"

#include "controller/protocol/upload.h"
#include "controller/protocol/wirebytes.h"
#include "vocabulary/hexbytes.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

// Rules of the state machine. Every change of phase goes through enter(); what happens on a
// byte is decided in onByte(), on a deadline in onDeadline(), and what the line does next
// once it is free in proceed(). Invariants:
// - Only one exchange is on the line at a time: the phase says which, and every phase but
//   Idle has a deadline, so nothing waits forever.
// - A step (a transmission, the status request) advances only when the interface confirmed it
//   ("ready", a status reply). A poll or power-fail poll that cuts in leaves the step where it
//   was, so proceed() sends it again once the interruption is handled.
// - A power-fail poll sets clockOwed_; proceed() answers it before anything else, because the
//   interface ignores every other byte until it has its clock. Its tries are counted as the
//   set-clock goes out, across resyncs; after kMaxTries it is given up until the next poll.
// - An operation started while the interface holds the line waits in queued_ at most
//   kLineWait (counted while no operation of ours is on the line), so no caller hangs on a line
//   that the interface keeps busy.
// - 0x5A and 0xA5 are told apart from checksums by state: in AwaitChecksum the expected
//   checksum wins. If it was really a poll, the interface ignores our go-ahead and polls again;
//   that second poll arrives in AwaitReady and the step is resent. For the same reason a send
//   whose last checksum is 0x5A or 0xA5 is not reported "accepted" before "ready".
// - After a failure, and before resending a transmission whose checksum came back wrong, the
//   core drains the line until it is quiet, then resumes through proceed().
// - Every result is produced exactly once per started operation.

namespace x10 {
namespace {

using namespace timing;

const HouseCode kMonitoredHouse = *HouseCode::fromLetter('A');

bool isPollByte(std::uint8_t b) { return b == wire::kPoll || b == wire::kPowerFailPoll; }

std::string millis(std::chrono::milliseconds ms) { return std::to_string(ms.count()) + " ms"; }

std::string operationName(OperationKind kind) {
  switch (kind) {
  case OperationKind::Probe:
    return "the status request";
  case OperationKind::Clear:
    return "clearing the interface";
  case OperationKind::Send:
    return "the send";
  }
  return "the operation";
}

// Traffic from another transmitter may hold the power line when our go-ahead arrives; the
// interface transmits once the line is free. Allow for the longest standard burst: an address
// followed by a full 22-step dim.
std::chrono::milliseconds busyLineAllowance() {
  const HouseCode house = *HouseCode::fromLetter('A');
  const int cycles = Transmission::address(house, *UnitCode::fromNumber(1)).lineCycles() +
                     Transmission::function(house, Function::Dim, 22).lineCycles();
  return kMainsCycle * cycles;
}

std::chrono::milliseconds readyWait(const Transmission &t) {
  return kMainsCycle * t.lineCycles() + busyLineAllowance() + kReadyMargin;
}

} // namespace

std::chrono::milliseconds Cm11aCore::callBound(OperationKind kind,
                                               const std::vector<Transmission> &transmissions) {
  switch (kind) {
  case OperationKind::Probe:
    return kLineWait + kStepAllowance;
  case OperationKind::Clear:
    return kLineWait + 2 * kStepAllowance +
           readyWait(Transmission::setClock({}, kMonitoredHouse, 0));
  case OperationKind::Send:
    break;
  }
  std::chrono::milliseconds bound = kLineWait;
  for (const Transmission &t : transmissions)
    bound += kStepAllowance + readyWait(t);
  return bound;
}

// ---- operations -------------------------------------------------------------------------

void Cm11aCore::startProbe(const Instant &now) {
  Operation op;
  op.kind = OperationKind::Probe;
  startOperation(std::move(op), now);
}

void Cm11aCore::startClear(const Instant &now) {
  Operation op;
  op.kind = OperationKind::Clear;
  startOperation(std::move(op), now);
}

void Cm11aCore::startSend(std::vector<Transmission> transmissions, Completion completion,
                          const Instant &now) {
  Operation op;
  op.transmissions = std::move(transmissions);
  op.completion = completion;
  startOperation(std::move(op), now);
}

void Cm11aCore::startOperation(Operation op, const Instant &now) {
  if (operationRunning())
    throw std::logic_error("an operation is already running");
  callBound_ = callBound(op.kind, op.transmissions);
  callEnd_ = now.steady + callBound_;
  queued_ = std::move(op);
  if (!op_)
    armLineWait(now);
  if (phase_ == Phase::Idle)
    proceed(now);
}

bool Cm11aCore::operationRunning() const { return queued_ || (op_ && !op_->reported); }

bool Cm11aCore::stepsFinished() const {
  switch (op_->kind) {
  case OperationKind::Probe:
    return op_->step >= 1;
  case OperationKind::Clear:
    return op_->step >= 2; // 0: drain, 1: set-clock
  case OperationKind::Send:
    return op_->step >= op_->transmissions.size();
  }
  return true;
}

void Cm11aCore::reset() { *this = Cm11aCore(); }

// ---- inputs -----------------------------------------------------------------------------

void Cm11aCore::receive(std::span<const std::uint8_t> bytes, const Instant &now) {
  for (std::uint8_t b : bytes)
    onByte(b, now);
}

void Cm11aCore::timePassed(const Instant &now) {
  for (int round = 0; round < timing::kMaxDeadlinesAtOnce; ++round) {
    const auto due = nextDeadline();
    if (!due || now.steady < *due)
      return;
    onDeadline(now);
  }
}

std::optional<SteadyTime> Cm11aCore::nextDeadline() const {
  auto earliest = [](std::optional<SteadyTime> a, std::optional<SteadyTime> b) {
    return a && b ? std::min(*a, *b) : a ? a : b;
  };
  auto due = phaseDeadline();
  if (queued_)
    due = earliest(due, lineWaitEnd_);
  if (operationRunning())
    due = earliest(due, callEnd_);
  return due;
}

std::optional<SteadyTime> Cm11aCore::phaseDeadline() const {
  switch (phase_) {
  case Phase::Idle:
    return std::nullopt;
  case Phase::Draining:
    return std::min(drainQuietEnd_, drainLimit_);
  case Phase::AwaitStatus:
    return pollGapEnd_ ? std::min(*pollGapEnd_, *deadline_) : deadline_;
  default:
    return deadline_;
  }
}

// ---- the transitions --------------------------------------------------------------------

void Cm11aCore::onByte(std::uint8_t b, const Instant &now) {
  switch (phase_) {
  case Phase::Idle:
    return onIdleByte(b, now);
  case Phase::AwaitChecksum:
    return onChecksum(b, now);
  case Phase::AwaitReady:
    return onReady(b, now);
  case Phase::AwaitUploadSize:
    return onUploadSize(b, now);
  case Phase::AwaitUploadData:
    return onUploadData(b, now);
  case Phase::AwaitStatus:
    return onStatusByte(b, now);
  case Phase::Draining:
    drainQuietEnd_ = now.steady + kDrainQuiet;
    return;
  }
}

void Cm11aCore::onDeadline(const Instant &now) {
  if (operationRunning() && callEnd_ && now.steady >= *callEnd_)
    return failTooSlow(now);
  if (queued_ && lineWaitEnd_ && now.steady >= *lineWaitEnd_)
    return failQueued();
  switch (phase_) {
  case Phase::Idle:
    return;
  case Phase::AwaitChecksum:
    return fail(Failure::NoAnswer,
                "the interface did not answer: is it switched on and connected to this port? "
                "(no checksum within " +
                    millis(kChecksumWait) + " after sending " + inFlight_->transmission.describe() +
                    " (" + hexBytes(inFlight_->transmission.bytes()) + "))",
                now);
  case Phase::AwaitReady:
    return onReadyDeadline(now);
  case Phase::AwaitUploadSize:
  case Phase::AwaitUploadData:
    note("upload cut short after " + std::to_string(rx_.size()) + " bytes (" + hexBytes(rx_) +
         "): dropped");
    return startDrain(now);
  case Phase::AwaitStatus:
    return onStatusDeadline(now);
  case Phase::Draining:
    if (now.steady >= drainQuietEnd_) {
      note("line quiet again");
      return proceed(now);
    }
    reportFailure(Failure::NoisyLine,
                  "the line did not fall quiet within " + millis(kDrainLimit) +
                      ": bytes keep arriving that mean nothing",
                  now);
    return proceed(now);
  }
}

// The line is free: finish the operation whose steps are done, answer a power-fail poll, then
// continue the operation or take up the queued one.
void Cm11aCore::proceed(const Instant &now) {
  enter(Phase::Idle);
  finishIfDone(now);
  if (clockOwed_)
    return answerPowerFail(now);
  // The one taken up may have no steps at all (an empty send): it is finished at once.
  while (!op_ && queued_) {
    op_ = std::move(queued_);
    queued_.reset();
    lineWaitEnd_.reset();
    interruptions_ = 0;
    tries_ = 0;
    finishIfDone(now);
  }
  if (!op_)
    return;
  switch (op_->kind) {
  case OperationKind::Probe:
    rx_.clear();
    pollGapEnd_.reset();
    write(std::array{wire::kStatusRequest});
    return enter(Phase::AwaitStatus, now.steady + kStatusWait);
  case OperationKind::Clear:
    if (op_->step == 0) {
      op_->step = 1;
      return startDrain(now);
    }
    return send(Transmission::setClock(now.wall, kMonitoredHouse,
                                       kClearBatteryTimer | kClearMonitoredStatus),
                Purpose::Operation, now);
  case OperationKind::Send:
    return send(op_->transmissions[op_->step], Purpose::Operation, now);
  }
}

void Cm11aCore::onIdleByte(std::uint8_t b, const Instant &now) {
  if (b == wire::kPoll)
    return answerPoll(now);
  if (b == wire::kPowerFailPoll) {
    clockOwed_ = true;
    return proceed(now);
  }
  noteStray(b, "", now);
}

void Cm11aCore::onChecksum(std::uint8_t b, const Instant &now) {
  const Transmission &t = inFlight_->transmission;
  if (b == t.checksum()) {
    write(std::array{wire::kGoAhead});
    enter(Phase::AwaitReady, now.steady + readyWait(t));
    return reportAcceptedIfLast();
  }
  if (b == wire::kPoll) {
    note("poll instead of the checksum of " + t.describe() +
         ": taking the upload, then sending again");
    if (interrupted(now))
      answerPoll(now);
    return;
  }
  if (b == wire::kPowerFailPoll) {
    note("power-fail poll instead of the checksum of " + t.describe());
    clockOwed_ = true;
    if (interrupted(now))
      proceed(now);
    return;
  }
  const std::string what = "checksum " + hexByte(b) + " for " + t.describe() + " (" +
                           hexBytes(t.bytes()) + "), expected " + hexByte(t.checksum());
  // The clock's tries are counted as it is sent: answerPowerFail() gives it up.
  if (inFlight_->purpose == Purpose::PowerFailClock) {
    note(what + " (try " + std::to_string(clockTries_) + " of " + std::to_string(kMaxTries) + ")");
    return startDrain(now);
  }
  if (++tries_ >= kMaxTries)
    return fail(Failure::ChecksumWrong,
                "the command kept reaching the interface garbled: check the cable and try again "
                "(" +
                    what + "; still wrong after " + std::to_string(kMaxTries) + " tries)",
                now);
  // Resend once the line is quiet, so a late or noisy byte is not taken for the next checksum.
  note(what + ": sending again");
  startDrain(now);
}

void Cm11aCore::onReady(std::uint8_t b, const Instant &now) {
  const bool ambiguous = isPollByte(inFlight_->transmission.checksum());
  if (b == wire::kReady) {
    transmissionDone();
    return proceed(now);
  }
  if (b == wire::kPoll && !ambiguous) {
    // The interface polls only when idle, so its transmission is over and "ready" was lost.
    note("poll where ready was due: " + inFlight_->transmission.describe() + " taken as done");
    transmissionDone();
    return answerPoll(now);
  }
  if (b == wire::kPowerFailPoll && inFlight_->purpose == Purpose::Operation && op_->reported) {
    // The caller was told "accepted" and has moved on: sending the step again now could carry
    // the command out twice (a second dim), unasked. Only the clock is owed.
    note("power-fail poll where ready was due: " + inFlight_->transmission.describe() +
         " taken as done");
    transmissionDone();
    clockOwed_ = true;
    return proceed(now);
  }
  if (isPollByte(b)) {
    // The 0x5A/0xA5 taken for a checksum was a poll (or the power failed): send the step again.
    note("the interface polls (" + hexByte(b) + ") instead of transmitting " +
         inFlight_->transmission.describe());
    if (!interrupted(now))
      return;
    if (b == wire::kPoll)
      return answerPoll(now);
    clockOwed_ = true;
    return proceed(now);
  }
  noteStray(b, " while waiting for ready", now);
}

void Cm11aCore::onReadyDeadline(const Instant &now) {
  const std::string what = inFlight_->transmission.describe();
  if (inFlight_->purpose == Purpose::Operation && op_->reported) {
    note("the interface accepted " + what + " but did not report it done");
    transmissionDone();
    return proceed(now);
  }
  fail(Failure::NotDone,
       "the interface took the command but never said it was sent on the power line: try "
       "again (the interface accepted " +
           what + " but did not report it done within " +
           millis(readyWait(inFlight_->transmission)) + ")",
       now);
}

void Cm11aCore::onUploadSize(std::uint8_t b, const Instant &now) {
  if (b == wire::kPoll) {
    note("poll again: the answer 0xC3 was lost");
    if (interrupted(now))
      answerPoll(now);
    return;
  }
  if (b == wire::kPowerFailPoll) {
    clockOwed_ = true;
    return proceed(now);
  }
  rx_.clear();
  enter(Phase::AwaitUploadData);
  onUploadData(b, now);
}

// The size byte says how many bytes follow; whether they make an upload is the parser's call,
// and one it refuses (a size of 0 or over 9, say) is dropped like any damaged upload.
void Cm11aCore::onUploadData(std::uint8_t b, const Instant &now) {
  rx_.push_back(b);
  if (rx_.size() < rx_[0] + 1u) {
    deadline_ = now.steady + kUploadGap;
    return;
  }
  const auto upload = Upload::parse(rx_);
  if (!upload) {
    note("upload " + hexBytes(rx_) + " is not one the interface sends: dropped");
    return startDrain(now);
  }
  deliver(*upload);
  proceed(now);
}

void Cm11aCore::onStatusByte(std::uint8_t b, const Instant &now) {
  rx_.push_back(b);
  if (rx_.size() == 1 && isPollByte(b)) {
    pollGapEnd_ = now.steady + kPollGap;
    return;
  }
  pollGapEnd_.reset();
  if (rx_.size() == kStatusReplySize)
    finishProbe(now);
}

void Cm11aCore::onStatusDeadline(const Instant &now) {
  if (pollGapEnd_ && now.steady >= *pollGapEnd_) {
    // A lone poll byte then silence: the interface was polling and ignored the request.
    const std::uint8_t poll = rx_[0];
    pollGapEnd_.reset();
    note(hexByte(poll) + " poll instead of a status reply");
    if (!interrupted(now))
      return;
    if (poll == wire::kPoll)
      return answerPoll(now);
    clockOwed_ = true;
    return proceed(now);
  }
  if (rx_.empty())
    return fail(Failure::NoAnswer,
                "no answer to the status request within " + millis(kStatusWait) +
                    ": no interface on this port, or it is switched off",
                now);
  fail(Failure::WrongAnswer,
       "status reply cut short: " + std::to_string(rx_.size()) + " of " +
           std::to_string(kStatusReplySize) + " bytes (" + hexBytes(rx_) +
           "): wrong speed, or not an interface of this kind",
       now);
}

// ---- helpers ----------------------------------------------------------------------------

void Cm11aCore::enter(Phase phase, std::optional<SteadyTime> deadline) {
  phase_ = phase;
  deadline_ = deadline;
}

void Cm11aCore::send(const Transmission &t, Purpose purpose, const Instant &now) {
  inFlight_ = InFlight{t, purpose};
  note("send " + t.describe() + ": " + hexBytes(t.bytes()));
  write(t.bytes());
  enter(Phase::AwaitChecksum, now.steady + kChecksumWait);
}

void Cm11aCore::write(std::span<const std::uint8_t> bytes) {
  output_.insert(output_.end(), bytes.begin(), bytes.end());
}

void Cm11aCore::answerPoll(const Instant &now) {
  write(std::array{wire::kPollAnswer});
  rx_.clear();
  enter(Phase::AwaitUploadSize, now.steady + kUploadWait);
}

void Cm11aCore::answerPowerFail(const Instant &now) {
  if (clockTries_ >= kMaxTries) {
    note("power-fail poll: the clock was not set in " + std::to_string(kMaxTries) +
         " tries; given up until the interface asks again");
    clockOwed_ = false;
    clockTries_ = 0;
    return proceed(now);
  }
  ++clockTries_;
  note("power-fail poll: setting the interface's clock");
  send(Transmission::setClock(now.wall, kMonitoredHouse, 0), Purpose::PowerFailClock, now);
}

// Counts an interruption of the current step; false when there were too many and the
// operation has failed.
bool Cm11aCore::interrupted(const Instant &now) {
  if (++interruptions_ <= kMaxInterruptions)
    return true;
  fail(Failure::KeptInterrupting,
       "the interface kept breaking in with its own traffic and the command could not finish: "
       "try again (the interface kept polling: " +
           std::to_string(kMaxInterruptions) + " polls without completing a step)",
       now);
  return false;
}

void Cm11aCore::transmissionDone() {
  if (inFlight_->purpose == Purpose::PowerFailClock) {
    // Not progress of the step it interrupted: an interface that keeps failing must still
    // run out the step's interruptions and tries.
    clockOwed_ = false;
    clockTries_ = 0;
    note("clock set");
  } else {
    tries_ = 0;
    interruptions_ = 0;
    ++op_->step;
    note(inFlight_->transmission.describe() + " done");
  }
  inFlight_.reset();
}

void Cm11aCore::reportAcceptedIfLast() {
  const InFlight &f = *inFlight_;
  // Already reported: the last transmission is being sent again after an interruption.
  if (f.purpose != Purpose::Operation || op_->reported || op_->kind != OperationKind::Send ||
      op_->completion != Completion::Accepted || op_->step + 1 != op_->transmissions.size() ||
      isPollByte(f.transmission.checksum()))
    return;
  op_->reported = true;
  results_.push_back(OperationDone{OperationKind::Send, std::nullopt});
}

void Cm11aCore::finishProbe(const Instant &now) {
  const auto status = StatusReply::parse(rx_);
  if (!status)
    return fail(Failure::WrongAnswer,
                std::ranges::all_of(rx_, [](std::uint8_t b) { return b == 0; })
                    ? "the status reply was nothing but zero bytes: a line held in break or a "
                      "wrong device, not an interface of this kind"
                    : "status reply " + hexBytes(rx_) + " has " + status.error() +
                          ": not an interface of this kind, or the wrong speed",
                now);
  note("status reply " + hexBytes(rx_));
  interruptions_ = 0;
  op_->status = *status;
  op_->step = 1;
  proceed(now);
}

void Cm11aCore::deliver(const Upload &upload) {
  note("upload " + hexBytes(rx_) + (upload.truncated ? " (last element incomplete, dropped)" : ""));
  for (auto &c : decoder_.decode(upload.elements))
    received_.push_back(std::move(c));
}

void Cm11aCore::startDrain(const Instant &now) {
  inFlight_.reset();
  drainQuietEnd_ = now.steady + kDrainQuiet;
  drainLimit_ = now.steady + kDrainLimit;
  enter(Phase::Draining);
}

void Cm11aCore::reportFailure(Failure failure, const std::string &message, const Instant &now) {
  note("failed: " + message);
  tries_ = 0;
  if (inFlight_ && inFlight_->purpose == Purpose::PowerFailClock) {
    clockOwed_ = false; // the next power-fail poll asks again
    clockTries_ = 0;
  }
  if (op_ && !op_->reported)
    results_.push_back(Unexpected(OperationError{op_->kind, failure, message}));
  op_.reset();
  armLineWait(now);
}

void Cm11aCore::fail(Failure failure, const std::string &message, const Instant &now) {
  reportFailure(failure, message, now);
  startDrain(now);
}

// Hands out the result of an operation whose steps are all done; a queued one then starts
// counting its wait for the line.
void Cm11aCore::finishIfDone(const Instant &now) {
  if (!op_ || !stepsFinished())
    return;
  if (!op_->reported)
    results_.push_back(OperationDone{op_->kind, op_->status});
  op_.reset();
  armLineWait(now);
}

void Cm11aCore::armLineWait(const Instant &now) {
  if (queued_ && !lineWaitEnd_)
    lineWaitEnd_ = now.steady + kLineWait;
}

void Cm11aCore::failQueued() {
  const std::string message = "the interface keeps the line busy (power-fail polls and noise): " +
                              operationName(queued_->kind) + " could not start within " +
                              millis(kLineWait) + ": " + lineBusyWith();
  note("failed: " + message);
  results_.push_back(Unexpected(OperationError{queued_->kind, Failure::LineBusy, message}));
  queued_.reset();
  lineWaitEnd_.reset();
}

// Fails the operation that overran its bound, whether it is on the line or still waiting for it.
void Cm11aCore::failTooSlow(const Instant &now) {
  const OperationKind kind = queued_ ? queued_->kind : op_->kind;
  const std::string message =
      operationName(kind) + " did not finish within " + millis(callBound_) +
      ": the interface answers, but so late or breaks in so often that the call was given up; "
      "try again";
  callEnd_.reset();
  if (queued_) {
    note("failed: " + message);
    results_.push_back(Unexpected(OperationError{kind, Failure::TooSlow, message}));
    queued_.reset();
    lineWaitEnd_.reset();
    return;
  }
  fail(Failure::TooSlow, message, now);
}

// A line of noise must not flood the log: the first stray byte of each interval is noted, the
// rest are counted and noted with the next one after the interval.
void Cm11aCore::noteStray(std::uint8_t b, const std::string &where, const Instant &now) {
  if (strayNoteEnd_ && now.steady < *strayNoteEnd_) {
    ++strays_;
    return;
  }
  if (strays_ > 0)
    note("ignored " + std::to_string(strays_) +
         " more stray bytes within a second of the last one noted");
  strays_ = 0;
  strayNoteEnd_ = now.steady + kStrayNoteInterval;
  note("ignored stray byte " + hexByte(b) + where);
}

// What holds the line while no operation of ours runs, for the message of one that waited.
std::string Cm11aCore::lineBusyWith() const {
  std::string what = phase_ == Phase::Draining ? "bytes that mean nothing keep arriving"
                     : inFlight_               ? "the interface's clock is being set"
                                               : "an upload is being taken";
  if (clockOwed_)
    what += "; the clock it asked for with a power-fail poll is owed, " +
            std::to_string(clockTries_) + " of " + std::to_string(kMaxTries) + " tries made";
  return what;
}

void Cm11aCore::note(std::string line) { notes_.push_back(std::move(line)); }

// ---- outputs ----------------------------------------------------------------------------

std::vector<std::uint8_t> Cm11aCore::takeOutput() { return std::exchange(output_, {}); }

std::optional<OperationResult> Cm11aCore::takeResult() {
  if (results_.empty())
    return std::nullopt;
  OperationResult r = std::move(results_.front());
  results_.pop_front();
  return r;
}

std::vector<ReceivedCommand> Cm11aCore::takeReceived() { return std::exchange(received_, {}); }

std::vector<std::string> Cm11aCore::takeNotes() { return std::exchange(notes_, {}); }

} // namespace x10
