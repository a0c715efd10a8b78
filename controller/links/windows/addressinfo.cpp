// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The name resolver on Windows: Winsock's getaddrinfo.
#include "controller/links/addressinfo.h"

#include "controller/links/windows/winsock.h"

namespace x10 {

const addrinfo *streamHints() {
  static const addrinfo hints = [] {
    addrinfo h{};
    h.ai_family = AF_UNSPEC;
    h.ai_socktype = SOCK_STREAM;
    return h;
  }();
  return &hints;
}

int systemResolver(const char *host, const char *service, const addrinfo *hints, addrinfo **found) {
  if (!startWinsock())
    return ::WSAGetLastError();
  return ::getaddrinfo(host, service, hints, found);
}

void freeAddresses(addrinfo *addresses) { ::freeaddrinfo(addresses); }

const addrinfo *nextAddress(const addrinfo &address) { return address.ai_next; }

// getaddrinfo's codes are Winsock error codes.
std::string lookupErrorText(int error) { return socketErrorText(error); }

} // namespace x10
