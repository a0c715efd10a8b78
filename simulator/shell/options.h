// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The command line of cm11a-sim.

#include "vocabulary/result.h"
#include <optional>
#include <string>
#include <string_view>

namespace x10::sim {

// Where --tcp listens: a numeric address (IPv6 without its brackets) and a port, 0 for a free
// one the kernel picks.
struct ListenAddress {
  std::string host = "127.0.0.1";
  int port = 0;
};

struct Options {
  std::optional<int> com;           // publish as COM n
  std::optional<std::string> link;  // or under this path
  std::optional<ListenAddress> tcp; // or serve a TCP port instead of a pseudo-terminal
  bool fast = false;
  bool cold = false; // start asking for the clock, not with the host's
  int mainsHz = 60;
  std::optional<std::string> script;
  std::optional<std::string> trace;
  bool help = false;
  bool version = false;
};

// The options of main's argc and argv, or a message saying what is wrong. Each option's value
// may follow it as the next word or after '=': --com 2, --com=2.
Result<Options, std::string> parseOptions(int argc, char *const argv[]);
std::string_view usage();
// "cm11a-sim <version>", the line --version prints.
std::string versionLine();

} // namespace x10::sim
