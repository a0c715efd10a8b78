// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The built cm11a-sim as a child process: started, and ready once its port link exists (or,
// serving a TCP port, once it says where it listens); fed commands on standard input; its
// standard output collected for the test to read.

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <filesystem>

class SimulatorProcess {
public:
  // Starts the built program with arguments and waits (5 s at most) for the link it publishes.
  SimulatorProcess(const QString &program, const QStringList &arguments,
                   std::filesystem::path link);
  // The same for a command line as it stands, for one that runs the simulator through another
  // program (see builtProgramCommand()).
  SimulatorProcess(const QStringList &command, std::filesystem::path link);
  // The same for one that serves a TCP port (--tcp among the arguments): ready once it has
  // said where it listens.
  struct ServingTcp {};
  SimulatorProcess(const QString &program, const QStringList &arguments, ServingTcp);
  // Ends it with SIGTERM if it is still running.
  ~SimulatorProcess();

  bool ready() const { return ready_; }
  // Where a TCP simulator listens, as a port file names it (tcp://127.0.0.1:40123), and its
  // port; empty and 0 before it said so.
  QString address() const { return address_; }
  quint16 port() const;
  // One line of the command language on standard input.
  void command(const QByteArray &line);
  // Everything it printed so far.
  QByteArray output();
  bool waitForOutput(const QByteArray &text, int timeoutMs = 5000);
  QString errors() { return QString::fromLocal8Bit(process.readAllStandardError()); }

  QProcess process;

private:
  std::filesystem::path link_;
  QByteArray output_;
  QString address_;
  bool ready_ = false;
};
