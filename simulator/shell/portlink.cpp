// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/shell/portlink.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

namespace x10::sim {
namespace {

namespace fs = std::filesystem;

fs::path claimPath(const fs::path &link) {
  return link.parent_path() / ("." + link.filename().string() + ".cm11a-sim");
}

std::string readClaim(int fd) {
  char text[512];
  const ssize_t n = ::pread(fd, text, sizeof text, 0);
  return n > 0 ? std::string(text, static_cast<std::size_t>(n)) : std::string();
}

// The claim file, locked, or why not. A claim removed by its exiting simulator between our
// open and our lock is not the one at the path any more: open again.
Result<UniqueFd, std::string> lockClaim(const fs::path &link) {
  const fs::path path = claimPath(link);
  for (;;) {
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (!fd.valid())
      return Unexpected("cannot create " + path.string() + ": " + std::strerror(errno));
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
      std::istringstream claim(readClaim(fd.get()));
      std::string pid, target;
      claim >> pid >> target;
      return Unexpected("refusing to take over " + link.string() + " (pointing at " + target +
                        "): cm11a-sim " + pid + " is running on it");
    }
    struct stat opened {
    }, named{};
    if (::fstat(fd.get(), &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
        opened.st_ino == named.st_ino && opened.st_dev == named.st_dev)
      return fd;
  }
}

// Whether the path may be replaced, and why not: it may if it is free, or if it is the link a
// simulator now gone made (the target in its claim).
Result<void, std::string> mayReplace(const fs::path &link, const std::string &claim) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(link, ec);
  if (!fs::exists(status))
    return {};
  if (!fs::is_symlink(status))
    return Unexpected(link.string() + " exists and is not a link; refusing to replace it");
  const fs::path target = fs::read_symlink(link, ec);
  std::istringstream fields(claim);
  std::string pid, made;
  fields >> pid >> made;
  if (!made.empty() && target == made)
    return {};
  return Unexpected("refusing to replace " + link.string() + ": it points at " + target.string() +
                    ", a link cm11a-sim did not make (it may be your serial port); remove it "
                    "yourself if it is stale");
}

Result<void, std::string> makeLink(const fs::path &link, const fs::path &target) {
  // A link made beside it and renamed over it: the port name never points nowhere.
  std::error_code ec;
  const fs::path temporary = link.string() + ".new-" + std::to_string(::getpid());
  fs::remove(temporary, ec);
  fs::create_symlink(target, temporary, ec);
  if (!ec)
    fs::rename(temporary, link, ec);
  if (ec) {
    fs::remove(temporary, ec);
    return Unexpected("cannot create the link " + link.string() + ": " + ec.message());
  }
  return {};
}

Result<void, std::string> writeClaim(int fd, const fs::path &target) {
  const std::string text = std::to_string(::getpid()) + ' ' + target.string() + '\n';
  if (::ftruncate(fd, 0) != 0 ||
      ::pwrite(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size()))
    return Unexpected(std::string("cannot record the link's owner: ") + std::strerror(errno));
  return {};
}

} // namespace

Result<PortLink, std::string> PortLink::publish(const fs::path &link, const fs::path &target) {
  std::error_code ec;
  if (link.has_parent_path())
    fs::create_directories(link.parent_path(), ec);
  if (ec)
    return Unexpected("cannot create " + link.parent_path().string() + ": " + ec.message());
  auto locked = lockClaim(link);
  if (!locked)
    return Unexpected(std::move(locked).error());
  UniqueFd claim = std::move(locked).value();
  const std::string previous = readClaim(claim.get());
  if (auto replaceable = mayReplace(link, previous); !replaceable) {
    if (previous.empty()) // made just now, for nothing
      fs::remove(claimPath(link), ec);
    return Unexpected(std::move(replaceable).error());
  }
  auto made = writeClaim(claim.get(), target);
  if (made)
    made = makeLink(link, target);
  if (!made) {
    fs::remove(claimPath(link), ec);
    return Unexpected(std::move(made).error());
  }
  return PortLink(link, target, std::move(claim));
}

PortLink::~PortLink() {
  if (!claim_.valid())
    return;
  std::error_code ec;
  if (fs::read_symlink(link_, ec) == target_ && !ec)
    fs::remove(link_, ec);
  fs::remove(claimPath(link_), ec);
}

} // namespace x10::sim
