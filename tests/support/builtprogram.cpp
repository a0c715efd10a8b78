// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/support/builtprogram.h"

QStringList builtProgramCommand(const QString &program, const QStringList &arguments) {
  // Empty in a native build; the emulator and its options in a cross build.
  return QProcess::splitCommand(QStringLiteral(X10_EMULATOR)) + QStringList{program} + arguments;
}

void startBuiltProgram(QProcess &process, const QString &program, const QStringList &arguments) {
  startCommand(process, builtProgramCommand(program, arguments));
}

void startCommand(QProcess &process, QStringList command) {
  const QString program = command.takeFirst();
  process.start(program, command);
}
