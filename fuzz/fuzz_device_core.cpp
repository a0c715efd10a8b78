// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The simulated interface against a PC that sends anything at any time, while remote traffic
// arrives on the power line and faults are injected. Invariants:
// - no exception escapes;
// - output stays bounded: a PC byte brings at most a status reply and a poll, a step of time
//   at most a few bytes per second of it (polls, "ready");
// - an upload (the answer to 0xC3) has a size byte of 1..9, so at most 8 data bytes were held,
//   is as long as its size byte says (shorter only under the truncate-upload fault), and its
//   mask marks no byte beyond the data;
// - after advance(now) nothing internal is left due at or before now.

#include "fuzz/fuzzcheck.h"
#include "fuzz/script.h"
#include "simulator/core/cm11adevice.h"

namespace {

using namespace std::chrono_literals;
using namespace x10::sim;

constexpr std::uint8_t kPollAnswer = 0xC3;
constexpr std::size_t kStatusReplySize = 14;
constexpr std::uint8_t kMaxUploadSize = 9;

class Harness {
public:
  explicit Harness(Script &in)
      : in_(in), timing_(timing(in)), device_(timing_, PowerLine::withDemoModules(), now_) {}

  void run() {
    while (!in_.done())
      act();
  }

private:
  static Timing timing(Script &in) {
    switch (in.upTo(2)) {
    case 0:
      return Timing::fast();
    case 1:
      return Timing::realistic(50);
    default:
      return Timing::realistic(60);
    }
  }

  void act() {
    switch (in_.upTo(5)) {
    case 0: {
      const auto bytes = in_.bytes(1 + in_.upTo(23));
      device_.advance(now_); // what falls due now is not the bytes' doing
      drain();
      const Heard heard = hear(bytes);
      // A poll may fall due while they cross: at most one, as they take well under a second.
      require(heard.meanwhile.size() + heard.atLast.size() <=
                  1 + bytes.size() * (kStatusReplySize + 1),
              "too much output for the PC's bytes");
      break;
    }
    case 1:
      answerPoll();
      break;
    case 2: {
      std::vector<Frame> frames;
      for (int n = 1 + in_.upTo(3); n > 0; --n)
        frames.push_back(frame());
      device_.inject(frames, now_);
      require(drain().size() <= 8 + 4 * frames.size(), "too much output for remote traffic");
      break;
    }
    case 3:
      pass();
      break;
    case 4:
      fault();
      break;
    case 5:
      if (const auto due = device_.nextDeadline(); due && *due > now_ && *due - now_ < 10s) {
        now_ = *due;
        device_.advance(now_);
        drain();
      }
      break;
    }
    device_.takeReports();
  }

  // 0xC3 alone: an upload if the interface was polling, else at most a checksum or a poll.
  void answerPoll() {
    device_.advance(now_);
    drain();
    const std::uint8_t c3 = kPollAnswer;
    const std::vector<std::uint8_t> out = hear({&c3, 1}).atLast;
    if (out.size() < 2)
      return;
    const std::uint8_t size = out[0];
    require(size >= 1 && size <= kMaxUploadSize, "upload size byte outside 1..9");
    require(out.size() == size + 1u || (truncateArmed_ && out.size() < size + 1u),
            "upload length differs from its size byte");
    require((out[1] >> (size - 1)) == 0, "upload mask marks a byte beyond the data");
    truncateArmed_ = false;
  }

  void pass() {
    const auto step = std::chrono::milliseconds(in_.word(5000));
    now_ += step;
    device_.advance(now_);
    const auto seconds = static_cast<std::size_t>(step / 1s);
    require(drain().size() <= 8 + 4 * seconds, "too much output for the time passed");
    const auto due = device_.nextDeadline();
    require(!due || *due > now_, "something due at or before now survived advance()");
  }

  void fault() {
    switch (in_.upTo(7)) {
    case 0:
      device_.powerFail(now_);
      break;
    case 1:
      device_.silence(in_.upTo(1)
                          ? std::optional<Duration>(std::chrono::milliseconds(in_.word(10000)))
                          : std::nullopt,
                      now_);
      break;
    case 2:
      device_.clearFaults(now_);
      truncateArmed_ = false;
      break;
    case 3:
      device_.sendGarbage(in_.bytes(1 + in_.upTo(7)), now_);
      break;
    case 4:
      device_.faults().wrongChecksums = in_.upTo(5);
      break;
    case 5:
      device_.faults().checksumIs5A = true;
      break;
    case 6:
      device_.faults().collide = {frame()};
      break;
    case 7:
      device_.faults().truncateUpload = static_cast<std::size_t>(in_.upTo(12));
      truncateArmed_ = true;
      break;
    }
    drain();
  }

  // Kind, house and unit or function nibble, then dim steps (function) or data and command
  // (extended).
  Frame frame() {
    const int kind = in_.upTo(2);
    const auto house = static_cast<std::uint8_t>(in_.byte() & 0xF);
    const auto key = static_cast<std::uint8_t>(in_.byte() & 0xF);
    if (kind == 0)
      return Frame::makeAddress(house, key);
    if (kind == 1)
      return Frame::makeFunction(house, x10::functionFromCode(key),
                                 static_cast<std::uint8_t>(in_.upTo(Frame::kFullDimSteps)));
    const std::uint8_t data = in_.byte();
    return Frame::makeExtended(house, key, data, in_.byte());
  }

  // What the device sends while the PC's bytes cross the line (each takes its byte time), and
  // what it sends once the last is in. Only the second is the last byte's doing.
  struct Heard {
    std::vector<std::uint8_t> meanwhile;
    std::vector<std::uint8_t> atLast;
  };
  Heard hear(std::span<const std::uint8_t> bytes) {
    device_.receive(bytes, now_);
    const TimePoint last = now_ + timing_.byteTime() * static_cast<int>(bytes.size());
    Heard heard;
    if (last > now_) {
      device_.advance(last - Duration{1});
      heard.meanwhile = drain();
    }
    now_ = last;
    device_.advance(now_);
    heard.atLast = drain();
    return heard;
  }

  // Everything the device has queued for the PC, due or not.
  std::vector<std::uint8_t> drain() { return device_.takeOutput(TimePoint::max()); }

  Script &in_;
  Timing timing_;
  TimePoint now_ = TimePoint{} + 1h;
  Cm11aDevice device_;
  bool truncateArmed_ = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  Script in(data, size);
  Harness(in).run();
  return 0;
}
