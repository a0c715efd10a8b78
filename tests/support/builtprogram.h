// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// How a test starts a program this build made. In a cross build the tests run under a
// user-mode emulator and the machine may have no binfmt handler for the target's programs, so
// the emulator goes in front of every one a test starts.

#include <QProcess>
#include <QStringList>

// The command line that runs program with arguments: the emulator first where there is one.
QStringList builtProgramCommand(const QString &program, const QStringList &arguments = {});
// Starts program with arguments in process, through the emulator where there is one.
void startBuiltProgram(QProcess &process, const QString &program,
                       const QStringList &arguments = {});
// Starts a command line (a program, then its arguments) in process.
void startCommand(QProcess &process, QStringList command);
