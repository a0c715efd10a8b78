// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/support/simulatorprocess.h"

#include "tests/support/builtprogram.h"
#include "tests/support/waituntil.h"

#include <QRegularExpression>

SimulatorProcess::SimulatorProcess(const QString &program, const QStringList &arguments,
                                   std::filesystem::path link)
    : SimulatorProcess(builtProgramCommand(program, arguments), std::move(link)) {}

SimulatorProcess::SimulatorProcess(const QStringList &command, std::filesystem::path link)
    : link_(std::move(link)) {
  startCommand(process, command);
  ready_ =
      process.waitForStarted() && waitUntil([this] { return std::filesystem::is_symlink(link_); });
}

SimulatorProcess::SimulatorProcess(const QString &program, const QStringList &arguments,
                                   ServingTcp) {
  startCommand(process, builtProgramCommand(program, arguments));
  // The start line: "cm11a-sim: CM11A on tcp://127.0.0.1:40123 (fast)".
  static const QRegularExpression listening("CM11A on (tcp://\\S+:\\d+) ");
  ready_ = process.waitForStarted() && waitUntil([this] {
             const auto found = listening.match(QString::fromUtf8(output()));
             address_ = found.captured(1);
             return found.hasMatch();
           });
}

quint16 SimulatorProcess::port() const {
  return address_.mid(address_.lastIndexOf(':') + 1).toUShort();
}

SimulatorProcess::~SimulatorProcess() {
  if (process.state() == QProcess::NotRunning)
    return;
  process.terminate();
  if (!process.waitForFinished(5000))
    process.kill();
}

void SimulatorProcess::command(const QByteArray &line) {
  process.write(line + '\n');
  process.waitForBytesWritten();
}

QByteArray SimulatorProcess::output() {
  output_ += process.readAllStandardOutput();
  return output_;
}

bool SimulatorProcess::waitForOutput(const QByteArray &text, int timeoutMs) {
  return waitUntil([&] { return output().contains(text); }, timeoutMs);
}
