// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The poll loop of cm11a-sim: bytes between the port (a pseudo-terminal or a TCP port) and the
// device core, command lines from the terminal and the script, signals, and the core's
// deadlines. One thread.
//
// The port may be opened and closed by a driver any number of times. While nobody has it open,
// what the interface sends is lost, as it would be on a serial port nobody has open.

#include "simulator/core/cm11adevice.h"
#include "simulator/core/commandrunner.h"
#include "simulator/shell/interfaceport.h"
#include "simulator/shell/signalwatch.h"
#include "simulator/shell/trace.h"

#include <string>

namespace x10::sim {

class SimulatorLoop {
public:
  SimulatorLoop(Cm11aDevice &device, InterfacePort &port, SignalWatch &signals, Trace &trace,
                CommandRunner &script);

  // Runs until quit, hang-up or a signal; the exit status.
  int run();

private:
  void waitForEvents(TimePoint now);
  void readPort(TimePoint now);
  void checkClients(TimePoint now);
  void readTerminal();
  void pump(TimePoint now);
  void show(const Outcome &outcome, TimePoint now);
  void say(std::string_view prefix, const std::string &text, TimePoint now);

  Cm11aDevice &device_;
  InterfacePort &port_;
  SignalWatch &signals_;
  Trace &trace_;
  CommandRunner &script_;
  CommandRunner terminal_{"input", CommandRunner::Source::Terminal};
  TimePoint start_;
  std::string partialLine_;
  bool terminalOpen_ = true;
  bool stop_ = false;
};

} // namespace x10::sim
