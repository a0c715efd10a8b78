// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A host name looked up without holding the caller past a time-out. getaddrinfo waits as long
// as the system's resolver does (seconds for each name server that does not answer), and the
// driver's caller is the window's thread, also while a lost link is retried in the
// background. The lookup runs on a thread of its own; one still running at the time-out, or
// when waits are interrupted, is left to finish there and its answer is dropped.

#include "controller/links/addressinfo.h"
#include "vocabulary/result.h"

#include <functional>
#include <memory>
#include <string>

namespace x10 {

struct AddressesDeleter {
  void operator()(addrinfo *addresses) const { freeAddresses(addresses); }
};
using Addresses = std::unique_ptr<addrinfo, AddressesDeleter>;

struct LookupFailure {
  bool timedOut = false; // no answer within the time-out
  std::string reason;    // otherwise: why the resolver found no address
};

// The blocking lookup, with getaddrinfo's signature.
using Resolver = std::function<int(const char *host, const char *service, const addrinfo *hints,
                                   addrinfo **found)>;

// The stream-socket addresses of host and service, IPv4 and IPv6.
Result<Addresses, LookupFailure> lookUpHost(const std::string &host, const std::string &service,
                                            int timeoutMs, Resolver resolver = systemResolver);

} // namespace x10
