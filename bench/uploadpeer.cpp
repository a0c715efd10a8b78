// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "bench/uploadpeer.h"

#include "simulator/shell/pseudoterminal.h"

#include <poll.h>
#include <unistd.h>

namespace {

// Battery timer unset, a clock time, house A monitored, A1 addressed and on.
const UploadPeer::Bytes statusReply{0xFF, 0xFF, 0x13, 0x40, 0x0A, 0x48, 0x82,
                                    0x61, 0x40, 0x00, 0x40, 0x00, 0x00, 0x00};
constexpr std::uint8_t statusRequest = 0x8B;
constexpr std::uint8_t interfacePoll = 0x5A;
constexpr std::uint8_t pollAnswer = 0xC3;

} // namespace

UploadPeer::UploadPeer(Bytes upload) : upload_(std::move(upload)) {
  // Opened as the simulator opens its own; the slave side stays open so its raw line settings
  // survive the driver opening and closing it.
  x10::sim::PtyPair pty = x10::sim::openRawPty();
  master_ = pty.master.release();
  slave_ = pty.slave.release();
  slavePath_ = QString::fromStdString(pty.slavePath);
  thread_ = std::thread([this] { serve(); });
}

UploadPeer::~UploadPeer() {
  stop_ = true;
  thread_.join();
  ::close(master_);
  ::close(slave_);
}

void UploadPeer::serve() {
  while (!stop_) {
    if (requested_.exchange(false)) {
      writeAll({interfacePoll});
      if (awaitByte(pollAnswer)) {
        // Noted before the last byte goes out: once it has, the driver may log the upload
        // before this thread runs again.
        writeAll(Bytes(upload_.begin(), upload_.end() - 1));
        lastByteWritten_ = std::chrono::steady_clock::now();
        writeAll({upload_.back()});
      }
    } else if (awaitByte(statusRequest)) {
      writeAll(statusReply);
    }
  }
}

// Reads for up to a millisecond at a time until `wanted` comes; false when a second passes
// without it or an upload is requested (other bytes are dropped).
bool UploadPeer::awaitByte(std::uint8_t wanted) {
  for (int waitedMs = 0; waitedMs < 1000 && !stop_; ++waitedMs) {
    pollfd readable{master_, POLLIN, 0};
    if (::poll(&readable, 1, 1) <= 0) {
      if (wanted != pollAnswer && requested_)
        return false;
      continue;
    }
    std::uint8_t byte = 0;
    if (::read(master_, &byte, 1) == 1 && byte == wanted)
      return true;
  }
  return false;
}

void UploadPeer::writeAll(const Bytes &bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n <= 0)
      return;
    done += static_cast<std::size_t>(n);
  }
}
