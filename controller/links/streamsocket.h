// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The socket calls the network link makes, on the platform's own socket API (POSIX sockets,
// Winsock): connect within a time-out, move bytes without blocking, wait until the socket is
// readable or writable beside the wait interrupt (waitinterrupt.h), close. What the link does
// with them (telnet, the server's refusal, the messages) is the same everywhere: NetworkLink.
// Move-only; the connection closes with the object.

#include "controller/links/addressinfo.h"
#include "vocabulary/result.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace x10 {

struct ConnectFailure {
  enum class Kind { LookupTimedOut, NameNotFound, Refused, NoAnswer, Other };
  Kind kind = Kind::Other;
  std::string reason; // the system's words
};

// What one send or receive did.
struct SocketIo {
  enum class State { Moved, WouldBlock, Closed, Failed };
  State state = State::Failed;
  std::size_t bytes = 0; // Moved
  bool reset = false;    // Failed: the far end reset the connection
  std::string error;     // WouldBlock, Failed: the system's words
};

class StreamSocket {
public:
  StreamSocket() = default;
  StreamSocket(StreamSocket &&other) noexcept;
  StreamSocket &operator=(StreamSocket &&other) noexcept;
  ~StreamSocket();

  // A TCP connection to host:port, its name looked up within timeoutMs and each of its
  // addresses given as long again to connect; small writes go out at once (no Nagle delay).
  static Result<StreamSocket, ConnectFailure> connect(const std::string &host, std::uint16_t port,
                                                      int timeoutMs);

  bool isOpen() const { return handle_ != kNone; }
  // The platform's socket, for a QSocketNotifier.
  std::intptr_t handle() const { return handle_; }
  SocketIo send(std::span<const std::uint8_t> bytes);
  SocketIo receive(std::span<std::uint8_t> buffer);
  // Whether the socket is readable (data, end of file or an error to receive) or writable
  // within ms; false on time-out and when waits are interrupted.
  bool waitReadable(int ms) const;
  bool waitWritable(int ms) const;
  void close();

private:
  // No socket: -1 on POSIX, INVALID_SOCKET on Windows.
  static constexpr std::intptr_t kNone = -1;

  explicit StreamSocket(std::intptr_t handle) : handle_(handle) {}
  // One of the looked-up addresses, connected within timeoutMs: the platform's part of connect.
  static Result<std::intptr_t, ConnectFailure> connectAddress(const addrinfo &address,
                                                              int timeoutMs);

  std::intptr_t handle_ = kNone;
};

} // namespace x10
