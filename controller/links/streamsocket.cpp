// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The platform-neutral part of the socket: the name lookup, trying each address, ownership.
// The platform's folder defines the rest.
#include "controller/links/streamsocket.h"

#include "controller/links/hostlookup.h"

#include <utility>

namespace x10 {

Result<StreamSocket, ConnectFailure> StreamSocket::connect(const std::string &host,
                                                           std::uint16_t port, int timeoutMs) {
  const auto found = lookUpHost(host, std::to_string(port), timeoutMs);
  if (!found)
    return Unexpected(ConnectFailure{found.error().timedOut ? ConnectFailure::Kind::LookupTimedOut
                                                            : ConnectFailure::Kind::NameNotFound,
                                     found.error().reason});
  ConnectFailure failed;
  for (const addrinfo *a = found->get(); a; a = nextAddress(*a)) {
    auto connected = connectAddress(*a, timeoutMs);
    if (connected)
      return StreamSocket(*connected);
    failed = connected.error();
  }
  return Unexpected(failed);
}

StreamSocket::StreamSocket(StreamSocket &&other) noexcept
    : handle_(std::exchange(other.handle_, kNone)) {}

StreamSocket &StreamSocket::operator=(StreamSocket &&other) noexcept {
  if (this != &other) {
    close();
    handle_ = std::exchange(other.handle_, kNone);
  }
  return *this;
}

StreamSocket::~StreamSocket() { close(); }

} // namespace x10
