// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A ser2net of the test's own serving a serial device on 127.0.0.1: its YAML written to a
// private folder, a free port picked, run in the foreground with its own pid file and no UUCP
// lock (-u), ready once it listens. A second client is turned away, or, with Kick, takes the
// port from the first (kickolduser).

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <filesystem>

class Ser2netServer {
public:
  enum class Mode { Raw, Rfc2217 };
  enum class SecondClient { TurnedAway, Kicks };

  // Writes the configuration; start() runs it.
  Ser2netServer(const std::filesystem::path &device, Mode mode,
                SecondClient second = SecondClient::TurnedAway);
  ~Ser2netServer();

  static bool installed();
  // Starts it and waits (5 s at most) until it listens.
  bool start();
  // Ends it at once, as a crash or a power cut would.
  void kill();

  quint16 port() const { return port_; }
  // What a port file holds to reach it: tcp://127.0.0.1:PORT or rfc2217://127.0.0.1:PORT.
  QString address() const;
  QString errors() { return QString::fromLocal8Bit(process_.readAllStandardError()); }

private:
  bool listening() const;

  QTemporaryDir dir_;
  Mode mode_;
  quint16 port_ = 0;
  QProcess process_;
};
