// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// What Windows says about one of its error codes (GetLastError, WSAGetLastError), for messages.

#include <QString>

#include <windows.h>

QString windowsErrorText(DWORD error);
