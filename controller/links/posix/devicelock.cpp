// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/posix/devicelock.h"

#include "controller/links/cm11alog.h"
#include "controller/links/posix/locktable.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <utility>

#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Another process may be taking the lock over at the same moment; after this many rounds the
// device is reported busy rather than fought over.
constexpr int kAttempts = 3;

// The PID a lock file names: ASCII digits after optional blanks. Nothing when it names none.
std::optional<pid_t> holderPid(const fs::path &file) {
  std::ifstream in(file);
  long pid = 0;
  if (in >> pid && pid > 0 && pid <= INT32_MAX)
    return static_cast<pid_t>(pid);
  return std::nullopt;
}

// A zombie has ended and closed every file; only its parent has not collected its status.
// Its state is the field after the command name, whose parenthesis may itself be in the name.
bool isZombie(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat;
  std::getline(in, stat);
  const std::size_t nameEnd = stat.rfind(')');
  return nameEnd != std::string::npos && nameEnd + 2 < stat.size() && stat[nameEnd + 2] == 'Z';
}

// A process of another user answers kill(0) with EPERM: it lives all the same.
bool isAlive(pid_t pid) { return (::kill(pid, 0) == 0 || errno == EPERM) && !isZombie(pid); }

std::string holderName(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(in, name);
  if (name.empty()) // gone meanwhile, or /proc hides it
    return "process " + std::to_string(pid);
  return name + " (PID " + std::to_string(pid) + ")";
}

// The process the kernel's lock table names as holding the device's flock: the holder when no
// lock file names it (one that took the device past a stale lock file it could not remove).
// The table is read up to a bound, as a busy system's may be long.
std::optional<pid_t> flockHolder(const fs::path &device) {
  constexpr std::streamsize kMostBytes = 1 << 20;
  struct stat node {};
  if (::stat(device.c_str(), &node) != 0)
    return std::nullopt;
  std::ifstream in("/proc/locks", std::ios::binary);
  std::string table(static_cast<std::size_t>(kMostBytes), '\0');
  in.read(table.data(), kMostBytes);
  table.resize(static_cast<std::size_t>(in.gcount()));
  return x10::flockHolder(table, {major(node.st_dev), minor(node.st_dev), node.st_ino});
}

DeviceLock::Refusal inUseBy(pid_t pid) {
  return {true, "is in use by " + holderName(pid) + ": close it and try again"};
}

std::string cannotWrite(const fs::path &directory, int error) {
  if (error == EACCES || error == EPERM || error == EROFS)
    return "cannot be locked: " + directory.string() +
           " is not writable for this user (Debian makes it writable by all, mode 1777; ask the "
           "administrator to restore that)";
  return "cannot be locked in " + directory.string() + ": " + std::strerror(error);
}

struct LockFile {
  fs::path file; // empty when there is none
  int fd = -1;
};

// The lock's content in a file of its own, so the lock file appears whole or not at all.
// Returns its descriptor, or -1 with errno set.
int writeTemporary(const fs::path &directory, const std::string &name, std::string &path) {
  path = (directory / ("." + name + ".XXXXXX")).string();
  const int fd = ::mkstemp(path.data());
  if (fd < 0)
    return -1;
  char pid[16];
  const int length = std::snprintf(pid, sizeof pid, "%10d\n", static_cast<int>(::getpid()));
  if (::fchmod(fd, 0644) != 0 || ::write(fd, pid, static_cast<std::size_t>(length)) != length) {
    const int error = errno;
    ::close(fd);
    ::unlink(path.c_str());
    errno = error;
    return -1;
  }
  return fd;
}

