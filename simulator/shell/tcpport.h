// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The interface served on a TCP port, as a serial port server serves one in raw mode: the
// bytes of one client at a time travel as they are, with no telnet. A second client while
// one is connected is told "Port already in use" and closed at once, as that server does, so
// a driver reports the port in use. A client that goes away is the port closed by the other
// side: the next one to connect is served.

#include "simulator/shell/interfaceport.h"
#include "simulator/shell/options.h"
#include "simulator/shell/uniquefd.h"

#include <string>

namespace x10::sim {

class TcpPort : public InterfacePort {
public:
  // Listens on the address and port (0: a free one). Throws std::system_error naming both.
  static TcpPort listen(const ListenAddress &where);

  // What a port file holds to reach it: tcp://127.0.0.1:40123, tcp://[::1]:40123.
  const std::string &url() const { return url_; }

  int watchFd() const override { return listener_.get(); }
  int dataFd() const override { return client_.get(); }
  bool connected() const override { return client_.valid(); }
  // "opened by HOST:PORT", "turned away HOST:PORT: in use".
  std::vector<std::string> updateClients() override;
  // Closes the client: "closed by the other side", with the error if there was one.
  std::string ended(const ReadResult &result) override;

private:
  TcpPort(UniqueFd listener, std::string url)
      : listener_(std::move(listener)), url_(std::move(url)) {}

  UniqueFd listener_;
  UniqueFd client_;
  std::string url_;
};

} // namespace x10::sim
