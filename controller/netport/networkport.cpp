// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/netport/networkport.h"

#include <array>
#include <cctype>

namespace x10 {

namespace {

struct Scheme {
  std::string_view prefix;
  NetworkPort::Mode mode;
};
constexpr std::array<Scheme, 2> kSchemes{
    {{"tcp://", NetworkPort::Mode::Raw}, {"rfc2217://", NetworkPort::Mode::Rfc2217}}};

std::string_view firstLine(std::string_view text) {
  text = text.substr(0, text.find('\n'));
  const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && isBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

bool isHostChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}

bool isIpv6Char(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
}

Result<std::uint16_t, std::string> parsePortNumber(std::string_view digits) {
  if (digits.empty())
    return Unexpected{std::string("no port number after the host (HOST:PORT)")};
  unsigned long value = 0;
  for (const char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c)))
      return Unexpected{"the port \"" + std::string(digits) + "\" is not a number"};
    value = value * 10 + static_cast<unsigned long>(c - '0');
    if (value > 65535)
      return Unexpected{"the port " + std::string(digits) + " is out of range 1..65535"};
  }
  if (value == 0)
    return Unexpected{std::string("the port 0 is out of range 1..65535")};
  return static_cast<std::uint16_t>(value);
}

} // namespace

std::string NetworkPort::hostPort() const {
  const bool ipv6 = host.find(':') != std::string::npos;
  return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

Result<NetworkPort, std::string> parseNetworkPort(std::string_view text) {
  std::string_view line = firstLine(text);
  NetworkPort result;
  const Scheme *scheme = nullptr;
  for (const Scheme &s : kSchemes)
    if (line.starts_with(s.prefix))
      scheme = &s;
  if (!scheme)
    return Unexpected{std::string("not tcp://HOST:PORT or rfc2217://HOST:PORT")};
  result.mode = scheme->mode;
  line.remove_prefix(scheme->prefix.size());
  std::string_view host;
  if (line.starts_with('[')) {
    const auto close = line.find(']');
    if (close == std::string_view::npos)
      return Unexpected{std::string("an IPv6 address without its closing ]")};
    host = line.substr(1, close - 1);
    for (const char c : host)
      if (!isIpv6Char(c))
        // Appended, not joined with +: g++ 12's optimiser falsely reports an overlapping copy
        // (-Wrestrict) inside the string code that + inlines here.
        return Unexpected{std::string("\"").append(host).append("\" is not an IPv6 address")};
    line.remove_prefix(close + 1);
  } else {
    std::size_t end = 0;
    while (end < line.size() && isHostChar(line[end]))
      ++end;
    host = line.substr(0, end);
    line.remove_prefix(end);
  }
  if (host.empty())
    return Unexpected{std::string("no host name or address before the port")};
  if (!line.starts_with(':'))
    return Unexpected{line.empty() ? std::string("no port number after the host (HOST:PORT)")
                                   : "unexpected \"" + std::string(line) + "\" after the host"};
  auto port = parsePortNumber(line.substr(1));
  if (!port)
    return Unexpected{port.error()};
  result.host = std::string(host);
  result.port = *port;
  return result;
}

} // namespace x10
