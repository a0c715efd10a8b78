// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/commandline.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view usage =
    R"(Usage: x10console [--help | --version]
Opens the X10 test console's window, which drives a CM11A interface. Init opens COM <n>:
the link or port file ~/.config/x10console/ports/com<n>, else /dev/ttyS<n-1>.
See man x10console for the window, its fields and the event log.

  --help      show this text
  --version   show the version
Qt's own options (-platform, -style...) are passed on to Qt.
)";

bool isSet(const char *name) {
  const char *value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// A platform named in the environment or on the command line (offscreen, vnc...) needs no
// desktop session; Qt checks it itself.
bool hasDisplay(int argc, char *const argv[]) {
  for (int i = 1; i < argc; ++i)
    if (std::string_view(argv[i]) == "-platform" || std::string_view(argv[i]) == "--platform")
      return true;
  return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
}

} // namespace

std::optional<int> answerBeforeTheWindow(int argc, char *const argv[]) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view option(argv[i]);
    if (option == "--help" || option == "-h") {
      std::fputs(usage.data(), stdout);
      return 0;
    }
    if (option == "--version") {
      std::puts("x10console " X10_VERSION);
      return 0;
    }
  }
  if (hasDisplay(argc, argv))
    return std::nullopt;
  std::fputs("x10console: there is no display to open the window on (neither DISPLAY nor "
             "WAYLAND_DISPLAY is set); run it in a desktop session\n",
             stderr);
  return 1;
}
