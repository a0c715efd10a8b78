// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Waits for something a real process or port brings about, running the event loop meanwhile.

#include <functional>

// True as soon as condition holds; false if it still does not after timeoutMs.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 5000);
