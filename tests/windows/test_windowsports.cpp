// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// COM port numbers on Windows: \\.\COMn, unless a port file port<n>.txt waits in the user's roaming
// application data (APPDATA, or the profile's AppData\Roaming without it).
#include "controller/links/portnames.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>

using namespace x10;

class TestWindowsPorts : public QObject {
  Q_OBJECT
  QTemporaryDir appData_;

private slots:
  void initTestCase() { QVERIFY(appData_.isValid()); }

  void comNIsTheDeviceUnlessAPortFileNamesIt_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("portFile");
    QTest::addColumn<QString>("expected"); // "{ports}" stands for the port file folder
    QTest::newRow("COM 1, no file") << 1 << false << "\\\\.\\COM1";
    QTest::newRow("COM 12, no file") << 12 << false << "\\\\.\\COM12";
    QTest::newRow("COM 2, a port file") << 2 << true << "{ports}\\port2.txt";
    QTest::newRow("COM 0 names no port") << 0 << false << "";
    QTest::newRow("COM -3 names no port") << -3 << false << "";
  }
  void comNIsTheDeviceUnlessAPortFileNamesIt() {
    QFETCH(int, n);
    QFETCH(bool, portFile);
    QFETCH(QString, expected);
    const QString appData = QDir::toNativeSeparators(appData_.path());
    qputenv("APPDATA", appData.toUtf8());
    const std::filesystem::path ports =
        std::filesystem::path(appData.toStdWString()) / "x10console" / "ports";
    std::filesystem::remove_all(ports);
    if (portFile) {
      std::filesystem::create_directories(ports);
      std::ofstream(ports / ("port" + std::to_string(n) + ".txt")) << "tcp://127.0.0.1:5000\n";
    }
    const auto resolved = resolveComPort(n);
    QCOMPARE(resolved.has_value(), !expected.isEmpty());
    if (resolved)
      QCOMPARE(QString::fromStdWString(resolved->wstring()),
               QString(expected).replace("{ports}", QString::fromStdWString(ports.wstring())));
  }

  void thePortFileFolder_data() {
    QTest::addColumn<QByteArray>("appData");
    QTest::addColumn<QString>("expected");
    QTest::newRow("APPDATA") << QByteArray("C:\\Users\\op\\AppData\\Roaming")
                             << "C:\\Users\\op\\AppData\\Roaming\\x10console\\ports";
    QTest::newRow("APPDATA empty: the profile's")
        << QByteArray() << "C:\\Users\\pat\\AppData\\Roaming\\x10console\\ports";
  }
  void thePortFileFolder() {
    QFETCH(QByteArray, appData);
    QFETCH(QString, expected);
    const QByteArray savedAppData = qgetenv("APPDATA");
    const QByteArray savedProfile = qgetenv("USERPROFILE");
    qputenv("APPDATA", appData);
    qputenv("USERPROFILE", "C:\\Users\\pat");
    const std::wstring folder = portLinkFolder().wstring();
    qputenv("APPDATA", savedAppData);
    qputenv("USERPROFILE", savedProfile);
    QCOMPARE(QString::fromStdWString(folder), expected);
  }
};

QTEST_APPLESS_MAIN(TestWindowsPorts)
#include "test_windowsports.moc"
