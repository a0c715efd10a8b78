// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/windows/winsock.h"

#include "controller/links/windows/errortext.h"

namespace x10 {

// Never cleaned up: the program's end does that, after the last socket has closed.
bool startWinsock() {
  static const bool started = [] {
    WSADATA data{};
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

std::string socketErrorText(int error) { return windowsErrorText(DWORD(error)).toStdString(); }

} // namespace x10
