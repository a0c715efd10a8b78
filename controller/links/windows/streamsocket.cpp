// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The socket on Winsock. A wait cannot take Winsock's readiness and the wait interrupt's event
// together without WSAEventSelect, which would cancel the socket notifier's own selection, so
// a wait is select() in short slices with a look at the interrupt between them: it ends at most
// a slice after the interrupt is set.
#include "controller/links/streamsocket.h"

#include "controller/links/waitinterrupt.h"
#include "controller/links/windows/winsock.h"

#include <algorithm>
#include <chrono>

namespace x10 {
namespace {

constexpr int kSliceMs = 20;

SOCKET socketOf(std::intptr_t handle) { return static_cast<SOCKET>(handle); }

enum class Readiness { Read, Write };

// Whether the socket became ready within ms (negative: no limit). A connection that failed
// counts as writable, so the caller reads its error.
bool waitUntil(SOCKET s, Readiness readiness, int ms) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    if (waitsInterrupted())
      return false;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    const long slice = ms < 0 ? kSliceMs : std::clamp<long>(long(left.count()), 0, kSliceMs);
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    timeval timeout{0, slice * 1000};
    const int n = ::select(0, readiness == Readiness::Read ? &ready : nullptr,
                           readiness == Readiness::Write ? &ready : nullptr, &failed, &timeout);
    if (n != 0) // ready, failed, or select itself failed: the next call says which
      return !waitsInterrupted();
    if (ms >= 0 && Clock::now() >= deadline)
      return false;
  }
}

ConnectFailure connectFailure(int error) {
  switch (error) {
  case WSAECONNREFUSED:
    return {ConnectFailure::Kind::Refused, socketErrorText(error)};
  case WSAETIMEDOUT:
  case WSAEHOSTUNREACH:
  case WSAENETUNREACH:
    return {ConnectFailure::Kind::NoAnswer, socketErrorText(error)};
  default:
    return {ConnectFailure::Kind::Other, socketErrorText(error)};
  }
}

SocketIo failedIo(int error) {
  if (error == WSAEWOULDBLOCK)
    return {SocketIo::State::WouldBlock, 0, false, socketErrorText(error)};
  return {SocketIo::State::Failed, 0, error == WSAECONNRESET || error == WSAECONNABORTED,
          socketErrorText(error)};
}

} // namespace

Result<std::intptr_t, ConnectFailure> StreamSocket::connectAddress(const addrinfo &a,
                                                                   int timeoutMs) {
  if (!startWinsock())
    return Unexpected(connectFailure(::WSAGetLastError()));
  const SOCKET s = ::WSASocketW(a.ai_family, a.ai_socktype, a.ai_protocol, nullptr, 0,
                                WSA_FLAG_NO_HANDLE_INHERIT);
  if (s == INVALID_SOCKET)
    return Unexpected(connectFailure(::WSAGetLastError()));
  u_long nonBlocking = 1;
  int error = ::ioctlsocket(s, FIONBIO, &nonBlocking) == 0 ? 0 : ::WSAGetLastError();
  if (error == 0 && ::connect(s, a.ai_addr, int(a.ai_addrlen)) != 0)
    error = ::WSAGetLastError() == WSAEWOULDBLOCK ? WSAETIMEDOUT : ::WSAGetLastError();
  if (error == WSAETIMEDOUT && waitUntil(s, Readiness::Write, timeoutMs)) {
    int size = sizeof error;
    if (::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&error), &size) != 0)
      error = ::WSAGetLastError();
  }
  if (error != 0) {
    ::closesocket(s);
    return Unexpected(connectFailure(error));
  }
  // Each byte of the handshake goes at once: the interface's time-outs are short.
  const BOOL on = TRUE;
  ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char *>(&on), sizeof on);
  return static_cast<std::intptr_t>(s);
}

SocketIo StreamSocket::send(std::span<const std::uint8_t> bytes) {
  const int n = ::send(socketOf(handle_), reinterpret_cast<const char *>(bytes.data()),
                       int(std::min<std::size_t>(bytes.size(), 1 << 20)), 0);
  if (n > 0)
    return {SocketIo::State::Moved, std::size_t(n), false, {}};
  return failedIo(n == 0 ? WSAECONNRESET : ::WSAGetLastError());
}

SocketIo StreamSocket::receive(std::span<std::uint8_t> buffer) {
  const int n =
      ::recv(socketOf(handle_), reinterpret_cast<char *>(buffer.data()), int(buffer.size()), 0);
  if (n > 0)
    return {SocketIo::State::Moved, std::size_t(n), false, {}};
  if (n == 0)
    return {SocketIo::State::Closed, 0, false, {}};
  return failedIo(::WSAGetLastError());
}

bool StreamSocket::waitReadable(int ms) const {
  return waitUntil(socketOf(handle_), Readiness::Read, ms);
}

bool StreamSocket::waitWritable(int ms) const {
  return waitUntil(socketOf(handle_), Readiness::Write, ms);
}

void StreamSocket::close() {
  if (isOpen())
    ::closesocket(socketOf(std::exchange(handle_, kNone)));
}

} // namespace x10
