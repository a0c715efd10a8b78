// SPDX-License-Identifier: MIT
// Opens COM n with the driver and prints Init's result on one line and its reason after it.
// The controller tests run it as a user without access to the port, to see what such a user
// is told.
#include "controller/cm11acontroller.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  Cm11aController controller;
  controller.setComPort(static_cast<qint16>(argc > 1 ? std::atoi(argv[1]) : 1));
  const qint16 code = controller.Init();
  std::printf("%d\n%s", code, qPrintable(controller.lastErrorText()));
  return 0;
}
