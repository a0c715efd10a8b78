// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// On Windows a port file port<n>.txt lives in the user's roaming application data, and COM n
// is the device \\.\COMn (the prefix reaches ports above 9 as well).
#include "controller/links/portnames.h"

#include <cstdlib>
#include <string>

namespace x10 {

std::filesystem::path portLinkFolder() {
  std::filesystem::path base;
  if (const wchar_t *appData = ::_wgetenv(L"APPDATA"); appData && *appData)
    base = appData;
  else if (const wchar_t *profile = ::_wgetenv(L"USERPROFILE"); profile && *profile)
    base = std::filesystem::path(profile) / "AppData" / "Roaming";
  return base / "x10console" / "ports";
}

// Not com<n>: COM1 to COM9 name the devices in every folder, with an extension too.
std::filesystem::path comPortLinkPath(int n) {
  return portLinkFolder() / ("port" + std::to_string(n) + ".txt");
}

std::filesystem::path builtInComPort(int n) { return "\\\\.\\COM" + std::to_string(n); }

std::string missingPortAdvice(int n, const std::filesystem::path &) {
  return ": plug the interface's adapter in and look its COM number up in the Device Manager "
         "(under Ports), or write a network port (tcp://HOST:PORT) into " +
         comPortLinkPath(n).string();
}

} // namespace x10
