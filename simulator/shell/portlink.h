// SPDX-License-Identifier: MIT
#pragma once
// The symlink that publishes the pseudo-terminal under a port name. It replaces only a link
// that dangles or points into /dev/pts (a pseudo-terminal, most likely an earlier simulator's):
// anything else may be a real serial port a user relies on. The link goes again with this
// object, unless someone has pointed it elsewhere meanwhile.

#include <filesystem>
#include <string>
#include <variant>

namespace x10::sim {

class PortLink {
public:
  // The published link, or why it could not be made.
  static std::variant<PortLink, std::string> publish(const std::filesystem::path &link,
                                                     const std::filesystem::path &target);

  PortLink(PortLink &&other) noexcept;
  PortLink &operator=(PortLink &&) = delete;
  PortLink(const PortLink &) = delete;
  ~PortLink();

  const std::filesystem::path &path() const { return link_; }

private:
  PortLink(std::filesystem::path link, std::filesystem::path target)
      : link_(std::move(link)), target_(std::move(target)) {}

  std::filesystem::path link_;
  std::filesystem::path target_;
};

// Why an existing path may not be replaced by a link, or nothing if it may.
std::string refusalToReplace(const std::filesystem::path &link);

} // namespace x10::sim
