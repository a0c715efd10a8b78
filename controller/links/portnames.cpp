// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The platform-neutral part: a port file, when there is one, names COM n.
#include "controller/links/portnames.h"

namespace x10 {

std::optional<std::filesystem::path> resolveComPort(int n) {
  if (n < 1)
    return std::nullopt;
  std::filesystem::path link = comPortLinkPath(n);
  std::error_code ec;
  if (std::filesystem::is_symlink(link, ec) || std::filesystem::exists(link, ec))
    return link;
  return builtInComPort(n);
}

} // namespace x10
