// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/windows/seriallink.h"

#include "controller/links/cm11alog.h"
#include "controller/links/windows/errortext.h"
#include "controller/links/windows/interruptiblewait.h"

#include <chrono>
#include <span>

namespace {

// How long a write may take before the device counts as gone (the port's own write time-out).
constexpr DWORD kWriteWaitMs = 1000;
// How much longer the wait for a write's completion goes on, should the driver not end it.
constexpr int kWriteMarginMs = 500;
// A read ends once bytes have come and the line has then been quiet this long (a byte takes
// 2.1 ms at 4800 baud), or once it holds a read pass.
constexpr DWORD kReadGapMs = 5;
constexpr QStringView kDevicePrefix = u"\\\\.\\";

// Errors a read or write meets when the adapter is unplugged or its driver gives up (under
// Wine, a port whose far end hung up: a broken pipe, then not ready).
QString lossText(DWORD error) {
  switch (error) {
  case ERROR_BROKEN_PIPE:
  case ERROR_NOT_READY:
  case ERROR_BAD_COMMAND:
  case ERROR_DEVICE_NOT_CONNECTED:
  case ERROR_DEVICE_REMOVED:
  case ERROR_GEN_FAILURE:
  case ERROR_OPERATION_ABORTED:
  case ERROR_ACCESS_DENIED:
    return QStringLiteral("the device went away: %1").arg(windowsErrorText(error));
  default:
    return windowsErrorText(error);
  }
}

Link::OpenResult failure(Link::OpenError error, QString text) {
  return x10::Unexpected(Link::OpenFailure{error, std::move(text)});
}

HANDLE manualResetEvent() { return ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }

} // namespace

SerialLink::SerialLink(QObject *parent) : Link(parent) {}

SerialLink::~SerialLink() { close(); }

QString SerialLink::description() const {
  return path_.startsWith(kDevicePrefix) ? path_.mid(kDevicePrefix.size()) : path_;
}

