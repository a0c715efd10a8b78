// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/networklink.h"

#include "controller/links/cm11alog.h"
#include "controller/links/platformlinks.h"
#include "controller/links/waitinterrupt.h"

#include <array>

namespace {

// How long a send waits for room in the socket's buffer before the link counts as lost.
constexpr int kSendWaitMs = 1000;

Link::OpenResult failure(Link::OpenError error, QString text) {
  return x10::Unexpected(Link::OpenFailure{error, std::move(text)});
}

} // namespace

std::unique_ptr<Link> makeNetworkLink() { return std::make_unique<NetworkLink>(); }

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
  notifier_ = std::make_unique<QSocketNotifier>(socket_.handle(), QSocketNotifier::Read);
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
  auto connected = x10::StreamSocket::connect(port.host, port.port, connectTimeoutMs_);
  if (connected) {
    socket_ = std::move(connected).value();
    return {};
  }
  const QString host = QString::fromStdString(port.host);
  const QString reason = QString::fromStdString(connected.error().reason);
  using Kind = x10::ConnectFailure::Kind;
  switch (connected.error().kind) {
  case Kind::LookupTimedOut:
    return failure(OpenError::NoAnswer,
                   QStringLiteral("%1: the host name %2 was not looked up within %3 ms (the name "
                                  "server does not answer): check the network, or give the "
                                  "host's address")
                       .arg(hostPort_, host)
                       .arg(connectTimeoutMs_));
  case Kind::NameNotFound:
    return failure(OpenError::NoSuchDevice,
                   QStringLiteral("%1: the host name %2 was not found (%3): check the name")
                       .arg(hostPort_, host, reason));
  case Kind::Refused:
    return failure(OpenError::Other, QStringLiteral("%1 refused the connection: is ser2net running "
                                                    "there and is the port free?")
                                         .arg(hostPort_));
  case Kind::NoAnswer:
    return failure(
        OpenError::NoAnswer,
        QStringLiteral("no answer from %1 within %2 ms (%3): is the host up and reachable?")
            .arg(hostPort_)
            .arg(connectTimeoutMs_)
            .arg(reason));
  case Kind::Other:
    break;
  }
  return failure(OpenError::Other,
                 QStringLiteral("cannot connect to %1: %2").arg(hostPort_, reason));
}

void NetworkLink::close() {
  notifier_.reset();
  socket_.close();
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
    const x10::SocketIo io = socket_.send(std::span(bytes).subspan(sent));
    if (io.state == x10::SocketIo::State::Moved) {
      sent += io.bytes;
    } else if (io.state == x10::SocketIo::State::WouldBlock && socket_.waitWritable(kSendWaitMs)) {
    } else if (x10::waitsInterrupted()) {
      return; // the program is closing: the call ends as on a time-out
    } else {
      // What the server said before it closed (a refusal, say) is still to be read.
      readSocket();
      markLost(QString::fromStdString(io.error));
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
  if (pending_.empty() && socket_.waitReadable(ms))
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
  if (!isOpen() || isLost())
    return;
  std::array<std::uint8_t, kReadPass> buffer{};
  const x10::SocketIo io = socket_.receive(buffer);
  switch (io.state) {
  case x10::SocketIo::State::Moved:
    return take(std::span(buffer.data(), io.bytes));
  case x10::SocketIo::State::WouldBlock:
    return;
  case x10::SocketIo::State::Closed:
    closedByServer_ = true;
    return markLost(QStringLiteral("the server closed the connection"));
  case x10::SocketIo::State::Failed:
    closedByServer_ = io.reset;
    return markLost(QString::fromStdString(io.error));
  }
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
