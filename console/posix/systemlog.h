// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Where the program's messages go, the driver's reasons for a failed Init among them. Qt as
// Debian 12 builds it has no journald or syslog output: it writes to standard error only, and
// a program started from the desktop's menu has no terminal there to read it. So when standard
// error is not a terminal, each message also goes to syslog(3) under the identifier
// x10console, which the journal keeps (journalctl -t x10console). When standard error is the
// journal already (systemd says so in JOURNAL_STREAM), it is not written there twice.

// Writes one line to syslog(3) at a priority (LOG_INFO, say).
void writeToSyslog(int priority, const char *line);
using SystemLogWriter = void (*)(int priority, const char *line);

// Call once, early in main(). A test may give another writer in place of syslog(3).
void copyMessagesToSystemLogWithoutTerminal(SystemLogWriter writer = writeToSyslog);
