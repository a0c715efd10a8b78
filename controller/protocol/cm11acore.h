// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The CM11A protocol engine with no I/O: bytes and time in; bytes to write, finished
// operations and decoded X10 traffic out. It owns no port, timer or thread. The shell feeds it
// what the port delivers, writes what takeOutput() returns, and calls timePassed() once
// nextDeadline() is reached. A device model built the same way can be wired back to back with
// it in memory: hand each side's takeOutput() to the other's receive().
//
// Operations run one at a time: a probe (status request), a clear (resync, then a set-clock
// that clears the battery timer and monitored status, never purging timers), or a send (a
// list of transmissions). Between and during them the core answers polls (0x5A, upload taken
// and decoded) and power-fail polls (0xA5, answered with a set-clock of the current time; a
// set-clock that fails kMaxTries times is given up until the interface asks again).

#include "controller/protocol/receivedecoder.h"
#include "controller/protocol/statusreply.h"
#include "controller/protocol/transmission.h"
#include "controller/protocol/wallclock.h"
#include "vocabulary/result.h"

#include <chrono>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace x10 {

using SteadyTime = std::chrono::steady_clock::time_point;

// When an input happens: monotonic time for deadlines, local time for set-clocks.
struct Instant {
  SteadyTime steady;
  WallClock wall;
};

namespace timing {
using namespace std::chrono_literals;
inline constexpr std::chrono::milliseconds kChecksumWait = 1000ms;
// Covers a poll (about once a second) arriving instead of the reply.
inline constexpr std::chrono::milliseconds kStatusWait = 1500ms;
inline constexpr std::chrono::milliseconds kUploadWait = 1000ms;
// An upload comes as one burst. A pause this long inside one means bytes were lost: waiting on
// would take the interface's next poll for the missing byte and invent a command.
inline constexpr std::chrono::milliseconds kUploadGap = 100ms;
// "Ready" is awaited for the power-line time at 50 Hz (the slower mains), plus the time the
// line may stay busy with another transmitter's traffic, plus this margin.
inline constexpr std::chrono::milliseconds kMainsCycle = 20ms;
inline constexpr std::chrono::milliseconds kReadyMargin = 1000ms;
// A status reply comes as one burst; a lone 0x5A or 0xA5 followed by this much silence was a poll.
inline constexpr std::chrono::milliseconds kPollGap = 100ms;
// Resync: drop bytes until the line has been quiet this long (shorter than the poll period)...
inline constexpr std::chrono::milliseconds kDrainQuiet = 100ms;
// ...but give up on a line that never falls quiet.
inline constexpr std::chrono::milliseconds kDrainLimit = 2000ms;
inline constexpr int kMaxTries = 3;
// An operation started while the interface holds the line (an upload, the clock it asked for,
// a resync) waits this long for the line to be free, then fails: long enough for an upload and
// a resync, short enough that a caller never hangs on a line that stays busy.
inline constexpr std::chrono::milliseconds kLineWait = 4000ms;
// Polls or power-fail polls that may interrupt one step before the operation fails.
inline constexpr int kMaxInterruptions = 8;
// Deadlines handled by one timePassed call. Each moves the core to another phase with a later
// deadline or none; after a long stall a few may have fallen due together, never this many.
inline constexpr int kMaxDeadlinesAtOnce = 8;
// Each wait above is bounded, but an interface that answers every byte just inside its deadline,
// and breaks in as often as allowed, could chain them for minutes. So a whole operation, from
// its start to its result, is also bounded: the wait for the line, this much per step, and the
// power-line time a transmission's "ready" is awaited for.
inline constexpr std::chrono::milliseconds kStepAllowance = 3000ms;
// Stray bytes are noted one by one at most this often; the rest are counted.
inline constexpr std::chrono::milliseconds kStrayNoteInterval = 1000ms;
} // namespace timing

enum class OperationKind { Probe, Clear, Send };

// When a send succeeds: Accepted once the last checksum is confirmed and the go-ahead sent,
// Done once the interface reports the last transmission done ("ready").
enum class Completion { Accepted, Done };

// Why an operation failed.
enum class Failure {
  NoAnswer,         // silence where an answer was due
  WrongAnswer,      // status reply malformed or cut short
  ChecksumWrong,    // still wrong after kMaxTries
  NotDone,          // accepted, but no "ready" within the power-line time
  KeptInterrupting, // polls kept the step from completing
  NoisyLine,        // the line never fell quiet for a resync
  LineBusy,         // never started: the interface's own traffic held the line for kLineWait
  TooSlow,          // not finished within the operation's bound (see callBound)
};

struct OperationDone {
  OperationKind kind = OperationKind::Send;
  std::optional<StatusReply> status; // a probe's reply
};

struct OperationError {
  OperationKind kind = OperationKind::Send;
  Failure failure = Failure::NoAnswer;
  std::string message; // what was expected and what happened
};

// How a finished operation went, handed out once per operation started.
using OperationResult = Result<OperationDone, OperationError>;

