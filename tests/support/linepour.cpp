// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/support/linepour.h"

#include "simulator/shell/pseudoterminal.h"

#include <chrono>
#include <random>

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

int listenOnLoopback(int &port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof a;
  if (::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(fd, 4) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &size) != 0) {
    ::close(fd);
    return -1;
  }
  port = ntohs(a.sin_port);
  return fd;
}

LinePour::LinePour(What what, Line line, std::vector<std::uint8_t> answer)
    : answer_(std::move(answer)) {
  if (line == Line::Network) {
    int port = 0;
    listener_ = listenOnLoopback(port);
    address_ = QStringLiteral("tcp://127.0.0.1:%1").arg(port);
  } else {
    x10::sim::PtyPair pty = x10::sim::openRawPty();
    line_ = pty.master.release();
    ::fcntl(line_, F_SETFL, ::fcntl(line_, F_GETFL) | O_NONBLOCK);
    slave_ = pty.slave.release();
    address_ = QString::fromStdString(pty.slavePath);
  }
  thread_ = std::thread([this, what] { run(what); });
}

LinePour::~LinePour() {
  stop_ = true;
  thread_.join();
  for (const int fd : {line_, slave_, listener_})
    if (fd >= 0)
      ::close(fd);
}

bool LinePour::ready(int fd, short events) const {
  pollfd p{fd, events, 0};
  return !stop_ && ::poll(&p, 1, 20) > 0 && (p.revents & events);
}

void LinePour::run(What what) {
  while (listener_ >= 0 && line_ < 0 && !stop_)
    if (ready(listener_, POLLIN))
      line_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  std::uint8_t request = 0;
  while (!answer_.empty() && request != 0x8B && !stop_)
    if (ready(line_, POLLIN) && ::read(line_, &request, 1) == 0)
      return;
  if (!answer_.empty()) {
    (void)!::write(line_, answer_.data(), answer_.size());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  std::vector<std::uint8_t> chunk(4096, 0);
  std::mt19937 random(27);
  while (!stop_) {
    if (what == What::Random)
      for (auto &b : chunk)
        b = static_cast<std::uint8_t>(random() | 1);
    if (ready(line_, POLLOUT) && listener_ >= 0)
      (void)!::send(line_, chunk.data(), chunk.size(), MSG_NOSIGNAL);
    else if (ready(line_, POLLOUT))
      (void)!::write(line_, chunk.data(), chunk.size());
  }
}
