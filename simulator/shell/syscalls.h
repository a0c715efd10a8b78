// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The one seam through which the shell makes its system calls, so tests can interrupt them
// (EINTR) and split them (partial reads and writes), and the loops that cope with both.

#include <poll.h>
#include <sys/types.h>

#include <cstdint>
#include <span>

namespace x10::sim {

class SysCalls {
public:
  virtual ~SysCalls() = default;
  virtual ssize_t read(int fd, void *buffer, std::size_t size);
  virtual ssize_t write(int fd, const void *buffer, std::size_t size);
  virtual int poll(pollfd *fds, nfds_t count, int timeoutMs);
  virtual int close(int fd);

  static SysCalls &real();
};

struct ReadResult {
  enum class Status {
    Data,       // count bytes read
    WouldBlock, // nothing there now
    End,        // end of file, or a pseudo-terminal with nobody on the other side (EIO)
    Failed,
  };
  Status status;
  std::size_t count = 0;
  int error = 0;
};

// One read, retried when a signal interrupts it.
ReadResult readSome(SysCalls &sys, int fd, std::span<std::uint8_t> buffer);

// Writes all bytes, through interruptions and partial writes, waiting up to timeoutMs each time
// the descriptor is full. Returns the bytes written, fewer only if it fails or stays full.
std::size_t writeAll(SysCalls &sys, int fd, std::span<const std::uint8_t> bytes, int timeoutMs);

} // namespace x10::sim
