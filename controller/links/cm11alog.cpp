// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/cm11alog.h"

Q_LOGGING_CATEGORY(lcCm11a, "x10.cm11a", QtInfoMsg)
