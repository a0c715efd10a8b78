// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// What x10console's main() builds (the window Form1 with a real Cm11aController) with the
// built cm11a-sim behind it as COM 2, and message boxes answered as they open. The test
// points XDG_CONFIG_HOME at a private folder first (PrivateConfigHome); the port link goes there.

#include "tests/support/messageboxcatcher.h"
#include "tests/support/simulatorprocess.h"
#include "tests/support/windowundertest.h"

#include <QString>
#include <QStringList>

class ConsoleRig {
public:
  explicit ConsoleRig(const QStringList &simulatorOptions = {"--fast"});

  // Types the port number and presses Init; true when the button then reads "Done".
  bool init(int port = 2);
  // Fills house, unit and the command list, then presses the button (Command1 Send Exec,
  // Command5 Send Wait).
  void send(const char *button, const QString &house, const QString &unit, const QString &command);
  // The event log, one entry per line, line breaks dropped.
  QStringList logLines() const;
  // How many lines logLines() would hold, without copying the log: for waits on a long log.
  int logLineCount() const;
  QString logText() const;

  SimulatorProcess sim;
  WindowUnderTest window;
  MessageBoxCatcher boxes;
};
