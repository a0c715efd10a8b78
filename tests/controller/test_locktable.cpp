// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The kernel's lock table read for the holder of a device's flock, on hand-written tables.
#include "controller/links/posix/locktable.h"

#include <QTest>

using x10::FileId;

class TestLockTable : public QObject {
  Q_OBJECT

private slots:
  // The device: file system 00:1a (26 decimal), inode 10 (in decimal, unlike the device numbers).
  void holderOfTheDevicesFlock_data() {
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<int>("holder"); // 0: none
    QTest::newRow("the only lock")
        << QByteArray("1: FLOCK  ADVISORY  WRITE 4242 00:1a:10 0 EOF\n") << 4242;
    QTest::newRow("among others") << QByteArray("1: POSIX  ADVISORY  WRITE 77 00:1a:10 0 EOF\n"
                                                "2: FLOCK  ADVISORY  WRITE 88 00:1a:30 0 EOF\n"
                                                "3: FLOCK  ADVISORY  WRITE 99 00:2a:10 0 EOF\n"
                                                "4: FLOCK  ADVISORY  WRITE 1234 00:1a:10 0 EOF\n")
                                  << 1234;
    QTest::newRow("a waiter holds nothing")
        << QByteArray("1: FLOCK  ADVISORY  WRITE 50 00:1a:10 0 EOF\n"
                      "1: -> FLOCK  ADVISORY  WRITE 60 00:1a:10 0 EOF\n")
        << 50;
    QTest::newRow("device numbers are hexadecimal")
        << QByteArray("1: FLOCK  ADVISORY  WRITE 5 00:26:10 0 EOF\n") << 0;
    QTest::newRow("a POSIX lock is not a flock")
        << QByteArray("1: POSIX  ADVISORY  WRITE 5 00:1a:10 0 EOF\n") << 0;
    QTest::newRow("no PID (an open file description's lock)")
        << QByteArray("1: FLOCK  ADVISORY  WRITE -1 00:1a:10 0 EOF\n") << 0;
    QTest::newRow("last line without its newline")
        << QByteArray("1: FLOCK  ADVISORY  WRITE 7 00:1a:10 0 EOF") << 7;
    QTest::newRow("cut short") << QByteArray("1: FLOCK  ADVISORY  WRITE 7 00:1a") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
  }
  void holderOfTheDevicesFlock() {
    QFETCH(QByteArray, table);
    QFETCH(int, holder);
    const auto found = x10::flockHolder(
        std::string_view(table.constData(), std::size_t(table.size())), FileId{0, 0x1a, 10});
    QCOMPARE(found.value_or(0), holder);
  }
};

QTEST_APPLESS_MAIN(TestLockTable)
#include "test_locktable.moc"
