// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Text fitted for a message box or a tooltip. Such a box grows as wide as its longest unbroken
// run of characters (up to the whole screen, where it is clipped), and as tall as its text.
// A run longer than kLongestRun keeps its head and tail around an ellipsis, and a text longer
// than kLongestText its beginning and end: a 309-digit number or a pasted page then still
// leaves a box that fits, and says what it was about.

#include <QString>

inline constexpr qsizetype kLongestRun = 100;  // a long device path stays whole
inline constexpr qsizetype kLongestText = 800; // about ten lines of a message box

QString fittedMessage(const QString &text);
