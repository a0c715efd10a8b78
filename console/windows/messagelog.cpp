// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The messages on Windows go to %LOCALAPPDATA%\x10console\x10console.log, each line with its
// time, kept under about 1 MB with the one before in x10console.log.old, and on to Qt's own
// output: standard error when the program has a console, else OutputDebugString, which a
// debugger (or a debug-output viewer) shows.
#include "console/messagelog.h"

#include "console/rotatinglog.h"

#include <QDateTime>
#include <QDir>
#include <QString>
#include <QtGlobal>

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace {

constexpr std::uintmax_t kLogBytes = 1024 * 1024;

QtMessageHandler onward = nullptr;
std::mutex writing; // messages come from any thread

std::filesystem::path logFile() {
  std::filesystem::path base;
  if (const wchar_t *local = ::_wgetenv(L"LOCALAPPDATA"); local && *local)
    base = local;
  else
    base = QDir::tempPath().toStdWString();
  return base / "x10console" / "x10console.log";
}

const char *level(QtMsgType type) {
  switch (type) {
  case QtDebugMsg:
    return "debug";
  case QtInfoMsg:
    return "info";
  case QtWarningMsg:
    return "warning";
  case QtCriticalMsg:
    return "critical";
  case QtFatalMsg:
    return "fatal";
  }
  return "info";
}

void toLogFile(QtMsgType type, const QMessageLogContext &context, const QString &message) {
  const QString line =
      QStringLiteral("%1 %2 %3")
          .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs), QLatin1String(level(type)),
               qFormatLogMessage(type, context, message));
  {
    static RotatingLog log(logFile(), kLogBytes);
    const std::lock_guard lock(writing);
    log.append(line.toStdString());
  }
  if (onward)
    onward(type, context, message);
}

} // namespace

void keepMessagesInTheSystemLog() { onward = qInstallMessageHandler(toLogFile); }
