// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/support/vncpointer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace {

sockaddr_in localhost(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

bool readAll(int fd, void *data, std::size_t size) {
  auto *bytes = static_cast<char *>(data);
  while (size > 0) {
    const ssize_t got = ::recv(fd, bytes, size, 0);
    if (got <= 0)
      return false;
    bytes += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

bool writeAll(int fd, const void *data, std::size_t size) {
  return ::send(fd, data, size, MSG_NOSIGNAL) == static_cast<ssize_t>(size);
}

} // namespace

VncPointer::VncPointer(std::uint16_t port, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  const sockaddr_in address = localhost(port);
  do {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(fd_, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0)
      break;
    ::close(fd_);
    fd_ = -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < deadline);
  if (fd_ >= 0 && !handshake()) {
    ::close(fd_);
    fd_ = -1;
  }
}

VncPointer::~VncPointer() {
  if (fd_ >= 0)
    ::close(fd_);
}

// RFB 3.3: the server's version, ours, the security type (1, none), our ClientInit (shared),
// and its ServerInit: size, pixel format and name, which a pointer has no use for.
bool VncPointer::handshake() {
  char version[12];
  if (!readAll(fd_, version, sizeof version) || !writeAll(fd_, "RFB 003.003\n", 12))
    return false;
  std::uint32_t security = 0;
  const char shared = 1;
  if (!readAll(fd_, &security, sizeof security) || ntohl(security) != 1 ||
      !writeAll(fd_, &shared, 1))
    return false;
  char serverInit[24];
  if (!readAll(fd_, serverInit, sizeof serverInit))
    return false;
  std::uint32_t nameLength = 0;
  std::memcpy(&nameLength, serverInit + 20, sizeof nameLength);
  std::string name(ntohl(nameLength), '\0');
  return readAll(fd_, name.data(), name.size());
}

bool VncPointer::pointer(int mask, int x, int y) {
  const unsigned char event[6] = {5,
                                  static_cast<unsigned char>(mask),
                                  static_cast<unsigned char>(x >> 8),
                                  static_cast<unsigned char>(x),
                                  static_cast<unsigned char>(y >> 8),
                                  static_cast<unsigned char>(y)};
  return writeAll(fd_, event, sizeof event);
}

bool VncPointer::click(int x, int y) {
  return pointer(0, x, y) && pointer(1, x, y) && pointer(0, x, y);
}

std::uint16_t VncPointer::freePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = localhost(0);
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
  ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}
