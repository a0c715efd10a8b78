// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The kernel's lock table reader on arbitrary bytes, for the file 00:1a:3. Invariants: no
// exception; a holder found is a positive PID written in the input.

#include "controller/links/posix/locktable.h"
#include "fuzz/fuzzcheck.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view table(reinterpret_cast<const char *>(data), size);
  const auto holder = x10::flockHolder(table, {0, 0x1a, 3});
  if (!holder)
    return 0;
  require(*holder > 0, "a holder that is no PID");
  require(table.find(std::to_string(*holder)) != std::string_view::npos,
          "a holder the table does not name");
  return 0;
}
