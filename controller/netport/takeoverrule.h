// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Tells a port taken by another client of a kicking server (ser2net's kickolduser) from a
// server that went away. Such a server closes the old client's connection, without a word,
// whenever a new one connects; two self-healing clients would take the port from each other
// for ever. The rule: a connection this client re-took by itself (not one Init opened) that
// the server closes again within a few seconds of the interface answering on it was taken by
// a client that reconnects too, so this client leaves the port to it. A restarted server
// closes a connection once and then keeps the new one; a server that accepts and closes at
// once never gets the interface answering, so neither counts. Pure.

#include <chrono>
#include <optional>

namespace x10 {

class TakeoverRule {
public:
  using Time = std::chrono::steady_clock::time_point;
  // Long enough for the other client's first pause (1 s) plus its name lookup, connection and
  // status request (at most 3.5 s), short enough that a second restart seldom falls within it.
  static constexpr std::chrono::seconds window{5};

  // Init opened the link: its loss is never counted.
  void opened() { retakenAt_.reset(); }
  // The interface answered on a link re-taken by this client.
  void retaken(Time t) { retakenAt_ = t; }
  // The link was lost at t, closed by the server or not: whether another client took it.
  bool takenByAnother(Time t, bool closedByServer) const;

private:
  std::optional<Time> retakenAt_;
};

} // namespace x10
