// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// COM port numbers to device paths. Serial devices move between boots (USB adapters get
// whatever number is free), so a user may pin a number to any device, or to a network port,
// with a port file in portLinkFolder(). Without one COM n is the platform's n-th built-in
// port. Where the folder is, what the files and the built-in ports are called is the
// platform's (links/posix/portnames.cpp: ${XDG_CONFIG_HOME:-$HOME/.config}/x10console/ports/
// com<n>, /dev/ttyS<n-1>; links/windows/portnames.cpp: %APPDATA%\x10console\ports\port<n>.txt,
// \\.\COMn).

#include <filesystem>
#include <optional>
#include <string>

namespace x10 {

// Device path for COM n; nothing for n < 1, which names no port.
std::optional<std::filesystem::path> resolveComPort(int n);

// The platform's side:
// Where the port file for COM n lives, whether or not it exists.
std::filesystem::path comPortLinkPath(int n);
// Folder that holds the com<n> port files.
std::filesystem::path portLinkFolder();
// COM n's device when no port file names another (n >= 1).
std::filesystem::path builtInComPort(int n);
// What to do when COM n's device, missing (its port file's or the built-in one), is not there,
// for the message that says so; it follows the link's own text.
std::string missingPortAdvice(int n, const std::filesystem::path &missing);

} // namespace x10
