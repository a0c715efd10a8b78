// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/shell/portwatch.h"

#include "simulator/shell/syscalls.h"

#include <sys/inotify.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace x10::sim {

PortWatch::PortWatch(const std::string &path) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
  if (!fd_.valid() ||
      ::inotify_add_watch(fd_.get(), path.c_str(), IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0)
    throw std::system_error(errno, std::generic_category(), "watching who opens the port");
}

PortWatch::Change PortWatch::update() {
  Change change;
  alignas(inotify_event) std::array<std::uint8_t, 4096> buffer;
  for (;;) {
    const ReadResult result = readSome(SysCalls::real(), fd_.get(), buffer);
    if (result.status == ReadResult::Status::Failed)
      throw std::system_error(result.error, std::generic_category(), "reading who opens the port");
    if (result.status != ReadResult::Status::Data) {
      change.clients = clients_;
      return change;
    }
    for (std::size_t at = 0; at + sizeof(inotify_event) <= result.count;) {
      inotify_event event;
      std::memcpy(&event, buffer.data() + at, sizeof event);
      if (event.mask & IN_OPEN)
        ++clients_;
      if (event.mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) {
        clients_ = std::max(clients_ - 1, 0);
        change.closed = true;
      }
      at += sizeof(inotify_event) + event.len;
    }
  }
}

} // namespace x10::sim
