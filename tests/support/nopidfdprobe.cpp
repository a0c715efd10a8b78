// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Preloaded into every test program of a cross build, which ctest runs under qemu-user.
//
// Debian 12's qemu-user (7.2) refuses clone(CLONE_PIDFD) with EINVAL (support came in 8.0) but
// passes waitid(P_PIDFD) through to the kernel. Qt 6's QProcess decides between
// clone(CLONE_PIDFD) and a plain fork() by probing waitid(P_PIDFD) on a closed descriptor
// (EBADF: pidfds work) through the raw syscall() function, and offers no run-time switch (only
// a Qt built without its forkfd_pidfd feature always forks). So under the emulator every
// QProcess::start would fail with "Resource error (fork failure): Invalid argument". Answering
// that probe as a kernel without pidfds does (EINVAL) makes Qt fork and watch SIGCHLD instead,
// which the emulator supports. The programs themselves are unchanged: this is never built into
// them, and on real hardware nothing is preloaded.

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <dlfcn.h>
#include <sys/syscall.h>
#include <sys/wait.h>

namespace {

using SyscallFunction = long (*)(long, ...);

// Programs a test starts (through the emulator, or setpriv on the build machine) do without:
// a library of the target's architecture cannot be loaded into a build-machine program.
[[gnu::constructor]] void notForChildren() { ::unsetenv("LD_PRELOAD"); }

} // namespace

extern "C" long syscall(long number, ...) noexcept {
  // The six argument words as the caller passed them, to hand on unchanged.
  long word[6];
  va_list arguments;
  va_start(arguments, number);
  for (long &w : word)
    w = va_arg(arguments, long);
  va_end(arguments);
  if (number == SYS_waitid && word[0] == P_PIDFD) {
    errno = EINVAL;
    return -1;
  }
  static const auto next = reinterpret_cast<SyscallFunction>(::dlsym(RTLD_NEXT, "syscall"));
  return next(number, word[0], word[1], word[2], word[3], word[4], word[5]);
}
