// SPDX-License-Identifier: MIT
#include "simulator/shell/portlink.h"

#include <unistd.h>

#include <utility>

namespace x10::sim {

namespace fs = std::filesystem;

std::string refusalToReplace(const fs::path &link) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(link, ec);
  if (!fs::exists(status))
    return {};
  if (!fs::is_symlink(status))
    return link.string() + " exists and is not a link; refusing to replace it";
  const fs::path target = fs::read_symlink(link, ec);
  if (!fs::exists(link, ec))
    return {}; // dangling: left behind by a program that is gone
  const fs::path resolved = target.is_absolute() ? target : link.parent_path() / target;
  if (resolved.lexically_normal().string().starts_with("/dev/pts/"))
    return {};
  return "refusing to replace " + link.string() + ": it points at " + target.string() +
         ", which is not a pseudo-terminal and may be a real serial port; remove the link yourself "
         "if it is stale";
}

std::variant<PortLink, std::string> PortLink::publish(const fs::path &link,
                                                      const fs::path &target) {
  if (std::string refusal = refusalToReplace(link); !refusal.empty())
    return refusal;
  std::error_code ec;
  if (link.has_parent_path())
    fs::create_directories(link.parent_path(), ec);
  if (ec)
    return "cannot create " + link.parent_path().string() + ": " + ec.message();
  // A link made beside it and renamed over it: the port name never points nowhere.
  const fs::path temporary = link.string() + ".new-" + std::to_string(::getpid());
  fs::remove(temporary, ec);
  fs::create_symlink(target, temporary, ec);
  if (!ec)
    fs::rename(temporary, link, ec);
  if (ec) {
    fs::remove(temporary, ec);
    return "cannot create the link " + link.string() + ": " + ec.message();
  }
  return PortLink(link, target);
}

PortLink::PortLink(PortLink &&other) noexcept
    : link_(std::exchange(other.link_, {})), target_(std::exchange(other.target_, {})) {}

PortLink::~PortLink() {
  if (link_.empty())
    return;
  std::error_code ec;
  if (fs::read_symlink(link_, ec) == target_ && !ec)
    fs::remove(link_, ec);
}

} // namespace x10::sim
