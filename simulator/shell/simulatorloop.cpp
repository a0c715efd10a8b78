// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/shell/simulatorloop.h"

#include "simulator/shell/syscalls.h"

#include "vocabulary/hexbytes.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <unistd.h>

namespace x10::sim {
namespace {

constexpr int kWriteTimeoutMs = 1000;
// A client that sends without pause must not keep the loop from the device's deadlines: at
// most this many reads of the port before the next look at everything else.
constexpr int kPortReadsPerWake = 16;
constexpr std::size_t kLongestLine = 4096; // input without newlines must not grow without bound

std::string_view prefixOf(Report::Kind kind) {
  switch (kind) {
  case Report::Kind::Exchange:
    return "wire  ";
  case Report::Kind::Line:
    return "line  ";
  case Report::Kind::Module:
    return "MODULE";
  case Report::Kind::Note:
    return "note  ";
  }
  return "";
}

std::optional<TimePoint> earliest(std::initializer_list<std::optional<TimePoint>> times) {
  std::optional<TimePoint> first;
  for (const auto &t : times)
    if (t && (!first || *t < *first))
      first = t;
  return first;
}

} // namespace

SimulatorLoop::SimulatorLoop(Cm11aDevice &device, InterfacePort &port, SignalWatch &signals,
                             Trace &trace, CommandRunner &script)
    : device_(device), port_(port), signals_(signals), trace_(trace), script_(script),
      start_(Clock::now()) {}

int SimulatorLoop::run() {
  while (!stop_) {
    pump(Clock::now());
    if (!stop_)
      waitForEvents(Clock::now());
  }
  return 0;
}

void SimulatorLoop::waitForEvents(TimePoint now) {
  const auto deadline =
      earliest({device_.nextDeadline(), script_.nextDeadline(), terminal_.nextDeadline()});
  int timeoutMs = -1;
  if (deadline) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*deadline - now).count();
    timeoutMs = static_cast<int>(std::clamp<long long>(wait, 0, INT_MAX));
  }
  std::array<pollfd, 4> fds{{{signals_.fd(), POLLIN, 0},
                             {port_.watchFd(), POLLIN, 0},
                             {port_.dataFd(), POLLIN, 0},
                             {terminalOpen_ ? STDIN_FILENO : -1, POLLIN, 0}}};
  if (SysCalls::real().poll(fds.data(), fds.size(), timeoutMs) < 0) {
    if (errno != EINTR)
      throw std::system_error(errno, std::generic_category(), "waiting for input");
    return;
  }
  now = Clock::now();
  if (fds[0].revents) {
    if (const auto signal = signals_.take()) {
      say("stop  ", std::string("stopping on ") + strsignal(*signal), now);
      stop_ = true;
    }
  }
  // The client's bytes first, and with them its end: a TCP client that has gone is seen gone
  // before the next one is let in or turned away. Both come before the device's answer.
  if (fds[2].revents)
    readPort(now);
  if (fds[1].revents)
    checkClients(now);
  if (fds[3].revents)
    readTerminal();
}

void SimulatorLoop::readPort(TimePoint now) {
  std::array<std::uint8_t, 256> buffer;
  for (int reads = 0; reads < kPortReadsPerWake; ++reads) {
    const ReadResult result = readSome(SysCalls::real(), port_.dataFd(), buffer);
    if (result.status == ReadResult::Status::WouldBlock)
      return;
    if (result.status != ReadResult::Status::Data) {
      say("port  ", port_.ended(result), now);
      return;
    }
    const std::span bytes(buffer.data(), result.count);
    trace_.bytes(Trace::Direction::FromPc, bytes, now);
    device_.receive(bytes, now);
  }
}

void SimulatorLoop::checkClients(TimePoint now) {
  for (const std::string &line : port_.updateClients())
    say("port  ", line, now);
}

void SimulatorLoop::readTerminal() {
  std::array<std::uint8_t, 512> buffer;
  const ReadResult result = readSome(SysCalls::real(), STDIN_FILENO, buffer);
  if (result.status != ReadResult::Status::Data) {
    // End of input (or input from /dev/null) leaves the simulator running for the driver.
    terminalOpen_ = result.status == ReadResult::Status::WouldBlock;
    if (!terminalOpen_ && !partialLine_.empty())
      terminal_.add(std::exchange(partialLine_, {}));
    return;
  }
  partialLine_.append(reinterpret_cast<const char *>(buffer.data()), result.count);
  for (std::size_t end; (end = partialLine_.find('\n')) != std::string::npos;) {
    terminal_.add(partialLine_.substr(0, end));
    partialLine_.erase(0, end + 1);
  }
  if (partialLine_.size() > kLongestLine)
    terminal_.add(std::exchange(partialLine_, {}));
}

void SimulatorLoop::pump(TimePoint now) {
  device_.advance(now);
  show(script_.runDue(device_, now), now);
  show(terminal_.runDue(device_, now), now);
  device_.advance(now);
  const std::vector<std::uint8_t> output = device_.takeOutput(now);
  if (!output.empty()) {
    if (port_.connected()) {
      const std::size_t written =
          writeAll(SysCalls::real(), port_.dataFd(), output, kWriteTimeoutMs);
      trace_.bytes(Trace::Direction::ToPc, std::span(output).first(written), now);
      if (written < output.size())
        say("port  ", "could not write " + std::to_string(output.size() - written) + " byte(s)",
            now);
    } else {
      trace_.text("port closed, lost: " + hexBytes(output), now);
    }
  }
  for (const Report &report : device_.takeReports())
    say(prefixOf(report.kind), report.text, now);
}

void SimulatorLoop::show(const Outcome &outcome, TimePoint now) {
  for (const std::string &line : outcome.lines)
    say("      ", line, now);
  if (outcome.hangUp) {
    say("stop  ", "hanging up: the port goes away", now);
    stop_ = true;
  }
  if (outcome.quit)
    stop_ = true;
}

void SimulatorLoop::say(std::string_view prefix, const std::string &text, TimePoint now) {
  const double seconds = std::chrono::duration<double>(now - start_).count();
  std::printf("%9.3f %.*s %s\n", seconds, static_cast<int>(prefix.size()), prefix.data(),
              text.c_str());
  std::fflush(stdout);
  trace_.text(text, now);
}

} // namespace x10::sim
