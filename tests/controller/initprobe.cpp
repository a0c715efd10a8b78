// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Opens COM n with the driver and prints Init's result on one line and its reason after it.
// The controller tests run it as a user without access to the port, to see what such a user
// is told, and as two users in turn, to see one's hold on the port meet the other. With a
// second argument "hold" it keeps the port until it is killed.
#include "controller/driver/cm11acontroller.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  Cm11aController controller;
  controller.setComPort(static_cast<qint16>(argc > 1 ? std::atoi(argv[1]) : 1));
  const qint16 code = controller.Init();
  std::printf("%d\n%s", code, qPrintable(controller.lastErrorText()));
  std::fflush(stdout);
  if (argc > 2 && std::strcmp(argv[2], "hold") == 0)
    return QCoreApplication::exec();
  return 0;
}
