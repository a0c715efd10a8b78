// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Numbers taken from the window's fields by the numeric-field rule. A number that does not fit
// is reported under the field's accessible name, "Dim Value: 1e400 is too large; ...", so the
// operator knows which field to correct.

#include "console/numericfield.h"

#include <QtGlobal>

class QLineEdit;

double numberIn(const QLineEdit &field);
// Rounded as toWholeNumber() does; "Com Port: 40000 is out of range; enter a number from 1 to
// 32767." when it does not fit.
qint32 wholeNumberIn(const QLineEdit &field, WholeRange fits, WholeRange ofUse);
