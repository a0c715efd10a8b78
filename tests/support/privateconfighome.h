// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A private XDG_CONFIG_HOME for one test program, so the COM port links it and the simulator
// publish never touch the user's own ports folder.

#include <QTemporaryDir>

class PrivateConfigHome {
public:
  PrivateConfigHome() { qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit()); }
  bool isValid() const { return dir_.isValid(); }

private:
  QTemporaryDir dir_;
};
