// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The port file's address parser on arbitrary bytes. Invariants: no exception; an accepted
// address has a host and a port of 1..65535, and reads back the same from its HOST:PORT; a
// refusal has a reason.

#include "controller/netport/networkport.h"
#include "fuzz/fuzzcheck.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  const auto port = x10::parseNetworkPort(text);
  if (!port) {
    require(!port.error().empty(), "a refused address without a reason");
    return 0;
  }
  require(!port->host.empty(), "an address accepted without a host");
  require(port->port != 0, "port 0 accepted");
  const auto again = x10::parseNetworkPort("tcp://" + port->hostPort());
  require(again.has_value() && again->host == port->host && again->port == port->port,
          "HOST:PORT does not read back as the address it came from");
  return 0;
}
