// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/support/commalocale.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <clocale>

QString setCommaNumericLocale() {
  static QTemporaryDir folder;
  if (!folder.isValid())
    return "no temporary folder: " + folder.errorString();
  QFile source(folder.filePath("comma.src"));
  if (!source.open(QIODevice::WriteOnly) ||
      source.write("LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\ngrouping 3;3\n"
                   "END LC_NUMERIC\n") < 0)
    return "cannot write " + source.fileName();
  source.close();
  // -c: the other categories are missing on purpose, which localedef only warns about.
  QProcess localedef;
  localedef.start("localedef", {"-c", "-i", source.fileName(), folder.filePath("comma")});
  if (!localedef.waitForFinished(30000))
    return "localedef did not run: " + localedef.errorString();
  qputenv("LOCPATH", QFile::encodeName(folder.path()));
  if (!std::setlocale(LC_NUMERIC, "comma"))
    return "localedef made no usable locale: " + QString::fromLocal8Bit(localedef.readAll());
  return {};
}
