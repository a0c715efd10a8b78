// SPDX-License-Identifier: MIT
#pragma once
// A fresh pseudo-terminal for a scripted interface: the peer plays the master side; the slave
// side is held open in raw mode so its line settings survive the driver opening and closing it.
// Opened as the simulator opens its own; throws std::system_error if it cannot be.

#include <QString>

struct RawPty {
  int master = -1;
  int slave = -1;
  QString slavePath;
};

RawPty openRawPty();
