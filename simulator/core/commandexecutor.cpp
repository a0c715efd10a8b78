// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/core/commandexecutor.h"

#include "simulator/core/storm.h"
#include "simulator/core/words.h"

namespace x10::sim {
namespace {

std::string listFrames(const std::vector<Frame> &frames) {
  std::string text;
  for (const Frame &frame : frames)
    text += (text.empty() ? "" : ", ") + describe(frame);
  return text;
}

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

Outcome execute(const Command &command, Cm11aDevice &device, TimePoint now) {
  Outcome outcome;
  auto say = [&outcome](std::string line) { outcome.lines.push_back(std::move(line)); };
  std::visit(Overloaded{
                 [](const cmd::Blank &) {},
                 [&](const cmd::Traffic &c) {
                   say("remote sends: " + listFrames(c.frames));
                   device.inject(c.frames, now);
                 },
                 [&](const cmd::Storm &c) {
                   const std::vector<Frame> frames = stormFrames(c.count, c.traffic);
                   say("remote storm: " + std::to_string(c.count) + " commands, " +
                       std::to_string(frames.size()) +
                       " frames, each waiting for the line and for room in the buffer");
                   device.injectPaced(frames, now);
                 },
                 [&](const cmd::ShowModules &) {
                   for (std::string &line : device.powerLine().listing())
                     say(std::move(line));
                 },
                 [&](const cmd::SetModule &c) {
                   device.powerLine().setModule(c.house, c.unit, c.kind);
                   say(c.house.letter() + std::to_string(c.unit.number()) + ": " +
                       (c.kind ? std::string(kindName(*c.kind)) : "no module"));
                 },
                 [&](const cmd::PowerFail &) { device.powerFail(now); },
                 [&](const cmd::WrongChecksums &c) {
                   device.faults().wrongChecksums = c.count;
                   say("the next " + std::to_string(c.count) + " checksum(s) will be wrong");
                 },
                 [&](const cmd::ChecksumIs5A &) {
                   device.faults().checksumIs5A = true;
                   say("the next checksum will be 5A");
                 },
                 [&](const cmd::Collide &c) {
                   device.faults().collide = c.frames;
                   say("the next transmission will collide with " + listFrames(c.frames));
                 },
                 [&](const cmd::Silence &c) { device.silence(c.length, now); },
                 [&](const cmd::Garbage &c) { device.sendGarbage(c.bytes, now); },
                 [&](const cmd::TruncateUpload &c) {
                   device.faults().truncateUpload = c.bytes;
                   say("the next upload stops after " + std::to_string(c.bytes) + " byte(s)");
                 },
                 [&](const cmd::HangUp &) { outcome.hangUp = true; },
                 [&](const cmd::ClearFaults &) {
                   device.clearFaults(now);
                   say("faults cleared");
                 },
                 [&](const cmd::Wait &c) { outcome.wait = c.length; },
                 [&](const cmd::Repeat &) { outcome.repeat = true; },
                 [&](const cmd::Help &) {
                   for (std::string &line : words::splitLines(helpText()))
                     say(std::move(line));
                 },
                 [&](const cmd::Quit &) { outcome.quit = true; },
             },
             command);
  return outcome;
}

} // namespace x10::sim
