// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Output already redirected (to a file or a pipe) stays where it goes; otherwise the program
// joins the console of the process that started it, when that has one.
#include "console/startingterminal.h"

#include <cstdio>

#include <windows.h>

void reachTheStartingTerminal() {
  const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (out != nullptr && out != INVALID_HANDLE_VALUE && ::GetFileType(out) != FILE_TYPE_UNKNOWN)
    return;
  if (!::AttachConsole(ATTACH_PARENT_PROCESS))
    return;
  std::freopen("CONOUT$", "w", stdout);
  std::freopen("CONOUT$", "w", stderr);
}
