// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A serial port served over TCP (tcp://HOST:PORT, raw bytes) or over telnet with the COM-PORT
// option (rfc2217://HOST:PORT, see TelnetCodec): a socket of the platform's (StreamSocket),
// connected without blocking for longer than a time-out, watched by a socket notifier while
// idle and waited on inside waitForBytes, so a member call never runs an event loop. A server
// that turns this client away ("Port already in use") is told apart from the interface's bytes.

#include "controller/links/link.h"
#include "controller/links/streamsocket.h"
#include "controller/netport/networkport.h"
#include "controller/netport/serverrefusal.h"
#include "controller/netport/telnetcodec.h"

#include <QElapsedTimer>
#include <QSocketNotifier>

#include <memory>
#include <optional>

class NetworkLink : public Link {
  Q_OBJECT
public:
  explicit NetworkLink(QObject *parent = nullptr);
  ~NetworkLink() override;

  // For the next opens. A retry in the background takes less, since it blocks the thread.
  void setConnectTimeout(int ms) override { connectTimeoutMs_ = ms; }
  OpenResult open(const QString &address) override;
  void close() override;
  bool isOpen() const override { return socket_.isOpen(); }
  QString path() const override { return address_; }
  QString description() const override;
  bool refusedInUse() const override { return refusal_.refused(); }
  bool closedByServer() const override { return closedByServer_; }

  void write(const std::vector<std::uint8_t> &bytes) override;
  std::vector<std::uint8_t> readAvailable() override;
  bool waitForBytes(int ms) override;

protected:
  void stopWatching() override;

private:
  OpenResult connectTo(const x10::NetworkPort &port);
  void onReadable();
  void readSocket();
  void take(std::span<const std::uint8_t> raw);
  void sendRaw(const std::vector<std::uint8_t> &bytes);
  void markLost(const QString &why);

  x10::StreamSocket socket_;
  int connectTimeoutMs_ = kDefaultConnectTimeoutMs;
  std::unique_ptr<QSocketNotifier> notifier_;
  QString address_;
  QString hostPort_;
  std::optional<x10::TelnetCodec> telnet_;
  x10::ServerRefusal refusal_;
  bool closedByServer_ = false;
  std::vector<std::uint8_t> pending_; // the line's bytes not yet read
  QElapsedTimer sinceOpen_;
};
