// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/shell/signalwatch.h"

#include <cerrno>
#include <sys/signalfd.h>
#include <system_error>

namespace x10::sim {

SignalWatch::SignalWatch() {
  sigset_t watched;
  sigemptyset(&watched);
  for (int signal : {SIGINT, SIGTERM, SIGHUP})
    sigaddset(&watched, signal);
  if (sigprocmask(SIG_BLOCK, &watched, &previous_) != 0)
    throw std::system_error(errno, std::generic_category(), "blocking signals");
  fd_.reset(signalfd(-1, &watched, SFD_NONBLOCK | SFD_CLOEXEC));
  if (!fd_.valid())
    throw std::system_error(errno, std::generic_category(), "watching signals");
  std::signal(SIGPIPE, SIG_IGN);
}

SignalWatch::~SignalWatch() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

std::optional<int> SignalWatch::take() {
  signalfd_siginfo info{};
  const ReadResult result = readSome(
      SysCalls::real(), fd_.get(), std::span(reinterpret_cast<std::uint8_t *>(&info), sizeof info));
  if (result.status != ReadResult::Status::Data || result.count != sizeof info)
    return std::nullopt;
  return static_cast<int>(info.ssi_signo);
}

} // namespace x10::sim
