// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The telnet codec and the refusal filter on arbitrary server bytes, fed whole and again cut
// in two at a place the first byte picks. Invariants: both feeds give the same data, replies
// and notes (a command may be split anywhere); data is never longer than the input; without
// 0xFF the input is all data; every reply is a telnet command (starts with IAC); the refusal
// filter passes a prefix-free stream unchanged.

#include "controller/netport/serverrefusal.h"
#include "controller/netport/telnetcodec.h"
#include "fuzz/fuzzcheck.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace {

struct Output {
  std::vector<std::uint8_t> data, replies;
  std::vector<std::string> notes;
  bool operator==(const Output &) const = default;
};

Output run(std::span<const std::uint8_t> input, std::size_t cut) {
  x10::TelnetCodec codec;
  codec.start();
  Output out;
  for (const auto part : {input.first(cut), input.subspan(cut)}) {
    codec.receive(part);
    const auto d = codec.takeData();
    const auto r = codec.takeReplies();
    const auto n = codec.takeNotes();
    out.data.insert(out.data.end(), d.begin(), d.end());
    out.replies.insert(out.replies.end(), r.begin(), r.end());
    out.notes.insert(out.notes.end(), n.begin(), n.end());
  }
  return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  const std::span<const std::uint8_t> input(data + 1, size - 1);
  const Output whole = run(input, 0);
  require(run(input, data[0] % (input.size() + 1)) == whole,
          "cutting the input in two changed what came out");
  require(whole.data.size() <= input.size(), "more data than input");
  if (std::find(input.begin(), input.end(), x10::TelnetCodec::IAC) == input.end())
    require(whole.data == std::vector<std::uint8_t>(input.begin(), input.end()),
            "bytes without IAC were not all data");
  require(whole.replies.empty() || whole.replies.front() == x10::TelnetCodec::IAC,
          "a reply that is not a telnet command");

  x10::ServerRefusal refusal;
  const auto passed = refusal.pass(input);
  if (!input.empty() && input.front() != 'P')
    require(passed == std::vector<std::uint8_t>(input.begin(), input.end()),
            "the refusal filter held back bytes that cannot be its text");
  return 0;
}
