// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The driver's protocol core against an interface that answers anything at any time. The input
// is a script: start operations (probe, clear, sends of up to four transmissions), feed bytes
// (arbitrary, or the checksum the core expects, or the protocol's single bytes), and let time
// pass. Invariants:
// - no exception escapes, except std::logic_error for starting an operation while one runs;
// - every write is a whole one: a transmission, 0x00, 0xC3 or 0x8B; no set-clock purges timers;
// - with no operation running, only poll answers (0xC3) and the set-clock that answers a
//   power-fail poll (with its go-ahead) are written, and that set-clock clears nothing;
// - every started operation gets exactly one result, in order and of its kind, within a time
//   bounded by its number of steps; a failure says why;
// - after timePassed(now) no deadline is left at or before now;
// - once the input ends and the line falls silent, everything settles: all results are in,
//   no deadline is left.

#include "controller/protocol/cm11acore.h"
#include "controller/protocol/commandtext.h"
#include "fuzz/fuzzcheck.h"
#include "fuzz/script.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <stdexcept>

namespace {

using namespace std::chrono_literals;
using x10::OperationKind;

constexpr std::uint8_t kGoAhead = 0x00, kPollAnswer = 0xC3, kStatusRequest = 0x8B,
                       kSetClockHeader = 0x9B;
// Poll, power-fail poll, ready, go-ahead, poll answer.
constexpr std::uint8_t kSingleBytes[] = {0x5A, 0xA5, 0x55, 0x00, 0xC3};
constexpr std::uint8_t kPurgeTimers = 0x04, kClearFlags = 0x03;

// The longest one exchange may take however the interface misbehaves: every try waits for a
// checksum and drains a noisy line, then an upload, a status reply and the longest "ready"
// (a full dim).
std::chrono::milliseconds exchangeBound() {
  using namespace x10::timing;
  const int longest =
      x10::Transmission::function(x10::HouseCode::fromNibble(0), x10::Function::Dim, x10::kMaxDims)
          .lineCycles();
  return kMaxTries * (kChecksumWait + kDrainLimit) + kUploadWait + kStatusWait +
         longest * kMainsCycle + kReadyMargin;
}
const auto kStepBound = (x10::timing::kMaxInterruptions + 1) * exchangeBound();

// Bytes of the write that starts with first; 0 when no write starts with that byte.
std::size_t writeLength(std::uint8_t first) {
  if (first == kGoAhead || first == kPollAnswer || first == kStatusRequest)
    return 1;
  if (first == kSetClockHeader)
    return 7;
  if (!(first & 0x04))
    return 0;
  return (first & 0x01) ? 5 : 2;
}

// Checks the writes in out; returns the last transmission among them, if any.
std::vector<std::uint8_t> checkWrites(const std::vector<std::uint8_t> &out, bool idle) {
  std::vector<std::uint8_t> last;
  for (std::size_t i = 0; i < out.size();) {
    const std::size_t n = writeLength(out[i]);
    require(n > 0 && i + n <= out.size(), "the core wrote a partial or unknown transmission");
    if (out[i] == kSetClockHeader)
      require(!(out[i + 6] & kPurgeTimers), "a set-clock purges the stored timers");
    if (idle) {
      require(out[i] == kPollAnswer || out[i] == kGoAhead || out[i] == kSetClockHeader,
              "the core wrote something other than a poll answer while idle");
      if (out[i] == kSetClockHeader)
        require(!(out[i + 6] & kClearFlags), "the set-clock for a power-fail poll clears status");
    }
    if (n > 1)
      last.assign(out.begin() + static_cast<std::ptrdiff_t>(i),
                  out.begin() + static_cast<std::ptrdiff_t>(i + n));
    i += n;
  }
  return last;
}

// The checksum the interface echoes: the sum of the bytes, a set-clock's header left out.
std::uint8_t checksumOf(const std::vector<std::uint8_t> &bytes) {
  unsigned sum = 0;
  for (std::size_t i = !bytes.empty() && bytes[0] == kSetClockHeader ? 1 : 0; i < bytes.size(); ++i)
    sum += bytes[i];
  return static_cast<std::uint8_t>(sum);
}

struct Started {
  OperationKind kind;
  x10::SteadyTime at;
  std::size_t steps;
};

class Harness {
public:
  explicit Harness(Script &in) : in_(in) {}

  void run() {
    while (!in_.done())
      act();
    settle();
  }

private:
  void act() {
    const bool idleBefore = !core_.operationRunning();
    switch (in_.upTo(6)) {
    case 0:
      start();
      break;
    case 1:
      feed(in_.bytes(1 + in_.upTo(15)));
      break;
    case 2:
      feed({checksumOf(lastWrite_)});
      break;
    case 3:
      feed({kSingleBytes[in_.upTo(4)]});
      break;
    case 4:
      pass(std::chrono::milliseconds(in_.word(3000)));
      break;
    case 5:
      if (const auto due = core_.nextDeadline())
        pass(std::max(*due - now_.steady, x10::SteadyTime::duration::zero()));
      break;
    case 6:
      core_.reset(); // the port was reopened: nothing started before gets a result
      started_.clear();
      break;
    }
    check(idleBefore && !core_.operationRunning() && !startedNow_);
    startedNow_ = false;
  }

