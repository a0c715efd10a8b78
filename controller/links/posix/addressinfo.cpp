// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The name resolver on POSIX: getaddrinfo of <netdb.h>.
#include "controller/links/addressinfo.h"

#include <netdb.h>

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
  return ::getaddrinfo(host, service, hints, found);
}

void freeAddresses(addrinfo *addresses) { ::freeaddrinfo(addresses); }

const addrinfo *nextAddress(const addrinfo &address) { return address.ai_next; }

std::string lookupErrorText(int error) { return ::gai_strerror(error); }

} // namespace x10
