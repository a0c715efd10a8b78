// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The CM11A as the PC sees it on the serial line, with the power line and its modules behind
// it. Pure: bytes and time in, bytes and reports out; it owns no port and no clock, so it can
// run on a pseudo-terminal or back to back with a driver in memory.
//
// Use: feed the PC's bytes with receive(); call advance() when nextDeadline() has come; write
// what takeOutput() hands back. Bytes both ways take their wire time: the PC's are handled
// once fully in, and output bytes carry the time they are fully on the wire, so
// takeOutput(now) gives only those due by now.
//
// Serial states (the PC starts every exchange except the two polls):
//   Idle         a header or command byte starts an exchange; 0x8B is answered at once;
//                other bytes are ignored.
//   Collecting   gathers the rest of a multi-byte command, then answers its checksum; a pause
//                of Timing::commandGap() drops the partial command. A set-clock acts once its
//                bytes are in, and its 0x9B alone ends a power failure.
//   AwaitGoAhead 0x00 runs the command; any other byte is the PC sending again or skipping
//                the go-ahead, so it starts a new exchange; nothing for Timing::goAheadWait()
//                drops the exchange.
//   Executing    the frame waits for and takes the power line; 0x55 when it has gone.
//   Polling      0x5A now and each second while holding heard traffic; only 0xC3 is heard,
//                and answered with the upload.
// After a power failure the interface is Idle but sends 0xA5 each second and hears nothing but
// a set-clock. Polling starts only from Idle, so an exchange in progress is never cut, except
// by the collide fault, which makes traffic arrive just as a transmission starts.

#include "simulator/core/faults.h"
#include "simulator/core/housemonitor.h"
#include "simulator/core/interfaceclock.h"
#include "simulator/core/lineschedule.h"
#include "simulator/core/pccommands.h"
#include "simulator/core/powerline.h"
#include "simulator/core/receivebuffer.h"
#include "simulator/core/timing.h"

#include <deque>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace x10::sim {

struct Report {
  enum class Kind {
    Exchange, // a decoded exchange with the PC
    Line,     // a frame that went over the power line
    Module,   // a module changed: "A1 lamp on 100%"
    Note,     // ignored bytes, lost traffic, faults
  };
  Kind kind;
  std::string text;
};

class Cm11aDevice {
public:
  Cm11aDevice(Timing timing, PowerLine line, TimePoint now);

  // The serial side.
  void receive(std::span<const std::uint8_t> bytes, TimePoint now);
  void advance(TimePoint now);
  std::optional<TimePoint> nextDeadline() const;
  std::vector<std::uint8_t> takeOutput(TimePoint now);
  std::vector<Report> takeReports();

  // The power line and the faults.
  void inject(std::span<const Frame> frames, TimePoint now); // sent by a remote control
  // Sent by a remote that waits for a free line and for room in the interface's buffer, one
  // frame at a time, so none is lost however many there are.
  void injectPaced(std::span<const Frame> frames, TimePoint now);
  std::size_t pacedWaiting() const { return paced_.size(); }
  void powerFail(TimePoint now);
  // A warm start: the clock was set before (to the second of the day, the day of the year,
  // 0-based, and of the week, 0 = Sunday, given) and the battery timer cleared with it. A
  // device not given this starts cold, as a new one does: clock at day 0, battery timer FFFF;
  // a cold start that asks for the clock is powerFail() at once.
  void startWarm(int secondOfDay, int yearDay, int weekDay, TimePoint now);
  void silence(std::optional<Duration> length, TimePoint now); // none: for good
  void sendGarbage(std::span<const std::uint8_t> bytes, TimePoint now);
  void clearFaults(TimePoint now); // also ends a silence
  Faults &faults() { return faults_; }

  PowerLine &powerLine() { return line_; }
  const PowerLine &powerLine() const { return line_; }
  const Timing &timing() const { return timing_; }
  bool powerFailed() const { return powerFailed_; }
  bool ringEnabled() const { return ringEnabled_; }
  // Timer and macro blocks the PC downloaded: 16 data bytes by their EEPROM address.
  const std::map<std::uint16_t, std::vector<std::uint8_t>> &storedBlocks() const { return blocks_; }

private:
  enum class State { Idle, Collecting, AwaitGoAhead, Executing, Polling };

  std::optional<TimePoint> nextInternalEvent(bool withGap) const;
  void runDue(TimePoint now, bool withGap);
  void handleByte(std::uint8_t byte, TimePoint now);
  void start(std::uint8_t byte, TimePoint now);
  void collected(TimePoint now);
  void dropPartial(TimePoint at);
  void collide(TimePoint now);
  void answerChecksum(TimePoint now);
  void goAhead(TimePoint now);
  void setClock(TimePoint now);
  void sendStatus(TimePoint now);
  void upload(TimePoint now);
  void ready(TimePoint at);
  void becomeIdle(TimePoint at);
  void startPolling(TimePoint at);
  void pollTimer(TimePoint at);
  void lineFinished(const LineSchedule::Finished &finished);
  void carry(const Frame &frame, TimePoint at);
  void hearRemote(const Frame &frame, TimePoint at);
  void feedPaced(TimePoint at);
  void endSilence(TimePoint at);
  void dropExchange(TimePoint at);
  void abandonExchange(); // power failure or silence: no answer, no deadline
  bool silent(TimePoint at) const { return silentUntil_ && at < *silentUntil_; }
  void send(std::uint8_t byte, TimePoint at);
  void send(std::span<const std::uint8_t> bytes, TimePoint at);
  void report(Report::Kind kind, std::string text);
  std::string describePending(TimePoint now) const;

  Timing timing_;
  PowerLine line_;
  HouseMonitor monitor_;
  InterfaceClock clock_;
  ReceiveBuffer buffer_;
  LineSchedule schedule_;
  Faults faults_;

  State state_ = State::Idle;
  bool powerFailed_ = false;
  wire::Command pending_ = wire::Command::None;
  std::vector<std::uint8_t> pendingBytes_;
  std::optional<TimePoint> nextPoll_;
  std::optional<TimePoint> silentUntil_;
  std::optional<TimePoint> goAheadDue_; // AwaitGoAhead ends without one then
  std::optional<TimePoint> gapDue_;     // a partial command is dropped then

  std::deque<Frame> paced_;
  int lostFrames_ = 0; // heard since the last upload but not held

  std::deque<std::pair<TimePoint, std::uint8_t>> input_; // the PC's bytes, when each is in
  TimePoint lastInputDue_{};
  std::deque<std::pair<TimePoint, std::uint8_t>> output_;
  TimePoint lastByteDue_{};
  std::vector<Report> reports_;

  std::uint16_t batteryTimer_ = 0xFFFF;
  bool ringEnabled_ = true;
  std::map<std::uint16_t, std::vector<std::uint8_t>> blocks_;
};

} // namespace x10::sim
