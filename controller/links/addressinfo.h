// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The platform's name resolver (getaddrinfo of <netdb.h> or of Winsock's <ws2tcpip.h>) as the
// name lookup (hostlookup.h) calls it, so that its callers need neither header.

#include <string>

struct addrinfo;

namespace x10 {

// The hints of a lookup for stream sockets, IPv4 and IPv6.
const addrinfo *streamHints();
// getaddrinfo itself (on Windows with the socket library started first).
int systemResolver(const char *host, const char *service, const addrinfo *hints, addrinfo **found);
void freeAddresses(addrinfo *addresses);
// The address after this one in a lookup's answer, or null.
const addrinfo *nextAddress(const addrinfo &address);
// What a resolver's error code means.
std::string lookupErrorText(int error);

} // namespace x10
