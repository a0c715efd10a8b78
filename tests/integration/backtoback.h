// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The driver's protocol core and the simulated interface wired back to back in memory on a
// virtual clock: whatever one side writes is handed to the other at once, and time jumps
// straight to the next deadline of either side. Runs are exact and take no real time.

#include "controller/protocol/cm11acore.h"
#include "simulator/core/cm11adevice.h"

#include <QStringList>

#include <functional>
#include <optional>
#include <string_view>

namespace x10::test {

class BackToBack {
public:
  explicit BackToBack(sim::Timing timing = sim::Timing::fast());

  // A line of the simulator's command language ("B3 On", "fault checksum 2", "power fail");
  // fails the test on a line the simulator refuses. "fault hangup" unplugs the wire.
  void command(std::string_view line);
  // Plugs in a fresh interface after a hang-up; the driver core starts over, as it does when
  // it reopens its port.
  void replug();

  // Starts an operation and runs until its result comes, or `limit` of virtual time passes.
  std::optional<OperationResult> probe(sim::Duration limit = std::chrono::seconds(30));
  std::optional<OperationResult> clear(sim::Duration limit = std::chrono::seconds(30));
  std::optional<OperationResult> send(std::vector<Transmission> transmissions,
                                      Completion completion,
                                      sim::Duration limit = std::chrono::seconds(30));
  // Plans the send the way the component does: house, devices, function, dim, data1, data2.
  std::optional<OperationResult> send(std::string_view house, std::string_view devices,
                                      int function, Completion completion, double dim = 0,
                                      double data1 = 0, double data2 = 0);

  // The result of an operation started on `core` directly, as above.
  std::optional<OperationResult> await(sim::Duration limit);

  void runFor(sim::Duration span);
  // Runs until `done` holds or `limit` passes; says whether it holds.
  bool runUntil(const std::function<bool()> &done, sim::Duration limit);

  // Virtual time the last operation took from its start to its result.
  sim::Duration lastOperationTime() const { return lastOperationTime_; }
  // Texts of the commands the core decoded so far ("B3 On"), taken once.
  QStringList takeReceived();
  // The interface's reports of each kind so far, oldest first.
  QStringList reports(sim::Report::Kind kind) const;
  // The core's notes, for messages when a check fails.
  QString notes() const { return notes_.join('\n'); }

  const sim::Module *module(char house, int unit) const;
  // Now, as the core is given it: the virtual clock and a fixed local time.
  Instant instant() const;

  sim::TimePoint now;
  sim::Cm11aDevice device;
  Cm11aCore core;

private:
  void exchange();
  void collect();

  bool connected_ = true;
  std::optional<OperationResult> result_;
  sim::Duration lastOperationTime_{};
  QStringList received_;
  QStringList notes_;
  std::vector<sim::Report> reports_;
};

} // namespace x10::test
