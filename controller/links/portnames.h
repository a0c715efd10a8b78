// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// COM port numbers to device paths. Serial devices move between boots (USB adapters get
// whatever ttyUSB number is free), so a user may pin a number to any device with a symlink:
//   ${XDG_CONFIG_HOME:-$HOME/.config}/x10console/ports/com<n>  ->  /dev/serial/by-id/...
// Without such a link COM n is the n-th built-in port, /dev/ttyS<n-1>.

#include <filesystem>
#include <optional>

namespace x10 {

// Folder that holds the com<n> links.
std::filesystem::path portLinkFolder();
// Where the link for COM n lives, whether or not it exists.
std::filesystem::path comPortLinkPath(int n);
// Device path for COM n; nothing for n < 1, which names no port.
std::optional<std::filesystem::path> resolveComPort(int n);

} // namespace x10
