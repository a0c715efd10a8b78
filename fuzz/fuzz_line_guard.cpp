// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The line guard on a script of read passes: each step waits a two-byte number of ms, then
// passes n bytes (a third byte: the count, and the fourth's low bit: zeros, or the input's
// next bytes). Invariants: a pass keeps a prefix of its bytes; no more is kept in all than 64
// at once, then four times a CM11A's 480 a second; a line judged not an interface keeps nothing
// more and says why, a plausible one says nothing; a report says what was ignored.

#include "controller/protocol/lineguard.h"
#include "fuzz/fuzzcheck.h"
#include "fuzz/script.h"

#include <algorithm>
#include <chrono>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  using namespace std::chrono;
  Script script(data, size);
  x10::LineGuard guard;
  const x10::LineGuard::Time opened{};
  guard.start(opened);
  milliseconds elapsed{0};
  long long kept = 0;
  while (!script.done()) {
    elapsed += milliseconds(script.word(65535));
    const auto n = static_cast<std::size_t>(script.byte());
    const bool zeros = script.byte() & 1;
    const auto pass = zeros ? std::vector<std::uint8_t>(n, 0) : script.bytes(n);
    const bool judged = guard.verdict() != x10::LineGuard::Verdict::Plausible;
    const auto taken = guard.take(pass, opened + elapsed);
    require(taken.size() <= pass.size() && std::equal(taken.begin(), taken.end(), pass.begin()),
            "a pass kept bytes that are not a prefix of what it got");
    require(!judged || taken.empty(), "bytes kept from a line already judged");
    kept += static_cast<long long>(taken.size());
    const double allowed = x10::LineGuard::kFirstBurst +
                           duration<double>(elapsed).count() * x10::LineGuard::kTakenPerSecond;
    require(static_cast<double>(kept) <= allowed + 1e-6, "more kept than a CM11A can send");
    const bool plausible = guard.verdict() == x10::LineGuard::Verdict::Plausible;
    require(plausible == guard.verdictText().empty(),
            "a verdict without its reason, or the reverse");
    if (const auto report = guard.takeReport())
      require(report->rfind("ignored ", 0) == 0, "a report that does not say what was ignored");
  }
  return 0;
}
