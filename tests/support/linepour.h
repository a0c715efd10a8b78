// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A line that pours bytes (zeros, or random ones with no zero among them) as fast as it takes
// them, from a thread, until destroyed: the master side of a pseudo-terminal, or a local TCP
// port that pours into its first connection. Given an answer, it first waits for a status
// request (0x8B), answers it, and pauses 300 ms, so an Init succeeds before the flood.

#include <QString>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

// A listening TCP socket on 127.0.0.1 at a port the system chose, written to port; -1 if none.
int listenOnLoopback(int &port);

class LinePour {
public:
  enum class What { Zeros, Random };
  enum class Line { Pty, Network };
  LinePour(What what, Line line, std::vector<std::uint8_t> answer);
  ~LinePour();
  LinePour(const LinePour &) = delete;
  LinePour &operator=(const LinePour &) = delete;

  // The pseudo-terminal's device, or the port's tcp:// address.
  QString address() const { return address_; }

private:
  bool ready(int fd, short events) const;
  void run(What what);

  std::vector<std::uint8_t> answer_;
  int listener_ = -1;
  int line_ = -1;
  int slave_ = -1; // kept open, as PtyPeer does, so the line settings stay raw
  QString address_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
