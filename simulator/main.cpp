// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// cm11a-sim: a CM11A X10 interface played on a pseudo-terminal or a TCP port, for drivers and
// demos without the hardware.

#include "controller/links/portnames.h"
#include "simulator/shell/options.h"
#include "simulator/shell/portlink.h"
#include "simulator/shell/pseudoterminal.h"
#include "simulator/shell/signalwatch.h"
#include "simulator/shell/simulatorloop.h"
#include "simulator/shell/tcpport.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

using namespace x10::sim;

namespace {

bool loadScript(const std::string &path, CommandRunner &script) {
  std::ifstream file(path);
  if (!file)
    return false;
  for (std::string line; std::getline(file, line);)
    script.add(line);
  return true;
}

// Warm, with the host's local time, or cold: a new interface's clock is unset, and it asks for
// it with a power-fail poll.
void startClock(Cm11aDevice &device, bool cold, TimePoint start) {
  if (cold) {
    device.powerFail(start);
    return;
  }
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  device.startWarm(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec, local.tm_yday,
                   local.tm_wday, start);
}

// Where a driver meets the interface, kept while the simulator runs, and the words that say
// where.
struct Served {
  std::unique_ptr<InterfacePort> port;
  std::optional<PortLink> link;
  std::string where;
};

// A TCP port, or a pseudo-terminal published as a link when asked; why the link could not be.
// Throws std::system_error when the port cannot be had.
x10::Result<Served, std::string> serve(const Options &options) {
  Served served;
  if (options.tcp) {
    auto tcp = std::make_unique<TcpPort>(TcpPort::listen(*options.tcp));
    served.where = tcp->url();
    served.port = std::move(tcp);
    return served;
  }
  auto terminal = std::make_unique<PseudoTerminal>(PseudoTerminal::open());
  served.where = terminal->slavePath();
  if (options.com || options.link) {
    const std::filesystem::path where =
        options.com ? x10::comPortLinkPath(*options.com) : std::filesystem::path(*options.link);
    auto published = PortLink::publish(where, terminal->slavePath());
    if (!published)
      return x10::Unexpected(published.error());
    served.where += ", published as " + published->path().string();
    served.link.emplace(std::move(published).value());
  }
  served.port = std::move(terminal);
  return served;
}

int simulate(const Options &options) {
  SignalWatch signals;
  const TimePoint start = Clock::now();
  const Timing timing = options.fast ? Timing::fast() : Timing::realistic(options.mainsHz);
  Cm11aDevice device(timing, PowerLine::withDemoModules(), start);
  startClock(device, options.cold, start);

  CommandRunner script(options.script.value_or("script"), CommandRunner::Source::Script);
  if (options.script && !loadScript(*options.script, script)) {
    std::cerr << "cm11a-sim: cannot read the script " << *options.script << '\n';
    return 1;
  }
  Trace trace(start);
  if (options.trace && !trace.open(*options.trace)) {
    std::cerr << "cm11a-sim: cannot write the trace " << *options.trace << '\n';
    return 1;
  }

  auto served = serve(options);
  if (!served) {
    std::cerr << "cm11a-sim: " << served.error() << '\n';
    return 1;
  }
  std::cout << "cm11a-sim: CM11A on " << served->where
            << (options.fast             ? " (fast)"
                : timing.mainsHz() == 50 ? " (50 Hz)"
                                         : " (60 Hz)")
            << "\ntype 'help' for the commands" << std::endl;
  return SimulatorLoop(device, *served->port, signals, trace, script).run();
}

} // namespace

int main(int argc, char **argv) {
  auto parsed = parseOptions(argc, argv);
  if (!parsed) {
    std::cerr << "cm11a-sim: " << parsed.error() << "\nTry cm11a-sim --help\n";
    return 2;
  }
  const Options &options = *parsed;
  if (options.help) {
    std::cout << usage();
    return 0;
  }
  if (options.version) {
    std::cout << versionLine() << '\n';
    return 0;
  }
  try {
    return simulate(options);
  } catch (const std::exception &e) {
    std::cerr << "cm11a-sim: " << e.what() << '\n';
    return 1;
  }
}