class Cm11aCore {
public:
  // Start an operation. One may be started while the line is still busy (an upload being
  // taken, the tail of a send that already reported "accepted"); it begins once that is over.
  // Starting one while another has not produced its result is a programming error
  // (std::logic_error).
  void startProbe(const Instant &now);
  void startClear(const Instant &now);
  void startSend(std::vector<Transmission> transmissions, Completion completion,
                 const Instant &now);

  void receive(std::span<const std::uint8_t> bytes, const Instant &now);
  // Handles every deadline at or before now.
  void timePassed(const Instant &now);
  // When timePassed must be called next; nothing while idle.
  std::optional<SteadyTime> nextDeadline() const;

  // The longest an operation may take from its start to its result, whatever the interface
  // does: kLineWait, plus kStepAllowance per step (the status request; clearing's resync and
  // set-clock; each transmission), plus the "ready" wait of each transmission sent.
  static std::chrono::milliseconds callBound(OperationKind kind,
                                             const std::vector<Transmission> &transmissions);
  // An operation was started and has not produced its result yet.
  bool operationRunning() const;
  // Forget everything, as after reopening the port.
  void reset();

  std::vector<std::uint8_t> takeOutput();
  std::optional<OperationResult> takeResult();
  std::vector<ReceivedCommand> takeReceived();
  // What happened, one line each, for the transaction log.
  std::vector<std::string> takeNotes();

private:
  enum class Phase {
    Idle,
    AwaitChecksum,
    AwaitReady,
    AwaitUploadSize,
    AwaitUploadData,
    AwaitStatus,
    Draining
  };
  enum class Purpose { Operation, PowerFailClock };

  struct Operation {
    OperationKind kind = OperationKind::Send;
    std::vector<Transmission> transmissions;
    Completion completion = Completion::Done;
    std::size_t step = 0;
    bool reported = false; // result already handed out ("accepted"); only the tail remains
    std::optional<StatusReply> status;
  };
  struct InFlight {
    Transmission transmission;
    Purpose purpose;
  };

  void startOperation(Operation op, const Instant &now);
  void onByte(std::uint8_t b, const Instant &now);
  void onDeadline(const Instant &now);
  std::optional<SteadyTime> phaseDeadline() const;
  void proceed(const Instant &now);
  void finishIfDone(const Instant &now);
  void armLineWait(const Instant &now);
  void failQueued();
  void failTooSlow(const Instant &now);
  void noteStray(std::uint8_t b, const std::string &where, const Instant &now);
  std::string lineBusyWith() const;

  void onChecksum(std::uint8_t b, const Instant &now);
  void onReady(std::uint8_t b, const Instant &now);
  void onUploadSize(std::uint8_t b, const Instant &now);
  void onUploadData(std::uint8_t b, const Instant &now);
  void onStatusByte(std::uint8_t b, const Instant &now);
  void onIdleByte(std::uint8_t b, const Instant &now);
  void onStatusDeadline(const Instant &now);
  void onReadyDeadline(const Instant &now);

  void enter(Phase phase, std::optional<SteadyTime> deadline = std::nullopt);
  void send(const Transmission &t, Purpose purpose, const Instant &now);
  void write(std::span<const std::uint8_t> bytes);
  void answerPoll(const Instant &now);
  void answerPowerFail(const Instant &now);
  bool interrupted(const Instant &now);
  void transmissionDone();
  void reportAcceptedIfLast();
  void finishProbe(const Instant &now);
  void deliver(const Upload &upload);
  void startDrain(const Instant &now);
  void reportFailure(Failure failure, const std::string &message, const Instant &now);
  void fail(Failure failure, const std::string &message, const Instant &now);
  void note(std::string line);
  bool stepsFinished() const;

  Phase phase_ = Phase::Idle;
  std::optional<SteadyTime> deadline_;
  std::optional<SteadyTime> pollGapEnd_;
  SteadyTime drainQuietEnd_{};
  SteadyTime drainLimit_{};
  std::optional<Operation> op_;
  std::optional<Operation> queued_;
  std::optional<SteadyTime> lineWaitEnd_; // when queued_ fails; armed while no operation runs
  std::optional<SteadyTime> callEnd_;     // the running operation's bound (callBound)
  std::chrono::milliseconds callBound_{};
  std::optional<SteadyTime> strayNoteEnd_; // until then stray bytes are only counted
  long long strays_ = 0;                   // counted since the last note
  std::optional<InFlight> inFlight_;
  bool clockOwed_ = false; // a power-fail poll awaits its set-clock
  int clockTries_ = 0;     // set-clocks sent for it so far
  int interruptions_ = 0;  // since the last completed step
  int tries_ = 0;          // wrong checksums for the current step
  std::vector<std::uint8_t> rx_;
  ReceiveDecoder decoder_;

  std::vector<std::uint8_t> output_;
  std::deque<OperationResult> results_;
  std::vector<ReceivedCommand> received_;
  std::vector<std::string> notes_;
};

} // namespace x10
