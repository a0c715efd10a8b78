// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/e2e/consolerig.h"

#include "console/eventlog.h"
#include "controller/driver/cm11acontroller.h"
#include "controller/links/portnames.h"

#include <QTextDocument>

ConsoleRig::ConsoleRig(const QStringList &simulatorOptions)
    : sim(CM11A_SIM, simulatorOptions + QStringList{"--com", "2"}, x10::comPortLinkPath(2)),
      window(std::make_unique<Cm11aController>()) {}

bool ConsoleRig::init(int port) {
  window.type("TxtComPort", QString::number(port));
  window.click("ButInit");
  return window.control<QPushButton>("ButInit")->text() == "Done";
}

void ConsoleRig::send(const char *button, const QString &house, const QString &unit,
                      const QString &command) {
  window.type("TxtHC", house);
  window.type("TxtDC", unit);
  window.choose("Combo1", command);
  window.click(button);
}

QStringList ConsoleRig::logLines() const {
  QStringList lines = logText().split("\r\n");
  lines.removeLast(); // after the last line break
  return lines;
}

// Each line ends in a break, so the document has one empty block more.
int ConsoleRig::logLineCount() const { return window.log()->document()->blockCount() - 1; }

QString ConsoleRig::logText() const { return window.log()->text(); }
