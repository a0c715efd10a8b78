// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The console's error report: the one place where an error escaping a handler ends up.

#include <functional>

class QWidget;

// Runs a handler. Whatever it throws (a std::exception or anything else) is caught here and
// shown in a critical message box with the error's own text and the application's title; the
// handler's remaining steps stay undone and the program carries on. Nothing propagates, so no
// exception ever unwinds through the toolkit's frames.
void runWithErrorReport(QWidget *parent, const std::function<void()> &handler) noexcept;
