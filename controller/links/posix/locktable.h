// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The kernel's table of file locks (/proc/locks) read for the process holding a flock on one
// file: who holds a device when no lock file names its holder. A line reads
// "1: FLOCK  ADVISORY  WRITE 1234 00:05:87 0 EOF": the holder's PID, then the file as its file
// system's device (major:minor, hexadecimal) and its inode. A waiter's line ("1: -> FLOCK ...")
// holds nothing. Pure: the caller reads the file.

#include <cstdint>
#include <optional>
#include <string_view>

namespace x10 {

struct FileId {
  unsigned major = 0; // of the file system the file is on
  unsigned minor = 0;
  std::uint64_t inode = 0;
};

// The PID of the first process holding a flock on file; nothing when none does (or the table
// names none, as for a lock taken through an open file description, PID -1).
std::optional<int> flockHolder(std::string_view table, const FileId &file);

} // namespace x10
