// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/portnames.h"

#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <filesystem>

using namespace x10;

class TestPortNames : public QObject {
  Q_OBJECT
  QTemporaryDir config_;

private slots:
  void initTestCase() {
    QVERIFY(config_.isValid());
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
  }

  void withoutLinkComNIsTheBuiltInPort() {
    QCOMPARE(resolveComPort(1)->string(), "/dev/ttyS0");
    QCOMPARE(resolveComPort(4)->string(), "/dev/ttyS3");
  }

  void numbersBelowOneNameNoPort() {
    QVERIFY(!resolveComPort(0));
    QVERIFY(!resolveComPort(-3));
  }

  void aLinkWinsEvenWhenItsTargetIsGone() {
    const auto folder =
        std::filesystem::path(config_.path().toStdString()) / "x10console" / "ports";
    std::filesystem::create_directories(folder);
    std::filesystem::create_symlink("/dev/ttyUSB7", folder / "com2");
    QCOMPARE(resolveComPort(2)->string(), (folder / "com2").string());
    QCOMPARE(resolveComPort(3)->string(), "/dev/ttyS2");
  }

  // An empty XDG_CONFIG_HOME counts as unset, as the base directory convention says.
  void homeIsUsedWithoutXdgConfigHome_data() {
    QTest::addColumn<bool>("setEmpty");
    QTest::newRow("unset") << false;
    QTest::newRow("empty") << true;
  }
  void homeIsUsedWithoutXdgConfigHome() {
    QFETCH(bool, setEmpty);
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    if (setEmpty)
      qputenv("XDG_CONFIG_HOME", "");
    else
      qunsetenv("XDG_CONFIG_HOME");
    qputenv("HOME", "/home/operator");
    const std::string path = comPortLinkPath(5).string();
    qputenv("XDG_CONFIG_HOME", saved);
    QCOMPARE(path, "/home/operator/.config/x10console/ports/com5");
  }
};

QTEST_APPLESS_MAIN(TestPortNames)
#include "test_portnames.moc"
