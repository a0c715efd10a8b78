// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Winsock, started once for the program before its first socket or name lookup.

#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>

namespace x10 {

// Starts Winsock the first time; later calls do nothing. False when it could not start.
bool startWinsock();
// What Winsock's error code means.
std::string socketErrorText(int error);

} // namespace x10
