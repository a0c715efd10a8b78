// SPDX-License-Identifier: MIT
#include "simulator/shell/options.h"

#include "simulator/core/words.h"

namespace x10::sim {
namespace {

constexpr int kHighestCom = 255;

} // namespace

std::variant<Options, std::string> parseOptions(std::span<const char *const> args) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view option = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size())
        return std::nullopt;
      return std::string(args[++i]);
    };
    if (option == "--help" || option == "-h") {
      options.help = true;
    } else if (option == "--version") {
      options.version = true;
    } else if (option == "--fast") {
      options.fast = true;
    } else if (option == "--com") {
      const auto text = value();
      const auto n = text ? words::integer(*text) : std::nullopt;
      if (!n || *n < 1 || *n > kHighestCom)
        return std::string("--com needs a port number from 1 to 255");
      options.com = *n;
    } else if (option == "--mains") {
      const auto text = value();
      if (text != "50" && text != "60")
        return std::string("--mains needs 50 or 60 (Hz)");
      options.mainsHz = *text == "50" ? 50 : 60;
    } else if (option == "--link" || option == "--script" || option == "--trace") {
      auto text = value();
      if (!text || text->empty())
        return std::string(option) + " needs a file path";
      (option == "--link"     ? options.link
       : option == "--script" ? options.script
                              : options.trace) = std::move(text);
    } else {
      return "unknown option '" + std::string(option) + "'";
    }
  }
  if (options.com && options.link)
    return std::string("give --com or --link, not both");
  return options;
}

std::string_view usage() {
  return R"(Usage: cm11a-sim [options]
Plays a CM11A X10 interface on a pseudo-terminal. Commands on standard input inject
power-line traffic and faults; type 'help' once it runs.

  --com N         publish as COM N: the link ${XDG_CONFIG_HOME:-~/.config}/x10console/ports/comN
  --link PATH     publish the pseudo-terminal as a link at PATH
  --fast          no delays: bytes and power-line frames take no time
  --mains 50|60   mains frequency for power-line timing (default 60)
  --script FILE   run the commands in FILE ('wait SECONDS' paces them)
  --trace FILE    write every byte with its direction and time, and every exchange
  --help          show this text
  --version       show the version
An existing link is replaced only if it dangles or points into /dev/pts; the link is
removed on exit, Ctrl-C and SIGTERM.
)";
}

std::string versionLine() { return std::string("cm11a-sim ") + X10_VERSION; }

} // namespace x10::sim
