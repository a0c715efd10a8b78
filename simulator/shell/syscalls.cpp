// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/shell/syscalls.h"

#include <cerrno>
#include <unistd.h>

namespace x10::sim {

ssize_t SysCalls::read(int fd, void *buffer, std::size_t size) { return ::read(fd, buffer, size); }
ssize_t SysCalls::write(int fd, const void *buffer, std::size_t size) {
  return ::write(fd, buffer, size);
}
int SysCalls::poll(pollfd *fds, nfds_t count, int timeoutMs) {
  return ::poll(fds, count, timeoutMs);
}
int SysCalls::close(int fd) { return ::close(fd); }

SysCalls &SysCalls::real() {
  static SysCalls sys;
  return sys;
}

ReadResult readSome(SysCalls &sys, int fd, std::span<std::uint8_t> buffer) {
  for (;;) {
    const ssize_t n = sys.read(fd, buffer.data(), buffer.size());
    if (n > 0)
      return {ReadResult::Status::Data, static_cast<std::size_t>(n)};
    if (n == 0)
      return {ReadResult::Status::End};
    if (errno == EINTR)
      continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK)
      return {ReadResult::Status::WouldBlock};
    if (errno == EIO)
      return {ReadResult::Status::End, 0, errno};
    return {ReadResult::Status::Failed, 0, errno};
  }
}

std::size_t writeAll(SysCalls &sys, int fd, std::span<const std::uint8_t> bytes, int timeoutMs) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = sys.write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd writable{fd, POLLOUT, 0};
      int ready;
      do
        ready = sys.poll(&writable, 1, timeoutMs);
      while (ready < 0 && errno == EINTR);
      if (ready > 0)
        continue;
    }
    break;
  }
  return done;
}

} // namespace x10::sim
