// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/integration/backtoback.h"

#include "controller/protocol/commandtext.h"
#include "controller/protocol/sendplanner.h"
#include "simulator/core/command.h"
#include "simulator/core/commandexecutor.h"

#include <QTest>

namespace x10::test {
namespace {

// Monday, day 328, 21:04:19.
const WallClock kWall{328, 1, 21, 4, 19};

std::optional<sim::TimePoint> earliest(std::optional<sim::TimePoint> a,
                                       std::optional<sim::TimePoint> b) {
  if (!a || (b && *b < *a))
    return b;
  return a;
}

} // namespace

BackToBack::BackToBack(sim::Timing timing)
    : now(sim::TimePoint{} + std::chrono::hours(1)),
      device(timing, sim::PowerLine::withDemoModules(), now) {}

void BackToBack::command(std::string_view line) {
  const auto parsed = sim::parseCommand(line);
  if (!parsed)
    QFAIL(parsed.error().c_str());
  const sim::Outcome outcome = sim::execute(*parsed, device, now);
  if (outcome.hangUp)
    connected_ = false;
  if (outcome.wait)
    runFor(*outcome.wait);
}

void BackToBack::replug() {
  device = sim::Cm11aDevice(device.timing(), sim::PowerLine::withDemoModules(), now);
  core.reset();
  connected_ = true;
}

std::optional<OperationResult> BackToBack::probe(sim::Duration limit) {
  core.startProbe(instant());
  return await(limit);
}

std::optional<OperationResult> BackToBack::clear(sim::Duration limit) {
  core.startClear(instant());
  return await(limit);
}

std::optional<OperationResult> BackToBack::send(std::vector<Transmission> transmissions,
                                                Completion completion, sim::Duration limit) {
  core.startSend(std::move(transmissions), completion, instant());
  return await(limit);
}

std::optional<OperationResult> BackToBack::send(std::string_view house, std::string_view devices,
                                                int function, Completion completion, double dim,
                                                double data1, double data2) {
  return send(planSend(house, devices, function, dim, data1, data2).value(), completion);
}

void BackToBack::runFor(sim::Duration span) {
  runUntil([] { return false; }, span);
}

bool BackToBack::runUntil(const std::function<bool()> &done, sim::Duration limit) {
  const sim::TimePoint end = now + limit;
  for (;;) {
    exchange();
    if (done())
      return true;
    const auto next = earliest(core.nextDeadline(), device.nextDeadline());
    if (!next || *next > end) {
      now = end;
      exchange();
      return done();
    }
    now = std::max(now, *next);
  }
}

QStringList BackToBack::takeReceived() { return std::exchange(received_, {}); }

QStringList BackToBack::reports(sim::Report::Kind kind) const {
  QStringList texts;
  for (const sim::Report &report : reports_)
    if (report.kind == kind)
      texts << QString::fromStdString(report.text);
  return texts;
}

const sim::Module *BackToBack::module(char house, int unit) const {
  return device.powerLine().module(*HouseCode::fromLetter(house), *UnitCode::fromNumber(unit));
}

std::optional<OperationResult> BackToBack::await(sim::Duration limit) {
  const sim::TimePoint start = now;
  runUntil([this] { return result_.has_value(); }, limit);
  lastOperationTime_ = now - start;
  return std::exchange(result_, std::nullopt);
}

Instant BackToBack::instant() const { return {now, kWall}; }

// Hands bytes across until neither side has anything more to say at this instant. A hung-up
// interface still runs, but nothing crosses the wire.
void BackToBack::exchange() {
  for (;;) {
    device.advance(now);
    const std::vector<std::uint8_t> toPc = device.takeOutput(now);
    if (connected_ && !toPc.empty())
      core.receive(toPc, instant());
    core.timePassed(instant());
    const std::vector<std::uint8_t> toDevice = core.takeOutput();
    if (connected_ && !toDevice.empty())
      device.receive(toDevice, now);
    collect();
    if (toPc.empty() && toDevice.empty())
      return;
  }
}

void BackToBack::collect() {
  while (auto result = core.takeResult()) {
    if (result_)
      QFAIL("the core gave a second result for one operation");
    result_ = std::move(result);
  }
  for (const ReceivedCommand &c : core.takeReceived())
    received_ << QString::fromStdString(commandText(c));
  for (std::string &line : core.takeNotes())
    notes_ << QString::fromStdString(line);
  for (sim::Report &report : device.takeReports())
    reports_.push_back(std::move(report));
}

} // namespace x10::test
