// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/portnames.h"

#include <cstdlib>
#include <string>

namespace x10 {

std::filesystem::path portLinkFolder() {
  std::filesystem::path base;
  if (const char *config = std::getenv("XDG_CONFIG_HOME"); config && *config)
    base = config;
  else if (const char *home = std::getenv("HOME"); home && *home)
    base = std::filesystem::path(home) / ".config";
  else
    base = ".config";
  return base / "x10console" / "ports";
}

std::filesystem::path comPortLinkPath(int n) {
  return portLinkFolder() / ("com" + std::to_string(n));
}

std::optional<std::filesystem::path> resolveComPort(int n) {
  if (n < 1)
    return std::nullopt;
  std::filesystem::path link = comPortLinkPath(n);
  std::error_code ec;
  if (std::filesystem::is_symlink(link, ec) || std::filesystem::exists(link, ec))
    return link;
  return std::filesystem::path("/dev/ttyS" + std::to_string(n - 1));
}

} // namespace x10
