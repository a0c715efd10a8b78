// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The symlink that publishes the pseudo-terminal under a port name. A link already there may
// be a user's pinned port (to an adapter, plugged in or not), so the simulator replaces only a
// link it made itself and whose simulator is gone. It knows its own by a claim file beside the
// link (".com2.cm11a-sim"), holding the pid and the target it made and locked (flock) for as
// long as that simulator runs: the lock also keeps a second simulator off a running one's port.
// The link goes again with this object, unless someone has pointed it elsewhere meanwhile.

#include "simulator/shell/uniquefd.h"
#include "vocabulary/result.h"

#include <filesystem>
#include <string>

namespace x10::sim {

class PortLink {
public:
  // The published link, or why it could not be made.
  static Result<PortLink, std::string> publish(const std::filesystem::path &link,
                                               const std::filesystem::path &target);

  PortLink(PortLink &&other) noexcept = default;
  PortLink &operator=(PortLink &&) = delete;
  PortLink(const PortLink &) = delete;
  ~PortLink();

  const std::filesystem::path &path() const { return link_; }

private:
  PortLink(std::filesystem::path link, std::filesystem::path target, UniqueFd claim)
      : link_(std::move(link)), target_(std::move(target)), claim_(std::move(claim)) {}

  std::filesystem::path link_;
  std::filesystem::path target_;
  UniqueFd claim_; // locked; invalid once moved from
};

} // namespace x10::sim
