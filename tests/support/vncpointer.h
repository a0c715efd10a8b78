// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Clicks into a program that runs on Qt's VNC platform (QT_QPA_PLATFORM=vnc:port=N), as a
// VNC viewer would: the one way to press a button of another process without a display.

#include <cstdint>

class VncPointer {
public:
  // Connects to the server on localhost:port, waiting up to timeoutMs for it to listen.
  VncPointer(std::uint16_t port, int timeoutMs);
  ~VncPointer();
  VncPointer(const VncPointer &) = delete;
  VncPointer &operator=(const VncPointer &) = delete;

  bool isConnected() const { return fd_ >= 0; }
  // Presses and releases the left button at (x, y) of the screen.
  bool click(int x, int y);

  // A TCP port on localhost that nothing listens on right now.
  static std::uint16_t freePort();

private:
  bool handshake();
  bool pointer(int mask, int x, int y);

  int fd_ = -1;
};
