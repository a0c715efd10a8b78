// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// cm11a-sim: a CM11A X10 interface played on a pseudo-terminal, for drivers and demos without
// the hardware.

#include "controller/links/portnames.h"
#include "simulator/shell/options.h"
#include "simulator/shell/portlink.h"
#include "simulator/shell/pseudoterminal.h"
#include "simulator/shell/signalwatch.h"
#include "simulator/shell/simulatorloop.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
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

  PseudoTerminal terminal = PseudoTerminal::open();
  std::optional<PortLink> link;
  if (options.com || options.link) {
    const std::filesystem::path where =
        options.com ? x10::comPortLinkPath(*options.com) : std::filesystem::path(*options.link);
    auto published = PortLink::publish(where, terminal.slavePath());
    if (!published) {
      std::cerr << "cm11a-sim: " << published.error() << '\n';
      return 1;
    }
    link.emplace(std::move(published).value());
  }

  std::cout << "cm11a-sim: CM11A on " << terminal.slavePath();
  if (link)
    std::cout << ", published as " << link->path().string();
  std::cout << (options.fast             ? " (fast)"
                : timing.mainsHz() == 50 ? " (50 Hz)"
                                         : " (60 Hz)")
            << "\ntype 'help' for the commands" << std::endl;
  return SimulatorLoop(device, terminal, signals, trace, script).run();
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
