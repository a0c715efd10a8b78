// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// strtod in the C locale, whatever locale the program runs in (Qt sets the user's, whose
// decimal separator may be a comma): the platform's own locale-taking strtod
// (console/posix/cnumber.cpp, console/windows/cnumber.cpp).

// The number text starts with, as strtod reads it, its decimal separator a period; HUGE_VAL
// (infinity) for one too large.
double strtodInCLocale(const char *text);
