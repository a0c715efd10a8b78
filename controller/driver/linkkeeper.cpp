// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/driver/linkkeeper.h"

#include "controller/links/cm11alog.h"
#include "controller/links/platformlinks.h"
#include "controller/netport/networkport.h"

#include <algorithm>
#include <fstream>
#include <string>

namespace {

constexpr int kDevicePollMs = 500;
constexpr int kFirstPauseMs = 1000;
constexpr int kLongestPauseMs = 30000;
constexpr int kRetryConnectMs = 500;

int longer(int pauseMs) { return std::min(pauseMs * 2, kLongestPauseMs); }

} // namespace

LinkKeeper::LinkKeeper(QObject *parent) : QObject(parent) {
  retry_.setSingleShot(true);
  connect(&retry_, &QTimer::timeout, this, &LinkKeeper::attempt);
  adopt(makeSerialLink());
}

x10::Result<QString, QString> LinkKeeper::addressOf(const std::filesystem::path &path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec)))
    return QString::fromStdString(path.string()); // a link to a device, or the device itself
  std::ifstream file(path, std::ios::binary);
  std::string line;
  std::getline(file, line);
  const auto port = x10::parseNetworkPort(line);
  if (!port)
    return x10::Unexpected{
        QStringLiteral("%1 is not a link to a device, nor a network port: %2; "
                       "write tcp://HOST:PORT or rfc2217://HOST:PORT on its "
                       "first line (see man x10console)")
            .arg(QString::fromStdString(path.string()), QString::fromStdString(port.error()))};
  return QString::fromStdString(line.substr(0, line.find_last_not_of(" \t\r") + 1));
}

Link::OpenResult LinkKeeper::open(const QString &address) {
  close();
  const bool network = x10::parseNetworkPort(address.toStdString()).has_value();
  if (network != network_) {
    adopt(network ? makeNetworkLink() : makeSerialLink());
    network_ = network;
  }
  link_->setConnectTimeout(Link::kDefaultConnectTimeoutMs);
  pauseMs_ = 0;
  return link_->open(address);
}

void LinkKeeper::adopt(std::unique_ptr<Link> link) {
  link_ = std::move(link);
  connect(link_.get(), &Link::bytesArrived, this, &LinkKeeper::bytesArrived);
  connect(link_.get(), &Link::lost, this, &LinkKeeper::lost);
}

void LinkKeeper::close() {
  retry_.stop();
  link_->close();
}

void LinkKeeper::reconnect() {
  link_->close();
  link_->setConnectTimeout(kRetryConnectMs);
  pauseMs_ = !network_ ? kDevicePollMs : pauseMs_ == 0 ? kFirstPauseMs : longer(pauseMs_);
  retry_.start(pauseMs_);
}

void LinkKeeper::attempt() {
  const QString address = link_->path();
  if (link_->mayBeBack()) {
    const Link::OpenResult opened = link_->open(address);
    if (opened) {
      emit reopened();
      return;
    }
    qCDebug(lcCm11a).noquote() << "not back yet:" << opened.error().text;
  }
  if (network_)
    pauseMs_ = longer(pauseMs_);
  retry_.start(pauseMs_);
}
