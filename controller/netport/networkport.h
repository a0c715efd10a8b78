// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A network serial port as a user names it in a port file: the first line of
// ports/com<n> reads tcp://HOST:PORT (raw bytes) or rfc2217://HOST:PORT (telnet with the
// COM-PORT option). HOST is a name, an IPv4 address or an IPv6 address in brackets. Pure: the
// caller reads the file and hands over its bytes.

#include "vocabulary/result.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace x10 {

struct NetworkPort {
  enum class Mode { Raw, Rfc2217 };
  Mode mode = Mode::Raw;
  std::string host; // without the brackets of an IPv6 address
  std::uint16_t port = 0;

  // HOST:PORT as written, brackets included: for messages.
  std::string hostPort() const;
  bool operator==(const NetworkPort &) const = default;
};

// Reads the first line of text (a trailing CR and blanks around it allowed); the error says
// what is wrong with it in words for the user.
Result<NetworkPort, std::string> parseNetworkPort(std::string_view text);

} // namespace x10
