// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A pseudo-terminal with a scripted interface on its master side, run on its own thread so a
// blocking member call can be answered. Each step waits for the bytes it expects, then writes
// its reply (or hangs up, as an unplugged adapter would).

#include <QString>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class PtyPeer {
public:
  using Bytes = std::vector<std::uint8_t>;
  struct Step {
    Bytes expect;
    Bytes reply;
    bool hangUp = false;
  };

  explicit PtyPeer(std::vector<Step> script);
  ~PtyPeer();

  QString slavePath() const { return slavePath_; }
  // Bytes written out of turn, as the interface's own poll.
  void inject(const Bytes &bytes);
  // Everything the driver wrote so far.
  Bytes received();
  void hangUp();

private:
  void serve();
  void answerSteps();

  std::atomic<int> master_{-1};
  int slave_ = -1; // kept open so the line settings survive between opens by the driver
  QString slavePath_;
  std::vector<Step> script_;
  std::size_t next_ = 0;
  Bytes pending_;
  Bytes received_;
  std::mutex mutex_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
