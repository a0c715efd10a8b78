// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The shell's system-call loops against interrupted, partial and refused calls.
#include "simulator/shell/syscalls.h"

#include <QTest>

#include <cerrno>
#include <cstring>
#include <deque>

using namespace x10::sim;

namespace {

// Plays back scripted results: a positive number is how many bytes the call takes or gives,
// a negative one fails with that errno.
class ScriptedSys : public SysCalls {
public:
  std::deque<int> reads, writes, polls;
  QByteArray written;
  QByteArray source = "abcdef";

  ssize_t read(int, void *buffer, std::size_t size) override {
    return next(reads, buffer, size, true);
  }
  ssize_t write(int, const void *buffer, std::size_t size) override {
    return next(writes, const_cast<void *>(buffer), size, false);
  }
  int poll(pollfd *fds, nfds_t, int) override {
    const int result = polls.empty() ? 0 : polls.front();
    if (!polls.empty())
      polls.pop_front();
    if (result < 0) {
      errno = -result;
      return -1;
    }
    fds[0].revents = result > 0 ? POLLOUT : 0;
    return result;
  }

private:
  ssize_t next(std::deque<int> &results, void *buffer, std::size_t size, bool reading) {
    const int result = results.empty() ? 0 : results.front();
    if (!results.empty())
      results.pop_front();
    if (result < 0) {
      errno = -result;
      return -1;
    }
    const auto n = std::min<std::size_t>(static_cast<std::size_t>(result), size);
    if (reading)
      std::memcpy(buffer, source.constData(), n);
    else
      written.append(static_cast<const char *>(buffer), static_cast<qsizetype>(n));
    return static_cast<ssize_t>(n);
  }
};

const std::uint8_t kBytes[] = {1, 2, 3, 4, 5};

} // namespace

Q_DECLARE_METATYPE(ReadResult::Status)

class TestSysCalls : public QObject {
  Q_OBJECT

private slots:
  void readRetriesInterruptions() {
    ScriptedSys sys;
    sys.reads = {-EINTR, -EINTR, 3};
    std::uint8_t buffer[8];
    const ReadResult result = readSome(sys, 0, buffer);
    QCOMPARE(result.status, ReadResult::Status::Data);
    QCOMPARE(result.count, std::size_t(3));
  }

  void readTellsEmptyFromGone_data() {
    QTest::addColumn<int>("result");
    QTest::addColumn<ReadResult::Status>("status");
    QTest::newRow("nothing yet") << -EAGAIN << ReadResult::Status::WouldBlock;
    QTest::newRow("end of file") << 0 << ReadResult::Status::End;
    QTest::newRow("pty without slave") << -EIO << ReadResult::Status::End;
    QTest::newRow("bad descriptor") << -EBADF << ReadResult::Status::Failed;
  }

  void readTellsEmptyFromGone() {
    QFETCH(int, result);
    QFETCH(ReadResult::Status, status);
    ScriptedSys sys;
    sys.reads = {result};
    std::uint8_t buffer[8];
    QCOMPARE(readSome(sys, 0, buffer).status, status);
  }

  void writeCompletesPartialAndInterruptedWrites() {
    ScriptedSys sys;
    sys.writes = {2, -EINTR, 1, -EAGAIN, 2};
    sys.polls = {-EINTR, 1};
    QCOMPARE(writeAll(sys, 1, kBytes, 100), std::size_t(5));
    QCOMPARE(sys.written, QByteArray("\x01\x02\x03\x04\x05", 5));
  }

  void writeGivesUpWhenThePortStaysFull() {
    ScriptedSys sys;
    sys.writes = {2, -EAGAIN};
    sys.polls = {0};
    QCOMPARE(writeAll(sys, 1, kBytes, 100), std::size_t(2));
  }

  void writeStopsOnAnError() {
    ScriptedSys sys;
    sys.writes = {1, -EIO};
    QCOMPARE(writeAll(sys, 1, kBytes, 100), std::size_t(1));
  }
};

QTEST_APPLESS_MAIN(TestSysCalls)
#include "test_syscalls.moc"
