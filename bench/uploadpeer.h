// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The interface's side of a pseudo-terminal for the latency benchmark: answers the driver's
// status probe, and on request polls (0x5A), waits for the driver's 0xC3 and writes an upload,
// noting the steady-clock time just before it writes the last byte. Runs on its own thread so
// the driver's thread only ever sees bytes arriving, as from a device.

#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

class UploadPeer {
public:
  using Bytes = std::vector<std::uint8_t>;

  explicit UploadPeer(Bytes upload);
  ~UploadPeer();
  UploadPeer(const UploadPeer &) = delete;
  UploadPeer &operator=(const UploadPeer &) = delete;

  QString slavePath() const { return slavePath_; }
  // Starts one poll and upload; lastByteWritten() changes just before its last byte is written.
  void requestUpload() { requested_ = true; }
  std::chrono::steady_clock::time_point lastByteWritten() const { return lastByteWritten_.load(); }

private:
  void serve();
  bool awaitByte(std::uint8_t wanted);
  void writeAll(const Bytes &bytes);

  int master_ = -1;
  int slave_ = -1; // held open so the line settings survive the driver's open and close
  QString slavePath_;
  Bytes upload_;
  std::atomic<bool> requested_{false};
  std::atomic<bool> stop_{false};
  std::atomic<std::chrono::steady_clock::time_point> lastByteWritten_{};
  std::thread thread_;
};
