// SPDX-License-Identifier: MIT
#pragma once
// The lock a serial device is held under while its port is open, in the convention Linux
// serial programs share: the file LCK..<device's base name> in the lock directory, holding the
// holder's PID as ten ASCII characters, right-aligned, and a newline ("      1234\n"). A lock
// whose process is gone is stale and taken over; one whose process lives refuses, for root as
// well, and names that process. The file is also held under flock(2): a Qt program removes a
// lock file it finds stale only when it can take that flock, so none can take this one over.
// Move-only: the lock file goes when the lock does.

#include <filesystem>
#include <string>
#include <variant>

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

  // device: the device itself, links resolved. A system without the lock directory has no
  // convention to follow, and the device is then held without a lock file.
  static std::variant<DeviceLock, Refusal>
  acquire(const std::filesystem::path &device,
          const std::filesystem::path &directory = defaultDirectory);

  DeviceLock(DeviceLock &&other) noexcept;
  DeviceLock &operator=(DeviceLock &&other) noexcept;
  DeviceLock(const DeviceLock &) = delete;
  DeviceLock &operator=(const DeviceLock &) = delete;
  ~DeviceLock();

  // The lock file; empty without a lock directory.
  const std::filesystem::path &file() const { return file_; }

private:
  DeviceLock(std::filesystem::path file, int fd) : file_(std::move(file)), fd_(fd) {}
  void release() noexcept;

  std::filesystem::path file_;
  int fd_ = -1;
};
