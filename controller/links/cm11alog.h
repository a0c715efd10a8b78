// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The driver's logging category "x10.cm11a": decoded transactions at info, every byte with its
// direction and time at debug. Switch on with QT_LOGGING_RULES="x10.cm11a.debug=true".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCm11a)
