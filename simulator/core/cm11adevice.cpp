// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/cm11adevice.h"

#include "vocabulary/hexbytes.h"

#include <algorithm>
#include <utility>

namespace x10::sim {

using namespace wire;

namespace {

// What becomes of a command whose go-ahead never comes: a set-clock took effect on arrival.
const char *stands(Command command) {
  return command == Command::SetClock ? " stands, as it took effect on arrival" : " dropped";
}

} // namespace

Cm11aDevice::Cm11aDevice(Timing timing, PowerLine line, TimePoint now)
    : timing_(timing), line_(std::move(line)), clock_(now), lastInputDue_(now), lastByteDue_(now) {}

// ---- time ----

std::optional<TimePoint> Cm11aDevice::nextInternalEvent(bool withGap) const {
  std::optional<TimePoint> next = schedule_.nextEnd();
  if (!input_.empty() && (!next || input_.front().first < *next))
    next = input_.front().first;
  for (const auto &t : {nextPoll_, silentUntil_, goAheadDue_, withGap ? gapDue_ : std::nullopt})
    if (t && *t != TimePoint::max() && (!next || *t < *next))
      next = t;
  return next;
}

std::optional<TimePoint> Cm11aDevice::nextDeadline() const {
  std::optional<TimePoint> next = nextInternalEvent(true);
  if (!output_.empty() && (!next || output_.front().first < *next))
    next = output_.front().first;
  return next;
}

void Cm11aDevice::advance(TimePoint now) { runDue(now, true); }

// Runs what fell due, each at its own time, so timings stay exact however late the caller is.
void Cm11aDevice::runDue(TimePoint now, bool withGap) {
  for (auto t = nextInternalEvent(withGap); t && *t <= now; t = nextInternalEvent(withGap)) {
    if (!input_.empty() && input_.front().first == *t) {
      const std::uint8_t byte = input_.front().second;
      input_.pop_front();
      handleByte(byte, *t);
    } else if (schedule_.nextEnd() == t)
      lineFinished(*schedule_.finishDue(*t, timing_));
    else if (silentUntil_ == t)
      endSilence(*t);
    else if (goAheadDue_ == t)
      dropExchange(*t);
    else if (gapDue_ == t)
      dropPartial(*t);
    else
      pollTimer(*t);
  }
}

std::vector<std::uint8_t> Cm11aDevice::takeOutput(TimePoint now) {
  std::vector<std::uint8_t> bytes;
  while (!output_.empty() && output_.front().first <= now) {
    bytes.push_back(output_.front().second);
    output_.pop_front();
  }
  return bytes;
}

std::vector<Report> Cm11aDevice::takeReports() { return std::exchange(reports_, {}); }

// ---- the PC's bytes ----

// The PC's bytes cross the line one after the other, each taking its byte time from when it
// was read or the one before it is in, and are handled once they are in. Bytes read late,
// because the caller was busy, may have been sent in time: only advance(), called with nothing
// to read, ends a partial command.
void Cm11aDevice::receive(std::span<const std::uint8_t> bytes, TimePoint now) {
  runDue(now, false);
  for (const std::uint8_t byte : bytes) {
    lastInputDue_ = std::max(now, lastInputDue_) + timing_.byteTime();
    input_.emplace_back(lastInputDue_, byte);
  }
  runDue(now, false);
}

void Cm11aDevice::handleByte(std::uint8_t byte, TimePoint now) {
  if (silent(now)) {
    report(Report::Kind::Note, "silent: ignored " + hexBytes({&byte, 1}));
    return;
  }
  switch (state_) {
  case State::Idle:
    start(byte, now);
    break;
  case State::Collecting:
    pendingBytes_.push_back(byte);
    collected(now);
    break;
  case State::AwaitGoAhead:
    goAheadDue_.reset();
    if (byte == kGoAhead) {
      goAhead(now);
    } else {
      report(Report::Kind::Note, byte == pendingBytes_.front()
                                     ? "PC sends again instead of going ahead"
                                     : "PC skips the go-ahead: " + describePending(now) +
                                           stands(pending_) + "; " + hexBytes({&byte, 1}) +
                                           " starts a new exchange");
      state_ = State::Idle;
      start(byte, now);
    }
    break;
  case State::Executing:
    report(Report::Kind::Note, "busy on the line: ignored " + hexBytes({&byte, 1}));
    break;
  case State::Polling:
    if (byte == kPollAnswer)
      upload(now);
    else
      report(Report::Kind::Note, "polling: ignored " + hexBytes({&byte, 1}));
    break;
  }
}

void Cm11aDevice::start(std::uint8_t byte, TimePoint now) {
  if (powerFailed_ && byte != kSetClockHeader) {
    report(Report::Kind::Note,
           "power failed, waiting for a set-clock: ignored " + hexBytes({&byte, 1}));
    becomeIdle(now);
    return;
  }
  if (byte == kStatusRequest) {
    sendStatus(now);
    becomeIdle(now); // traffic held while an exchange was pending is polled for now
    return;
  }
  const Command command = commandStartedBy(byte);
  if (command == Command::None) {
    report(Report::Kind::Note, "ignored " + hexBytes({&byte, 1}));
    becomeIdle(now);
    return;
  }
  if ((command == Command::Standard || command == Command::Extended) && !faults_.collide.empty()) {
    collide(now);
    return;
  }
  if (command == Command::SetClock && powerFailed_) {
    // Even a bare 0x9B answers the power-fail poll; the clock changes only if all six bytes come.
    report(Report::Kind::Note, "set-clock begins: power-fail polls end");
    powerFailed_ = false;
    nextPoll_.reset();
  }
  pending_ = command;
  pendingBytes_.assign(1, byte);
  state_ = State::Collecting;
  collected(now);
}

// A whole command is answered with its checksum; a set-clock takes effect right then, with or
// without a go-ahead. A partial one waits for its next byte at most a command gap.
void Cm11aDevice::collected(TimePoint now) {
  if (pendingBytes_.size() < commandLength(pending_)) {
    gapDue_ = now + Timing::commandGap();
    return;
  }
  gapDue_.reset();
  if (pending_ == Command::SetClock)
    setClock(now);
  answerChecksum(now);
}

// The PC paused inside a command: the rest is not coming, and a byte sent later starts afresh.
void Cm11aDevice::dropPartial(TimePoint at) {
  gapDue_.reset();
  report(Report::Kind::Note, "PC paused inside a command: " + hexBytes(pendingBytes_) + " dropped");
  pendingBytes_.clear();
  becomeIdle(at);
}

void Cm11aDevice::collide(TimePoint now) {
  report(Report::Kind::Note, "fault: traffic arrives just as the PC starts a transmission");
  for (const Frame &frame : std::exchange(faults_.collide, {}))
    hearRemote(frame, now);
  becomeIdle(now);
}

void Cm11aDevice::answerChecksum(TimePoint now) {
  const std::uint8_t checksum = checksumOf(pending_, pendingBytes_);
  std::uint8_t sent = checksum;
  if (faults_.checksumIs5A) {
    faults_.checksumIs5A = false;
    sent = kPoll;
  } else if (faults_.wrongChecksums > 0) {
    --faults_.wrongChecksums;
    sent = static_cast<std::uint8_t>(~checksum);
  }
  std::string text = "PC: " + describePending(now) + " (" + hexBytes(pendingBytes_) +
                     "), checksum " + hexBytes({&checksum, 1});
  if (sent != checksum)
    text += ", fault: sent " + hexBytes({&sent, 1});
  report(Report::Kind::Exchange, text);
  send(sent, now);
  state_ = State::AwaitGoAhead;
  goAheadDue_ = lastByteDue_ + Timing::goAheadWait();
}

// The PC gave up on the exchange (after wrong checksums, say): without this the interface
// would wait for it in silence, holding heard traffic back.
void Cm11aDevice::dropExchange(TimePoint at) {
  goAheadDue_.reset();
  report(Report::Kind::Note, "no go-ahead in time: " + describePending(at) + stands(pending_));
  becomeIdle(at);
}

void Cm11aDevice::goAhead(TimePoint now) {
  switch (pending_) {
  case Command::Standard:
  case Command::Extended:
    schedule_.enqueue({frameOf(pending_, pendingBytes_), LineSchedule::Origin::Interface}, now,
                      timing_);
    state_ = State::Executing;
    return;
  case Command::SetClock: // took effect as it arrived
    break;
  case Command::RingEnable:
  case Command::RingDisable:
    ringEnabled_ = pending_ == Command::RingEnable;
    break;
  case Command::Download:
    blocks_[static_cast<std::uint16_t>(pendingBytes_[1] << 8 | pendingBytes_[2])].assign(
        pendingBytes_.begin() + 3, pendingBytes_.end());
    break;
  case Command::None:
    break;
  }
  ready(now);
}

// The sixth byte: monitored house nibble << 4, then flags: bit 2 purge the stored timers,
// bit 1 clear the battery timer, bit 0 clear the monitored house's status.
void Cm11aDevice::setClock(TimePoint now) {
  clock_.set(std::span<const std::uint8_t, 5>(pendingBytes_.data() + 1, 5), now);
  const std::uint8_t last = pendingBytes_[6];
  monitor_.setHouse(last >> 4);
  if (last & 0x04)
    blocks_.clear();
  if (last & 0x02)
    batteryTimer_ = 0;
  if (last & 0x01)
    monitor_.clear();
}

// Battery timer, clock, monitored house and firmware, then the addressed, on and dimmed
// bitmaps of the monitored house; 16-bit values go low byte first.
void Cm11aDevice::sendStatus(TimePoint now) {
  const auto clock = clock_.bytes(now);
  auto low = [](std::uint16_t v) { return static_cast<std::uint8_t>(v & 0xFF); };
  auto high = [](std::uint16_t v) { return static_cast<std::uint8_t>(v >> 8); };
  const std::uint8_t reply[kStatusReplySize] = {
      low(batteryTimer_),
      high(batteryTimer_),
      clock[0],
      clock[1],
      clock[2],
      clock[3],
      clock[4],
      static_cast<std::uint8_t>(monitor_.house() << 4 | kFirmwareRevision),
      low(monitor_.addressed()),
      high(monitor_.addressed()),
      low(monitor_.on()),
      high(monitor_.on()),
      low(monitor_.dimmed()),
      high(monitor_.dimmed())};
  report(Report::Kind::Exchange, "PC: status request, answered " + hexBytes(reply));
  send(reply, now);
}

void Cm11aDevice::upload(TimePoint now) {
  std::vector<std::uint8_t> bytes = buffer_.upload();
  buffer_.clear();
  std::string text = "PC: poll answered, upload " + hexBytes(bytes);
  if (faults_.truncateUpload) {
    bytes.resize(std::min(bytes.size(), *std::exchange(faults_.truncateUpload, std::nullopt)));
    text += ", fault: cut to " + (bytes.empty() ? std::string("nothing") : hexBytes(bytes));
  }
  report(Report::Kind::Exchange, text);
  if (lostFrames_ > 1)
    report(Report::Kind::Note, std::to_string(lostFrames_) +
                                   " frames were lost in all while the receive buffer was full");
  lostFrames_ = 0;
  send(bytes, now);
  becomeIdle(now);
  feedPaced(now);
}

// ---- states ----

void Cm11aDevice::ready(TimePoint at) {
  send(kReady, at);
  becomeIdle(at);
}

void Cm11aDevice::becomeIdle(TimePoint at) {
  state_ = State::Idle;
  if (powerFailed_) {
    if (!nextPoll_)
      nextPoll_ = at + Timing::pollInterval();
  } else if (!buffer_.empty()) {
    startPolling(at);
  }
}

void Cm11aDevice::startPolling(TimePoint at) {
  state_ = State::Polling;
  send(kPoll, at);
  nextPoll_ = at + Timing::pollInterval();
}

void Cm11aDevice::pollTimer(TimePoint at) {
  if (state_ == State::Polling) {
    send(kPoll, at);
  } else if (powerFailed_ && state_ == State::Idle) {
    send(kPowerFailPoll, at);
  } else {
    nextPoll_.reset();
    return;
  }
  nextPoll_ = at + Timing::pollInterval();
}

// ---- the power line ----

void Cm11aDevice::inject(std::span<const Frame> frames, TimePoint now) {
  advance(now);
  for (const Frame &frame : frames)
    schedule_.enqueue({frame, LineSchedule::Origin::Remote}, now, timing_);
  advance(now);
}

void Cm11aDevice::injectPaced(std::span<const Frame> frames, TimePoint now) {
  advance(now);
  paced_.insert(paced_.end(), frames.begin(), frames.end());
  feedPaced(now);
}

// The next paced frame takes the line once it is free and the buffer can hold the frame;
// called again whenever the line frees up or an upload empties the buffer.
void Cm11aDevice::feedPaced(TimePoint at) {
  if (paced_.empty() || schedule_.busy() || !buffer_.fits(paced_.front()))
    return;
  schedule_.enqueue({paced_.front(), LineSchedule::Origin::Remote, true}, at, timing_);
  paced_.pop_front();
}

void Cm11aDevice::lineFinished(const LineSchedule::Finished &finished) {
  if (finished.job.origin == LineSchedule::Origin::Remote) {
    hearRemote(finished.job.frame, finished.at);
    if (state_ == State::Idle)
      becomeIdle(finished.at);
  } else {
    report(Report::Kind::Line, "sent on the line: " + describe(finished.job.frame));
    carry(finished.job.frame, finished.at);
    if (state_ == State::Executing)
      ready(finished.at);
  }
  feedPaced(finished.at);
}

// Every module and the interface's monitor hear the frame; answers go on the line after it.
void Cm11aDevice::carry(const Frame &frame, TimePoint at) {
  PowerLine::Heard heard = line_.hear(frame);
  monitor_.observe(frame);
  for (std::string &change : heard.changes)
    report(Report::Kind::Module, std::move(change));
  for (const Frame &reply : heard.replies)
    schedule_.enqueue({reply, LineSchedule::Origin::Remote}, at, timing_);
}

void Cm11aDevice::hearRemote(const Frame &frame, TimePoint at) {
  report(Report::Kind::Line, "heard on the line: " + describe(frame));
  carry(frame, at);
  // Nobody may answer the polls for hours: the first loss is told, the rest counted.
  if (!buffer_.add(frame) && lostFrames_++ == 0)
    report(Report::Kind::Note,
           "receive buffer full: " + describe(frame) +
               " lost, and so is further traffic until the PC takes the upload");
}

// ---- faults ----

void Cm11aDevice::startWarm(int secondOfDay, int yearDay, int weekDay, TimePoint now) {
  clock_.set(secondOfDay, yearDay, weekDay, now);
  batteryTimer_ = 0;
}

void Cm11aDevice::powerFail(TimePoint now) {
  advance(now);
  report(Report::Kind::Note, "power failure: polling A5 until the clock is set");
  schedule_.clear();
  abandonExchange();
  powerFailed_ = true;
  send(kPowerFailPoll, now);
  nextPoll_ = now + Timing::pollInterval();
  feedPaced(now);
}

void Cm11aDevice::silence(std::optional<Duration> length, TimePoint now) {
  advance(now);
  silentUntil_ = length ? now + *length : TimePoint::max();
  report(Report::Kind::Note, length ? "silent for a while" : "silent for good");
  output_.clear();
  abandonExchange();
  nextPoll_.reset();
}

void Cm11aDevice::abandonExchange() {
  pendingBytes_.clear();
  state_ = State::Idle;
  goAheadDue_.reset();
  gapDue_.reset();
}

void Cm11aDevice::endSilence(TimePoint at) {
  silentUntil_.reset();
  report(Report::Kind::Note, "answering again");
  becomeIdle(at);
  if (powerFailed_)
    pollTimer(at);
}

void Cm11aDevice::sendGarbage(std::span<const std::uint8_t> bytes, TimePoint now) {
  advance(now);
  report(Report::Kind::Note, "fault: garbage " + hexBytes(bytes));
  send(bytes, now);
}

void Cm11aDevice::clearFaults(TimePoint now) {
  advance(now);
  faults_ = Faults{};
  if (silentUntil_)
    endSilence(now);
}

// ---- output ----

void Cm11aDevice::send(std::uint8_t byte, TimePoint at) {
  if (silent(at))
    return;
  lastByteDue_ = std::max(at, lastByteDue_) + timing_.byteTime();
  output_.emplace_back(lastByteDue_, byte);
}

void Cm11aDevice::send(std::span<const std::uint8_t> bytes, TimePoint at) {
  for (const std::uint8_t byte : bytes)
    send(byte, at);
}

void Cm11aDevice::report(Report::Kind kind, std::string text) {
  reports_.push_back({kind, std::move(text)});
}

std::string Cm11aDevice::describePending(TimePoint now) const {
  switch (pending_) {
  case Command::Standard:
  case Command::Extended:
    return describe(frameOf(pending_, pendingBytes_));
  case Command::SetClock: {
    InterfaceClock clock(now);
    clock.set(std::span<const std::uint8_t, 5>(pendingBytes_.data() + 1, 5), now);
    return "set clock " + clock.describe(now) + ", monitor house " +
           HouseCode::fromNibble(pendingBytes_[6] >> 4).letter();
  }
  case Command::RingEnable:
    return "ring enable";
  case Command::RingDisable:
    return "ring disable";
  case Command::Download:
    return "timer/macro download";
  case Command::None:
    break;
  }
  return "nothing";
}

} // namespace x10::sim
