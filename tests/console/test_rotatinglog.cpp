// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The Windows console's log file kept within its bound: what the file and the one before it
// (.old) hold after lines of known lengths, including a log found half full at the start.
#include "console/rotatinglog.h"

#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string contents(const std::filesystem::path &file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

} // namespace

class TestRotatingLog : public QObject {
  Q_OBJECT

private slots:
  void keepsWithinItsBound_data() {
    QTest::addColumn<QString>("before"); // what the log holds when the program starts
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("old"); // "-": no .old file
    // A bound of 10 bytes: each line takes its length and a newline.
    QTest::newRow("under the bound") << "" << QStringList{"abc", "defg"} << "abc\ndefg\n"
                                     << "-";
    QTest::newRow("exactly at the bound") << "" << QStringList{"abcd", "efgh"} << "abcd\nefgh\n"
                                          << "-";
    QTest::newRow("one past it starts anew") << "" << QStringList{"abcd", "efgh", "i"} << "i\n"
                                             << "abcd\nefgh\n";
    QTest::newRow("twice: only the one before is kept")
        << "" << QStringList{"abcdefgh", "ijklmnop", "q"} << "q\n"
        << "ijklmnop\n";
    QTest::newRow("a line longer than the bound still goes in")
        << "" << QStringList{"abcdefghijklmno"} << "abcdefghijklmno\n"
        << "-";
    QTest::newRow("a log found half full counts") << "12345\n"
                                                  << QStringList{"abcd"} << "abcd\n"
                                                  << "12345\n";
  }
  void keepsWithinItsBound() {
    QFETCH(QString, before);
    QFETCH(QStringList, lines);
    QFETCH(QString, current);
    QFETCH(QString, old);
    QTemporaryDir dir;
    const std::filesystem::path file =
        std::filesystem::path(dir.path().toStdString()) / "logs" / "x10console.log";
    if (!before.isEmpty()) {
      std::filesystem::create_directories(file.parent_path());
      std::ofstream(file, std::ios::binary) << before.toStdString();
    }
    {
      RotatingLog log(file, 10);
      for (const QString &line : lines)
        log.append(line.toStdString());
      QCOMPARE(contents(file), current.toStdString()); // flushed line by line
    }
    std::filesystem::path oldFile = file;
    oldFile += ".old";
    QCOMPARE(std::filesystem::exists(oldFile), old != "-");
    if (old != "-")
      QCOMPARE(contents(oldFile), old.toStdString());
  }
};

QTEST_APPLESS_MAIN(TestRotatingLog)
#include "test_rotatinglog.moc"
