// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The socket on POSIX: non-blocking, its waits polled beside the wait interrupt.
#include "controller/links/streamsocket.h"

#include "controller/links/posix/interruptiblepoll.h"
#include "controller/links/waitinterrupt.h"

#include <cerrno>
#include <cstring>

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace x10 {
namespace {

ConnectFailure connectFailure(int error) {
  const std::string reason = std::strerror(error);
  switch (error) {
  case ECONNREFUSED:
    return {ConnectFailure::Kind::Refused, reason};
  case ETIMEDOUT:
  case EHOSTUNREACH:
  case ENETUNREACH:
    return {ConnectFailure::Kind::NoAnswer, reason};
  default:
    return {ConnectFailure::Kind::Other, reason};
  }
}

SocketIo failedIo(int error) {
  if (error == EAGAIN || error == EWOULDBLOCK)
    return {SocketIo::State::WouldBlock, 0, false, std::strerror(error)};
  return {SocketIo::State::Failed, 0, error == ECONNRESET, std::strerror(error)};
}

} // namespace

Result<std::intptr_t, ConnectFailure> StreamSocket::connectAddress(const addrinfo &a,
                                                                   int timeoutMs) {
  const int fd = ::socket(a.ai_family, a.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a.ai_protocol);
  if (fd < 0)
    return Unexpected(connectFailure(errno));
  int error = 0;
  if (::connect(fd, a.ai_addr, a.ai_addrlen) != 0)
    error = errno == EINPROGRESS ? ETIMEDOUT : errno;
  if (error == ETIMEDOUT && pollUnlessInterrupted(fd, POLLOUT, timeoutMs) != 0) {
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
      error = errno;
  }
  if (error != 0) {
    ::close(fd);
    return Unexpected(connectFailure(error));
  }
  // Each byte of the handshake goes at once: the interface's time-outs are short.
  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return fd;
}

SocketIo StreamSocket::send(std::span<const std::uint8_t> bytes) {
  ssize_t n = -1;
  do
    n = ::send(int(handle_), bytes.data(), bytes.size(), MSG_NOSIGNAL);
  while (n < 0 && errno == EINTR);
  if (n > 0)
    return {SocketIo::State::Moved, std::size_t(n), false, {}};
  return failedIo(n < 0 ? errno : EPIPE);
}

// A signal's EINTR is gone past unless waits are interrupted: then it reads as nothing yet.
SocketIo StreamSocket::receive(std::span<std::uint8_t> buffer) {
  ssize_t n = -1;
  do
    n = ::recv(int(handle_), buffer.data(), buffer.size(), 0);
  while (n < 0 && errno == EINTR && !waitsInterrupted());
  if (n > 0)
    return {SocketIo::State::Moved, std::size_t(n), false, {}};
  if (n == 0)
    return {SocketIo::State::Closed, 0, false, {}};
  return failedIo(errno == EINTR ? EAGAIN : errno);
}

bool StreamSocket::waitReadable(int ms) const {
  return pollUnlessInterrupted(int(handle_), POLLIN, ms) != 0;
}

bool StreamSocket::waitWritable(int ms) const {
  return pollUnlessInterrupted(int(handle_), POLLOUT, ms) & POLLOUT;
}

void StreamSocket::close() {
  if (isOpen())
    ::close(int(std::exchange(handle_, kNone)));
}

} // namespace x10
