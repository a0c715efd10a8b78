// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/posix/networklink.h"

#include "controller/links/cm11alog.h"
#include "controller/links/posix/hostlookup.h"
#include "controller/links/posix/interruptiblepoll.h"

#include <array>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Connects one address within the time-out; 0 or the errno that stopped it.
int connectOne(const addrinfo &a, int timeoutMs, int &fd) {
  fd = ::socket(a.ai_family, a.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a.ai_protocol);
  if (fd < 0)
    return errno;
  if (::connect(fd, a.ai_addr, a.ai_addrlen) != 0 && errno != EINPROGRESS) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  int error = ETIMEDOUT;
  if (x10::pollUnlessInterrupted(fd, POLLOUT, timeoutMs) != 0) {
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
      error = errno;
  }
  if (error != 0) {
    ::close(fd);
    return error;
  }
  // Each byte of the handshake goes at once: the interface's time-outs are short.
  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return 0;
}

Link::OpenResult failure(Link::OpenError error, QString text) {
  return x10::Unexpected(Link::OpenFailure{error, std::move(text)});
}

} // namespace

NetworkLink::NetworkLink(QObject *parent) : Link(parent) {}

NetworkLink::~NetworkLink() { close(); }

QString NetworkLink::description() const { return hostPort_; }

Link::OpenResult NetworkLink::open(const QString &address) {
  close();
  address_ = address;
  forgetLoss();
  refusal_ = {};
  closedByServer_ = false;
  pending_.clear();
  const auto port = x10::parseNetworkPort(address.toStdString());
  if (!port)
    return failure(OpenError::NoSuchDevice,
                   QStringLiteral("%1: %2").arg(address, QString::fromStdString(port.error())));
  hostPort_ = QString::fromStdString(port->hostPort());
  if (OpenResult connected = connectTo(*port); !connected)
    return connected;
  notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &NetworkLink::onReadable);
  sinceOpen_.start();
  startGuard();
  if (port->mode == x10::NetworkPort::Mode::Rfc2217) {
    telnet_.emplace();
    sendRaw(telnet_->start());
  }
  qCInfo(lcCm11a).noquote() << "connected to" << address_;
  return {};
}

Link::OpenResult NetworkLink::connectTo(const x10::NetworkPort &port) {
  const auto found = x10::lookUpHost(port.host, std::to_string(port.port), connectTimeoutMs_);
  if (!found && found.error().timedOut)
    return failure(OpenError::NoAnswer,
                   QStringLiteral("%1: the host name %2 was not looked up within %3 ms (the name "
                                  "server does not answer): check the network, or give the "
                                  "host's address")
                       .arg(hostPort_, QString::fromStdString(port.host))
                       .arg(connectTimeoutMs_));
  if (!found)
    return failure(OpenError::NoSuchDevice,
                   QStringLiteral("%1: the host name %2 was not found (%3): check the name")
                       .arg(hostPort_, QString::fromStdString(port.host),
                            QString::fromStdString(found.error().reason)));
  int error = 0;
  for (const addrinfo *a = found->get(); a && fd_ < 0; a = a->ai_next) {
    int fd = -1;
    error = connectOne(*a, connectTimeoutMs_, fd);
    if (error == 0)
      fd_ = fd;
  }
  if (fd_ >= 0)
    return {};
  if (error == ECONNREFUSED)
    return failure(OpenError::Other, QStringLiteral("%1 refused the connection: is ser2net running "
                                                    "there and is the port free?")
                                         .arg(hostPort_));
  if (error == ETIMEDOUT || error == EHOSTUNREACH || error == ENETUNREACH)
    return failure(
        OpenError::NoAnswer,
        QStringLiteral("no answer from %1 within %2 ms (%3): is the host up and reachable?")
            .arg(hostPort_)
            .arg(connectTimeoutMs_)
            .arg(QString::fromLocal8Bit(std::strerror(error))));
  return failure(OpenError::Other,
                 QStringLiteral("cannot connect to %1: %2")
                     .arg(hostPort_, QString::fromLocal8Bit(std::strerror(error))));
}

