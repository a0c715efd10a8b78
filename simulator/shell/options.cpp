// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "simulator/shell/options.h"

#include "simulator/core/words.h"

#include <arpa/inet.h>
#include <getopt.h>
#include <netinet/in.h>

#include <string>

namespace x10::sim {
namespace {

constexpr int kHighestCom = 32767; // the highest port number the console takes
constexpr int kHighestTcpPort = 65535;

// Long options without a short form return these.
enum : int { kCom = 256, kMains, kLink, kTcp, kScript, kTrace, kFast, kCold, kVersion };

constexpr option kOptions[] = {{"help", no_argument, nullptr, 'h'},
                               {"version", no_argument, nullptr, kVersion},
                               {"fast", no_argument, nullptr, kFast},
                               {"cold", no_argument, nullptr, kCold},
                               {"com", required_argument, nullptr, kCom},
                               {"mains", required_argument, nullptr, kMains},
                               {"link", required_argument, nullptr, kLink},
                               {"tcp", required_argument, nullptr, kTcp},
                               {"script", required_argument, nullptr, kScript},
                               {"trace", required_argument, nullptr, kTrace},
                               {nullptr, 0, nullptr, 0}};

// "PORT", "ADDRESS:PORT" or "[IPV6-ADDRESS]:PORT". The address is numeric, as a listener's is:
// a host name could stand for several.
std::optional<ListenAddress> listenAddress(std::string_view text) {
  ListenAddress where;
  int family = AF_INET;
  if (const auto colon = text.rfind(':'); colon != std::string_view::npos) {
    std::string_view host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
      host = host.substr(1, host.size() - 2);
      family = AF_INET6;
    }
    where.host = std::string(host);
    text.remove_prefix(colon + 1);
  }
  const auto port = words::integer(text);
  in6_addr address{};
  if (!port || *port < 0 || *port > kHighestTcpPort ||
      ::inet_pton(family, where.host.c_str(), &address) != 1)
    return std::nullopt;
  where.port = *port;
  return where;
}

// Takes one option and its value (empty when it had none), or says what is wrong with it.
Result<void, std::string> take(int option, const std::string &value, Options &options) {
  switch (option) {
  case 'h':
    options.help = true;
    return {};
  case kVersion:
    options.version = true;
    return {};
  case kFast:
    options.fast = true;
    return {};
  case kCold:
    options.cold = true;
    return {};
  case kCom: {
    const auto n = words::integer(value);
    if (!n || *n < 1 || *n > kHighestCom)
      return Unexpected("--com needs a port number from 1 to " + std::to_string(kHighestCom));
    options.com = *n;
    return {};
  }
  case kTcp:
    options.tcp = listenAddress(value);
    if (!options.tcp)
      return Unexpected("--tcp needs [ADDRESS:]PORT: a port from 0 (any free one) to " +
                        std::to_string(kHighestTcpPort) +
                        ", after an IPv4 address or an IPv6 address in brackets");
    return {};
  case kMains:
    if (value != "50" && value != "60")
      return Unexpected("--mains needs 50 or 60 (Hz)");
    options.mainsHz = value == "50" ? 50 : 60;
    return {};
  default:
    break;
  }
  auto &path = option == kLink ? options.link : option == kScript ? options.script : options.trace;
  if (value.empty())
    return Unexpected(std::string(option == kLink     ? "--link"
                                  : option == kScript ? "--script"
                                                      : "--trace") +
                      " needs a file path");
  path = value;
  return {};
}

} // namespace

Result<Options, std::string> parseOptions(int argc, char *const argv[]) {
  Options options;
  optind = 0; // start afresh: the parser keeps its place between calls
  opterr = 0; // the messages are ours
  // "+": stop at the first word that is no option; ":": tell a missing value from the rest.
  for (int option; (option = ::getopt_long(argc, argv, "+:h", kOptions, nullptr)) != -1;) {
    if (option == '?')
      return Unexpected("unknown option '" + std::string(argv[optind - 1]) + "'");
    const auto taken =
        option == ':' ? take(optopt, {}, options) : take(option, optarg ? optarg : "", options);
    if (!taken)
      return Unexpected(taken.error());
  }
  if (optind < argc)
    return Unexpected("unknown option '" + std::string(argv[optind]) + "'");
  if (options.com && options.link)
    return Unexpected("give --com or --link, not both");
  if (options.tcp && (options.com || options.link))
    return Unexpected("give --tcp or a port link (--com, --link), not both");
  return options;
}

std::string_view usage() {
  return R"(Usage: cm11a-sim [options]
Plays a CM11A X10 interface on a pseudo-terminal, or on a TCP port. Commands on standard
input inject power-line traffic and faults; type 'help' once it runs.

  --com N         publish as COM N: the link ${XDG_CONFIG_HOME:-~/.config}/x10console/ports/comN
  --link PATH     publish the pseudo-terminal as a link at PATH
  --tcp [ADDRESS:]PORT
                  serve the interface's raw bytes on a TCP port instead, one client at a
                  time: 127.0.0.1 unless ADDRESS names another ([::1] for IPv6), PORT 0 for
                  a free one; it says where (a port file names it as tcp://ADDRESS:PORT)
  --fast          no delays: bytes and power-line frames take no time
  --mains 50|60   mains frequency for power-line timing (default 60)
  --cold          start as a new interface: clock unset, asking for it with A5 each
                  second (by default it starts warm, its clock set to the host's)
  --script FILE   run the commands in FILE ('wait SECONDS' paces them)
  --trace FILE    write every byte with its direction and time, and every exchange
  --help          show this text
  --version       show the version
A value may also follow its option after '=': --com=2. A link already there is replaced
only if cm11a-sim made it and that simulator is gone; the link is removed on exit, on
Ctrl-C (SIGINT), SIGTERM and SIGHUP.
)";
}

std::string versionLine() { return std::string("cm11a-sim ") + X10_VERSION; }

} // namespace x10::sim
