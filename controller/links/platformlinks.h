// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The links of the platform being built for, as the driver makes them without naming their
// types: CMake picks the folder (links/posix/, links/windows/) that defines the serial one;
// the network link is the same everywhere over the platform's sockets (networklink.cpp).

#include "controller/links/link.h"

#include <memory>

// A link to a serial device, opened by its path.
std::unique_ptr<Link> makeSerialLink();
// A link to a serial port served over the network, opened by tcp:// or rfc2217:// address.
std::unique_ptr<Link> makeNetworkLink();