void NetworkLink::close() {
  notifier_.reset();
  if (fd_ >= 0)
    ::close(fd_);
  fd_ = -1;
  telnet_.reset();
}

void NetworkLink::write(const std::vector<std::uint8_t> &bytes) {
  if (bytes.empty() || !isOpen() || isLost())
    return;
  logTraffic(sinceOpen_, "->", bytes);
  sendRaw(telnet_ ? x10::TelnetCodec::encode(bytes) : bytes);
}

// The socket's buffer takes the few bytes of a frame at once; should it be full, the wait for
// room is bounded by the interface's own time-outs.
void NetworkLink::sendRaw(const std::vector<std::uint8_t> &bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size() && isOpen()) {
    const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) &&
               x10::pollUnlessInterrupted(fd_, POLLOUT, 1000) & POLLOUT) {
    } else if (x10::waitsInterrupted()) {
      return; // the program is closing: the call ends as on a time-out
    } else {
      // What the server said before it closed (a refusal, say) is still to be read.
      const int error = n < 0 ? errno : EPIPE;
      readSocket();
      markLost(QString::fromLocal8Bit(std::strerror(error)));
      return;
    }
  }
}

std::vector<std::uint8_t> NetworkLink::readAvailable() {
  if (isOpen() && !isLost())
    readSocket();
  std::vector<std::uint8_t> bytes;
  bytes.swap(pending_);
  if (!bytes.empty())
    logTraffic(sinceOpen_, "<-", bytes);
  return bytes;
}

bool NetworkLink::waitForBytes(int ms) {
  if (!isOpen() || isLost())
    return false;
  if (pending_.empty() && x10::pollUnlessInterrupted(fd_, POLLIN, ms) != 0)
    readSocket();
  if (pending_.empty())
    return false;
  emit bytesArrived();
  return true;
}

void NetworkLink::onReadable() {
  readSocket();
  if (!pending_.empty())
    emit bytesArrived();
}

// One pass: up to kReadPass bytes of what the socket holds. End of file or an error is the
// link lost; what came before it is still handed on.
void NetworkLink::readSocket() {
  std::array<std::uint8_t, kReadPass> buffer{};
  ssize_t n = -1;
  do {
    if (!isOpen() || isLost())
      return;
    n = ::recv(fd_, buffer.data(), buffer.size(), 0);
  } while (n < 0 && errno == EINTR && !x10::waitsInterrupted());
  if (n > 0)
    return take(std::span(buffer.data(), static_cast<std::size_t>(n)));
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
    return;
  closedByServer_ = n == 0 || errno == ECONNRESET;
  markLost(n == 0 ? QStringLiteral("the server closed the connection")
                  : QString::fromLocal8Bit(std::strerror(errno)));
}

// The data is taken before the telnet replies go out: should the server have closed, a send
// fails, and what it said must already be known.
void NetworkLink::take(std::span<const std::uint8_t> raw) {
  std::vector<std::uint8_t> data(raw.begin(), raw.end());
  if (telnet_) {
    telnet_->receive(raw);
    data = telnet_->takeData();
    for (const auto &note : telnet_->takeNotes())
      qCInfo(lcCm11a).noquote() << hostPort_ << QString::fromStdString(note);
  }
  data = screen(refusal_.pass(data));
  pending_.insert(pending_.end(), data.begin(), data.end());
  if (refusal_.refused())
    markLost({});
  else if (telnet_ && !isLost())
    sendRaw(telnet_->takeReplies());
}

void NetworkLink::stopWatching() {
  if (notifier_)
    notifier_->setEnabled(false);
}

void NetworkLink::markLost(const QString &why) {
  if (isLost())
    return;
  reportLost(
      refusal_.refused()
          ? QStringLiteral("%1 is in use by another client of the server (it said \"Port already "
                           "in use\"): close that client and try again")
                .arg(hostPort_)
          : QStringLiteral("%1 was lost (%2): is the server still running and reachable?")
                .arg(hostPort_, why));
}
