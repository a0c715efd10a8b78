// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/support/ptypeer.h"

#include "simulator/shell/pseudoterminal.h"

#include <algorithm>
#include <poll.h>
#include <unistd.h>

PtyPeer::PtyPeer(std::vector<Step> script) : script_(std::move(script)) {
  // Opened as the simulator opens its own; the slave side stays open so its raw line settings
  // survive the driver opening and closing it.
  x10::sim::PtyPair pty = x10::sim::openRawPty();
  master_ = pty.master.release();
  slave_ = pty.slave.release();
  slavePath_ = QString::fromStdString(pty.slavePath);
  thread_ = std::thread([this] { serve(); });
}

PtyPeer::~PtyPeer() {
  stop_ = true;
  thread_.join();
  hangUp();
  if (slave_ >= 0)
    ::close(slave_);
}

void PtyPeer::inject(const Bytes &bytes) {
  std::lock_guard lock(mutex_);
  if (master_ >= 0)
    (void)!::write(master_, bytes.data(), bytes.size());
}

PtyPeer::Bytes PtyPeer::received() {
  std::lock_guard lock(mutex_);
  return received_;
}

void PtyPeer::hangUp() {
  if (master_ >= 0)
    ::close(master_);
  master_ = -1;
  if (slave_ >= 0)
    ::close(slave_);
  slave_ = -1;
}

void PtyPeer::serve() {
  while (!stop_) {
    pollfd p{master_, POLLIN, 0};
    if (master_ < 0 || ::poll(&p, 1, 10) <= 0 || !(p.revents & POLLIN))
      continue;
    std::uint8_t buffer[256];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0)
      continue;
    std::lock_guard lock(mutex_);
    received_.insert(received_.end(), buffer, buffer + n);
    pending_.insert(pending_.end(), buffer, buffer + n);
    answerSteps();
  }
}

void PtyPeer::answerSteps() {
  while (next_ < script_.size()) {
    const Step &step = script_[next_];
    if (pending_.size() < step.expect.size() ||
        !std::equal(step.expect.begin(), step.expect.end(), pending_.begin()))
      return;
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(step.expect.size()));
    ++next_;
    if (step.hangUp)
      return hangUp();
    (void)!::write(master_, step.reply.data(), step.reply.size());
  }
}
