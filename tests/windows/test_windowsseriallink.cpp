// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Opening a COM port on Windows: the reason given when there is no such port, and when another
// program holds it. A file opened without sharing stands in for the held port: Windows refuses
// a second handle to either the same way.
#include "controller/links/windows/seriallink.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(Link::OpenError)

class TestWindowsSerialLink : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;

  HANDLE holdUnshared(const QString &path) {
    return ::CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()),
                         GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  }

private slots:
  void openFailureSaysWhy_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("held");
    QTest::addColumn<Link::OpenError>("error");
    QTest::addColumn<QString>("text");
    QTest::newRow("no such port") << "\\\\.\\COM77" << false << Link::OpenError::NoSuchDevice
                                  << "no such port COM77 (\\\\.\\COM77)";
    QTest::newRow("held by another program") << "{dir}\\held-port" << true << Link::OpenError::InUse
                                             << "{dir}\\held-port is in use by another program: "
                                                "Windows opens a COM port for one program "
                                                "at a time; close the other program and try again";
  }
  void openFailureSaysWhy() {
    QFETCH(QString, path);
    QFETCH(bool, held);
    QFETCH(Link::OpenError, error);
    QFETCH(QString, text);
    const QString dir = QDir::toNativeSeparators(dir_.path());
    path.replace(QLatin1String("{dir}"), dir);
    text.replace(QLatin1String("{dir}"), dir);
    const HANDLE holder = held ? holdUnshared(path) : INVALID_HANDLE_VALUE;
    QVERIFY(!held || holder != INVALID_HANDLE_VALUE);

    SerialLink link;
    const Link::OpenResult opened = link.open(path);
    if (held)
      ::CloseHandle(holder);
    QVERIFY(!opened);
    QCOMPARE(opened.error().error, error);
    QCOMPARE(opened.error().text, text);
    QVERIFY(!link.isOpen());
  }
};

QTEST_GUILESS_MAIN(TestWindowsSerialLink)
#include "test_windowsseriallink.moc"
