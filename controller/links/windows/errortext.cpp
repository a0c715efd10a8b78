// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/windows/errortext.h"

QString windowsErrorText(DWORD error) {
  wchar_t *text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
  QString said = QString::fromWCharArray(text, int(length)).trimmed();
  ::LocalFree(text);
  if (said.endsWith('.'))
    said.chop(1);
  return said.isEmpty() ? QStringLiteral("error %1").arg(error) : said;
}
