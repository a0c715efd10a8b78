// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The numbers of a user whose decimal separator is a comma (German, French...), for tests of
// text that must read and write a period whatever the locale.

#include <QString>

// Switches the C library's LC_NUMERIC to a locale with a decimal comma and Qt's default locale
// to German. Returns what went wrong, or nothing.
QString useCommaDecimalLocale();

// The C library's part, one file per platform: on POSIX a locale compiled with localedef into a
// temporary folder (no installed locale needed), on Windows the system's German one. Returns
// what went wrong, or nothing.
QString setCommaNumericLocale();
