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

std::filesystem::path builtInComPort(int n) { return "/dev/ttyS" + std::to_string(n - 1); }

std::string missingPortAdvice(int n, const std::filesystem::path &missing) {
  const std::filesystem::path link = comPortLinkPath(n);
  if (missing == link) {
    std::error_code ec;
    return " (a link to " + std::filesystem::read_symlink(link, ec).string() +
           "): plug the interface's adapter in, or point the link at it (see man x10console)";
  }
  return ": plug the interface's adapter in, or link COM " + std::to_string(n) + " to it as " +
         link.string() + " (see man x10console)";
}

} // namespace x10
