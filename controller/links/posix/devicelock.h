// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// How the driver holds a serial device while its port is open, so that no other program uses
// it at the same time and a crashed holder never keeps anyone out:
// - flock(2) on the open device and the terminal's exclusive mode (TIOCEXCL). The kernel drops
//   both when the holder's process ends, however it ends, so they never go stale;
// - the lock file older serial programs look for: LCK..<device's base name> in the lock
//   directory, holding the holder's PID as ten ASCII characters, right-aligned, and a newline
//   ("      1234\n"). A file whose process lives refuses, for root as well, and names that
//   process; one whose process is gone never blocks: it is taken over, or, when this user may
//   not remove it (another user's file in the sticky lock directory), left and logged while
//   the device is held by the kernel's locks alone.
// Move-only: the lock file goes and exclusive mode ends when the lock does.

#include "vocabulary/result.h"

#include <filesystem>
#include <string>

class DeviceLock {
public:
  // Why a device was not locked: another live process holds it (inUse), or the lock could not
  // be written. text goes after the device's name: "is in use by <name> (PID <pid>): ...".
  struct Refusal {
    bool inUse = false;
    std::string text;
  };

  // Where Debian keeps lock files: writable by every user, sticky.
  static inline const std::filesystem::path defaultDirectory = "/run/lock";

  // deviceFd: the device, open; device: its path, links resolved. A system without the lock
  // directory has no convention to follow, and the device is then held without a lock file.
  static x10::Result<DeviceLock, Refusal>
  acquire(int deviceFd, const std::filesystem::path &device,
          const std::filesystem::path &directory = defaultDirectory);

  // The refusal for a device another process holds: that process named when its lock file
  // names one that lives, or else when the kernel's lock table names the holder of its flock.
  // For an open refused because the device is in exclusive mode, too.
  static Refusal inUse(const std::filesystem::path &device,
                       const std::filesystem::path &directory = defaultDirectory);

  DeviceLock(DeviceLock &&other) noexcept;
  DeviceLock &operator=(DeviceLock &&other) noexcept;
  DeviceLock(const DeviceLock &) = delete;
  DeviceLock &operator=(const DeviceLock &) = delete;
  ~DeviceLock();

  // The lock file; empty without a lock directory, or beside a stale one this user may not
  // remove.
  const std::filesystem::path &file() const { return file_; }

private:
  DeviceLock(int deviceFd, std::filesystem::path file, int fd)
      : deviceFd_(deviceFd), file_(std::move(file)), fd_(fd) {}
  void release() noexcept;

  int deviceFd_ = -1; // not owned: the kernel's flock goes when its owner closes it
  std::filesystem::path file_;
  int fd_ = -1;
};