SerialLink::OpenResult SerialLink::open(const QString &path) {
  close();
  path_ = path;
  forgetLoss();
  // Share mode 0: no other handle to the port while this one is open.
  const HANDLE port =
      ::CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ | GENERIC_WRITE,
                    0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (port == INVALID_HANDLE_VALUE)
    return openFailure(::GetLastError());
  port_ = port;
  readEvent_ = manualResetEvent();
  writeEvent_ = manualResetEvent();
  if (!readEvent_ || !writeEvent_ || !configure()) {
    const DWORD error = ::GetLastError();
    close();
    return failure(
        OpenError::Other,
        QStringLiteral("cannot set up %1: %2").arg(description(), windowsErrorText(error)));
  }
  ::PurgeComm(port_, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
  sinceOpen_.start();
  startGuard();
  startRead();
  notifier_ = std::make_unique<QWinEventNotifier>(readEvent_);
  connect(notifier_.get(), &QWinEventNotifier::activated, this, &SerialLink::onReadEvent);
  qCInfo(lcCm11a).noquote() << "opened" << description();
  return {};
}

SerialLink::OpenResult SerialLink::openFailure(DWORD error) const {
  switch (error) {
  case ERROR_FILE_NOT_FOUND:
  case ERROR_PATH_NOT_FOUND:
    return failure(OpenError::NoSuchDevice,
                   QStringLiteral("no such port %1 (%2)").arg(description(), path_));
  case ERROR_ACCESS_DENIED:
  case ERROR_SHARING_VIOLATION:
    return failure(OpenError::InUse,
                   QStringLiteral("%1 is in use by another program: Windows opens a COM port for "
                                  "one program at a time; close the other program and try again")
                       .arg(description()));
  default:
    return failure(
        OpenError::Other,
        QStringLiteral("cannot open %1: %2").arg(description(), windowsErrorText(error)));
  }
}

// 4800 baud, 8 data bits, no parity, 1 stop bit, no flow control, DTR and RTS on (the
// interface draws no power from them, but some adapters want them). A port that refuses the
// line settings (a virtual one) still carries bytes, so that is only logged; the time-outs
// the reads rely on must hold.
bool SerialLink::configure() {
  ::SetupComm(port_, 4096, 4096);
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  bool set = ::GetCommState(port_, &dcb);
  if (set) {
    dcb.BaudRate = CBR_4800;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    set = ::SetCommState(port_, &dcb);
  }
  if (!set)
    qCDebug(lcCm11a).noquote() << "port settings not all accepted on" << description() << ":"
                               << windowsErrorText(::GetLastError());
  // A read waits for its first byte without a limit, then ends after a gap of kReadGapMs; a
  // write gives up after kWriteWaitMs. (The usual "return at the first byte" setting,
  // ReadIntervalTimeout and ReadTotalTimeoutMultiplier MAXDWORD, never ends an overlapped read
  // under Wine 8, where the console is tested.)
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = kReadGapMs;
  timeouts.WriteTotalTimeoutConstant = kWriteWaitMs;
  return ::SetCommTimeouts(port_, &timeouts);
}

// Cancels the outstanding read and waits for the cancel, so no read lands in a buffer that
// goes, then closes the handle: the port is free for another program once this returns.
void SerialLink::close() {
  notifier_.reset();
  if (isOpen()) {
    if (reading_)
      cancel(read_);
    ::CloseHandle(std::exchange(port_, INVALID_HANDLE_VALUE));
  }
  reading_ = false;
  received_ = 0;
  for (HANDLE *event : {&readEvent_, &writeEvent_})
    if (*event)
      ::CloseHandle(std::exchange(*event, nullptr));
}

// A driver completes a cancelled request at once; the wait for it is not bounded further.
void SerialLink::cancel(OVERLAPPED &io) {
  ::CancelIoEx(port_, &io);
  DWORD ignored = 0;
  ::GetOverlappedResult(port_, &io, &ignored, TRUE);
}

void SerialLink::write(const std::vector<std::uint8_t> &bytes) {
  if (bytes.empty() || !isOpen() || isLost())
    return;
  logTraffic(sinceOpen_, "->", bytes);
  OVERLAPPED io{};
  io.hEvent = writeEvent_;
  const DWORD size = static_cast<DWORD>(bytes.size());
  if (!::WriteFile(port_, bytes.data(), size, nullptr, &io) && ::GetLastError() != ERROR_IO_PENDING)
    return markLost(lossText(::GetLastError()));
  const x10::WaitEnd end = x10::waitUnlessInterrupted(writeEvent_, kWriteWaitMs + kWriteMarginMs);
  if (end != x10::WaitEnd::Ready) {
    cancel(io);
    if (end != x10::WaitEnd::Interrupted) // interrupted: the call ends as on a time-out
      markLost(QStringLiteral("the device takes no more bytes"));
    return;
  }
  DWORD written = 0;
  if (!::GetOverlappedResult(port_, &io, &written, FALSE))
    markLost(lossText(::GetLastError()));
  else if (written < size)
    markLost(QStringLiteral("the device takes no more bytes"));
}

// Starts the one outstanding read: it ends once bytes have come (see configure).
void SerialLink::startRead() {
  received_ = 0;
  read_ = OVERLAPPED{};
  read_.hEvent = readEvent_;
  reading_ =
      ::ReadFile(port_, buffer_.data(), static_cast<DWORD>(buffer_.size()), nullptr, &read_) ||
      ::GetLastError() == ERROR_IO_PENDING;
  if (!reading_)
    markLost(lossText(::GetLastError()));
}

// Takes the outstanding read's result when it has ended, without waiting.
void SerialLink::collectRead() {
  if (!reading_)
    return;
  DWORD n = 0;
  if (!::GetOverlappedResult(port_, &read_, &n, FALSE)) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_IO_INCOMPLETE)
      return;
    reading_ = false;
    return markLost(lossText(error));
  }
  reading_ = false;
  if (n == 0) // ended without a byte (the port's buffer purged): nothing to hand on
    return startRead();
  received_ = n;
}

// One pass: the bytes of one completed read, at most kReadPass; the next read starts at once.
std::vector<std::uint8_t> SerialLink::readAvailable() {
  if (!isOpen() || isLost())
    return {};
  collectRead();
  if (received_ == 0)
    return {};
  const std::vector<std::uint8_t> raw(buffer_.begin(), buffer_.begin() + received_);
  startRead();
  std::vector<std::uint8_t> bytes = screen(raw);
  if (!bytes.empty())
    logTraffic(sinceOpen_, "<-", bytes);
  return bytes;
}

bool SerialLink::waitForBytes(int ms) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    if (!isOpen() || isLost())
      return false;
    collectRead();
    if (received_ > 0) {
      emit bytesArrived();
      return true;
    }
    if (!reading_)
      return false;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    const int wait = ms < 0 ? -1 : static_cast<int>(std::max<long long>(left.count(), 0));
    if (x10::waitUnlessInterrupted(readEvent_, wait) != x10::WaitEnd::Ready)
      return false;
  }
}

void SerialLink::onReadEvent() {
  collectRead();
  if (received_ > 0)
    emit bytesArrived();
}

void SerialLink::stopWatching() {
  if (notifier_)
    notifier_->setEnabled(false);
}

void SerialLink::markLost(const QString &why) { reportDeviceLost(description(), why); }
