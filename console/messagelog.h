// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Where the program's messages go, the driver's reasons for a failed Init among them, where a
// desktop program started from its menu, with no terminal, has them kept: the journal on
// Linux (console/posix/systemlog.h), a log file and the debugger on Windows
// (console/windows/messagelog.cpp). Call once, early in main().
void keepMessagesInTheSystemLog();