  void start() {
    const int kind = in_.upTo(2);
    if (core_.operationRunning()) {
      bool refused = false;
      try {
        core_.startProbe(now_);
      } catch (const std::logic_error &) {
        refused = true;
      }
      require(refused, "a second operation started while one runs");
      return;
    }
    if (kind == 0) {
      core_.startProbe(now_);
      started_.push_back({OperationKind::Probe, now_.steady, 1});
    } else if (kind == 1) {
      core_.startClear(now_);
      started_.push_back({OperationKind::Clear, now_.steady, 2});
    } else {
      const int count = in_.upTo(4);
      const auto completion = in_.upTo(1) ? x10::Completion::Done : x10::Completion::Accepted;
      std::vector<x10::Transmission> list;
      for (int n = count; n > 0; --n)
        list.push_back(transmission());
      const std::size_t steps = list.size();
      core_.startSend(std::move(list), completion, now_);
      started_.push_back({OperationKind::Send, now_.steady, steps});
    }
    startedNow_ = true;
  }

  // Kind, then its fields: address house unit; function house code dims; pre-set dim level;
  // extended house unit data command. Houses and units are line nibbles.
  x10::Transmission transmission() {
    const int kind = in_.upTo(3);
    if (kind == 2)
      return x10::Transmission::presetDim(in_.upTo(x10::kMaxPresetLevel));
    const auto house = x10::HouseCode::fromNibble(in_.byte() & 0xF);
    const std::uint8_t second = in_.byte() & 0xF;
    if (kind == 0)
      return x10::Transmission::address(house, x10::UnitCode::fromNibble(second));
    if (kind == 1)
      return x10::Transmission::function(house, x10::functionFromCode(second),
                                         in_.upTo(x10::kMaxDims));
    const std::uint8_t data = in_.byte();
    return x10::Transmission::extended(house, x10::UnitCode::fromNibble(second), data, in_.byte());
  }

  void feed(const std::vector<std::uint8_t> &bytes) { core_.receive(bytes, now_); }

  void pass(x10::SteadyTime::duration step) {
    now_.steady += step;
    now_.wall.second = static_cast<int>((now_.steady.time_since_epoch() / 1s) % 60);
    core_.timePassed(now_);
    const auto due = core_.nextDeadline();
    require(!due || *due > now_.steady, "a deadline at or before now survived timePassed");
  }

  void check(bool idle) {
    const std::vector<std::uint8_t> out = core_.takeOutput();
    if (auto last = checkWrites(out, idle); !last.empty())
      lastWrite_ = std::move(last);
    while (auto result = core_.takeResult()) {
      require(!started_.empty(), "a result for an operation never started");
      const OperationKind kind = *result ? (*result)->kind : result->error().kind;
      require(kind == started_.front().kind, "a result of the wrong kind");
      require(*result || !result->error().message.empty(), "a failure without a message");
      require(!*result || kind != OperationKind::Probe || (*result)->status.has_value(),
              "a successful probe without a status reply");
      started_.pop_front();
    }
    for (const Started &s : started_)
      // One step more: waiting for the line to be free before the first.
      require(now_.steady - s.at <= kStepBound * (s.steps + 1),
              "an operation ran past its deadline");
    require(started_.size() <= 1, "more than one operation without a result");
    for (const x10::ReceivedCommand &command : core_.takeReceived())
      require(!x10::commandText(command).empty(), "a received command without text");
    for (const std::string &note : core_.takeNotes())
      if (trace_)
        std::fprintf(stderr, "%s\n", note.c_str());
    if (trace_ && !out.empty())
      std::fprintf(stderr, "  wrote %zu byte(s), first %02X, %s\n", out.size(), out[0],
                   idle ? "idle" : "busy");
  }

  // The line falls silent: every deadline runs out in turn.
  void settle() {
    for (int round = 0; round < 1000; ++round) {
      const auto due = core_.nextDeadline();
      if (!due)
        break;
      pass(*due - now_.steady);
      check(false);
    }
    require(started_.empty(), "an operation never finished on a silent line");
    require(!core_.nextDeadline(), "the core never settled on a silent line");
  }

  Script &in_;
  x10::Cm11aCore core_;
  x10::Instant now_{x10::SteadyTime{} + 1h, x10::WallClock{100, 3, 12, 30, 0}};
  std::deque<Started> started_;
  std::vector<std::uint8_t> lastWrite_;
  bool startedNow_ = false;
  const bool trace_ = std::getenv("X10_FUZZ_TRACE") != nullptr; // the core's notes, for reproducing
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  Script in(data, size);
  Harness(in).run();
  return 0;
}