// The lock file written for older programs, or none beside a stale one this user may not
// remove (the kernel's locks hold the device then).
x10::Result<LockFile, DeviceLock::Refusal> writeLockFile(const fs::path &device,
                                                         const fs::path &directory) {
  std::error_code ec;
  if (!fs::is_directory(directory, ec))
    return LockFile{};
  const std::string name = "LCK.." + device.filename().string();
  const fs::path file = directory / name;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string temporary;
    const int fd = writeTemporary(directory, name, temporary);
    if (fd < 0)
      return x10::Unexpected(DeviceLock::Refusal{false, cannotWrite(directory, errno)});
    const bool linked = ::link(temporary.c_str(), file.c_str()) == 0;
    const int error = errno;
    ::unlink(temporary.c_str());
    if (linked) {
      ::flock(fd, LOCK_EX | LOCK_NB); // a Qt program takes a file over only if it gets this
      return LockFile{file, fd};
    }
    ::close(fd);
    if (error != EEXIST)
      return x10::Unexpected(DeviceLock::Refusal{false, cannotWrite(directory, error)});
    if (!fs::exists(file, ec))
      continue; // released meanwhile
    const std::optional<pid_t> pid = holderPid(file);
    if (!pid)
      return x10::Unexpected(DeviceLock::Refusal{
          true, "is locked by " + file.string() +
                    ", which names no process: remove that file if no program uses the device"});
    if (isAlive(*pid))
      return x10::Unexpected(inUseBy(*pid));
    if (!fs::remove(file, ec) && ec) { // stale: its process is gone
      qCWarning(lcCm11a).noquote() << QString::fromStdString(
          "the stale lock " + file.string() + " (process " + std::to_string(*pid) +
          " is gone) stays, as this user may not remove it (" + ec.message() +
          "); the device is held without a lock file");
      return LockFile{};
    }
  }
  return x10::Unexpected(
      DeviceLock::Refusal{true, "is being locked and unlocked by another program: try again"});
}

} // namespace

x10::Result<DeviceLock, DeviceLock::Refusal>
DeviceLock::acquire(int deviceFd, const fs::path &device, const fs::path &directory) {
  if (::flock(deviceFd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    return x10::Unexpected(inUse(device, directory));
  auto written = writeLockFile(device, directory);
  if (!written)
    return x10::Unexpected(std::move(written).error());
  ::ioctl(deviceFd, TIOCEXCL); // refused by a device that is no terminal, which has no such mode
  return DeviceLock(deviceFd, written->file, written->fd);
}

DeviceLock::Refusal DeviceLock::inUse(const fs::path &device, const fs::path &directory) {
  const std::optional<pid_t> pid = holderPid(directory / ("LCK.." + device.filename().string()));
  if (pid && isAlive(*pid))
    return inUseBy(*pid);
  if (const std::optional<pid_t> holder = flockHolder(device))
    return inUseBy(*holder);
  return {true, "is in use by another program: close it and try again"};
}

DeviceLock::DeviceLock(DeviceLock &&other) noexcept
    : deviceFd_(std::exchange(other.deviceFd_, -1)), file_(std::exchange(other.file_, {})),
      fd_(std::exchange(other.fd_, -1)) {}

DeviceLock &DeviceLock::operator=(DeviceLock &&other) noexcept {
  if (this != &other) {
    release();
    deviceFd_ = std::exchange(other.deviceFd_, -1);
    file_ = std::exchange(other.file_, {});
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

DeviceLock::~DeviceLock() { release(); }

// Removes the file only while it is still this lock's: one taken over meanwhile (by a user who
// removed it by hand, say) belongs to its new holder.
void DeviceLock::release() noexcept {
  if (deviceFd_ >= 0)
    ::ioctl(std::exchange(deviceFd_, -1), TIOCNXCL); // a pseudo-terminal keeps it otherwise
  if (fd_ < 0)
    return;
  struct stat held {};
  struct stat named {};
  if (::fstat(fd_, &held) == 0 && ::stat(file_.c_str(), &named) == 0 &&
      held.st_ino == named.st_ino && held.st_dev == named.st_dev)
    ::unlink(file_.c_str());
  ::close(fd_);
  fd_ = -1;
}
