// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/posix/systemlog.h"

#include "console/messagelog.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

namespace {

QtMessageHandler toStandardError = nullptr;
SystemLogWriter toLog = writeToSyslog;

int priority(QtMsgType type) {
  switch (type) {
  case QtDebugMsg:
    return LOG_DEBUG;
  case QtInfoMsg:
    return LOG_INFO;
  case QtWarningMsg:
    return LOG_WARNING;
  case QtCriticalMsg:
    return LOG_CRIT;
  case QtFatalMsg:
    return LOG_ALERT;
  }
  return LOG_INFO;
}

void toSystemLog(QtMsgType type, const QMessageLogContext &context, const QString &message) {
  toLog(priority(type), qFormatLogMessage(type, context, message).toUtf8().constData());
  if (toStandardError)
    toStandardError(type, context, message);
}

// systemd gives a program whose standard error is the journal "device:inode" of that stream.
bool standardErrorIsTheJournal() {
  const QByteArray stream = qgetenv("JOURNAL_STREAM");
  struct stat st {};
  return !stream.isEmpty() && ::fstat(STDERR_FILENO, &st) == 0 &&
         stream == QByteArray::number(st.st_dev) + ':' + QByteArray::number(st.st_ino);
}

} // namespace

void writeToSyslog(int priority, const char *line) { ::syslog(priority, "%s", line); }

void copyMessagesToSystemLogWithoutTerminal(SystemLogWriter writer) {
  if (::isatty(STDERR_FILENO))
    return;
  toLog = writer;
  ::openlog("x10console", LOG_PID, LOG_USER);
  const QtMessageHandler previous = qInstallMessageHandler(toSystemLog);
  toStandardError = standardErrorIsTheJournal() ? nullptr : previous;
}

void keepMessagesInTheSystemLog() { copyMessagesToSystemLogWithoutTerminal(); }
