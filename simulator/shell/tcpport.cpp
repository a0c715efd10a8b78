// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/shell/tcpport.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <system_error>

namespace x10::sim {
namespace {

// What a serial port server says to a client it turns away; drivers know the line.
constexpr std::string_view kInUse = "Port already in use\r\n";
// Connections taken at one look: a burst of them cannot hold up the loop.
constexpr int kAcceptsPerWake = 8;
// Bytes a turned-away client may have sent already, read so that closing its connection ends
// it with a FIN after the line, not a reset that could drop the line unread.
constexpr int kDrainReads = 4;

// A client that vanishes without closing (a PC switched off) would hold the port for ever:
// probed after 10 s of silence, every 5 s, given up after 3 unanswered probes.
constexpr int kKeepIdleS = 10;
constexpr int kKeepIntervalS = 5;
constexpr int kKeepProbes = 3;

void check(bool ok, const std::string &what) {
  if (!ok)
    throw std::system_error(errno, std::generic_category(), what);
}

// "127.0.0.1:40123", "[::1]:40123".
std::string hostPort(const sockaddr_storage &address, socklen_t size) {
  std::array<char, NI_MAXHOST> host{};
  std::array<char, NI_MAXSERV> port{};
  if (::getnameinfo(reinterpret_cast<const sockaddr *>(&address), size, host.data(), host.size(),
                    port.data(), port.size(), NI_NUMERICHOST | NI_NUMERICSERV) != 0)
    return "?";
  const std::string name = host.data();
  return (address.ss_family == AF_INET6 ? "[" + name + "]" : name) + ":" + port.data();
}

void setOption(int fd, int level, int name, int value) {
  (void)::setsockopt(fd, level, name, &value, sizeof value);
}

// Each byte leaves at once (no coalescing of small writes), and a vanished client is noticed.
void tuneClient(int fd) {
  setOption(fd, IPPROTO_TCP, TCP_NODELAY, 1);
  setOption(fd, SOL_SOCKET, SO_KEEPALIVE, 1);
  setOption(fd, IPPROTO_TCP, TCP_KEEPIDLE, kKeepIdleS);
  setOption(fd, IPPROTO_TCP, TCP_KEEPINTVL, kKeepIntervalS);
  setOption(fd, IPPROTO_TCP, TCP_KEEPCNT, kKeepProbes);
}

void turnAway(UniqueFd client) {
  (void)SysCalls::real().write(client.get(), kInUse.data(), kInUse.size());
  ::shutdown(client.get(), SHUT_WR);
  std::array<std::uint8_t, 256> unread;
  for (int i = 0; i < kDrainReads; ++i)
    if (readSome(SysCalls::real(), client.get(), unread).status != ReadResult::Status::Data)
      break;
}

} // namespace

TcpPort TcpPort::listen(const ListenAddress &where) {
  addrinfo hints{};
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV | AI_PASSIVE;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo *found = nullptr;
  if (::getaddrinfo(where.host.c_str(), std::to_string(where.port).c_str(), &hints, &found) != 0)
    throw std::system_error(std::make_error_code(std::errc::invalid_argument),
                            "cannot listen on " + where.host);
  const int family = found->ai_family;
  socklen_t size = found->ai_addrlen;
  sockaddr_storage bound{};
  std::memcpy(&bound, found->ai_addr, size);
  ::freeaddrinfo(found);

  const std::string what = "cannot listen on " + hostPort(bound, size);
  UniqueFd listener(::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  check(listener.valid(), what);
  setOption(listener.get(), SOL_SOCKET, SO_REUSEADDR, 1);
  check(::bind(listener.get(), reinterpret_cast<const sockaddr *>(&bound), size) == 0 &&
            ::listen(listener.get(), SOMAXCONN) == 0 &&
            ::getsockname(listener.get(), reinterpret_cast<sockaddr *>(&bound), &size) == 0,
        what);
  return TcpPort(std::move(listener), "tcp://" + hostPort(bound, size));
}

std::vector<std::string> TcpPort::updateClients() {
  std::vector<std::string> lines;
  for (int i = 0; i < kAcceptsPerWake; ++i) {
    sockaddr_storage peer{};
    socklen_t size = sizeof peer;
    UniqueFd client(::accept4(listener_.get(), reinterpret_cast<sockaddr *>(&peer), &size,
                              SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!client.valid()) {
      if (errno == EINTR || errno == ECONNABORTED)
        continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK)
        lines.push_back(std::string("cannot take a connection: ") + std::strerror(errno));
      return lines;
    }
    const std::string who = hostPort(peer, size);
    if (client_.valid()) {
      turnAway(std::move(client));
      lines.push_back("turned away " + who + ": in use");
      continue;
    }
    tuneClient(client.get());
    client_ = std::move(client);
    lines.push_back("opened by " + who);
  }
  return lines;
}

std::string TcpPort::ended(const ReadResult &result) {
  client_.reset();
  if (result.status == ReadResult::Status::Failed)
    return std::string("closed by the other side (") + std::strerror(result.error) + ")";
  return "closed by the other side";
}

} // namespace x10::sim
