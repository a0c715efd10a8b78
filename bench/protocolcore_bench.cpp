// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Protocol core throughput: bytes through x10::Cm11aCore per second of CPU, with no port and
// no timer, for the two exchanges that carry traffic: a poll with its upload, and a SendWait of
// "A1 On" answered by a scripted interface. Bytes counted are those on the wire, both ways.
// The notes for the transaction log are taken each round, as the driver does: left, they
// would pile up and the figure would measure a growing vector.

#include "controller/protocol/cm11acore.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace x10;

Instant fixedInstant() { return {SteadyTime{}, WallClock{328, 1, 21, 4, 19}}; }

// Interface to PC: 5A; PC answers C3; then size 3, mask 02, A1 address, A On.
void BM_PollAndUpload(benchmark::State &state) {
  Cm11aCore core;
  const Instant now = fixedInstant();
  const Bytes poll{0x5A};
  const Bytes upload{0x03, 0x02, 0x66, 0x62};
  for (auto _ : state) {
    core.receive(poll, now);
    benchmark::DoNotOptimize(core.takeOutput());
    core.receive(upload, now);
    auto received = core.takeReceived(); // "A1", then "A1 On"
    if (received.size() != 2)
      throw std::runtime_error("upload not decoded");
    benchmark::DoNotOptimize(received);
    benchmark::DoNotOptimize(core.takeNotes());
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(poll.size() + 1 + upload.size()));
}

// PC: 04 66, interface 6A, PC 00, interface 55; then 06 62, 68, 00, 55.
void BM_SendA1On(benchmark::State &state) {
  Cm11aCore core;
  const Instant now = fixedInstant();
  const std::vector<Transmission> a1On{
      Transmission::address(*HouseCode::fromLetter('A'), *UnitCode::fromNumber(1)),
      Transmission::function(*HouseCode::fromLetter('A'), Function::On)};
  const Bytes replies[] = {{0x6A}, {0x55}, {0x68}, {0x55}};
  std::int64_t wireBytes = 0;
  for (auto _ : state) {
    core.startSend(a1On, Completion::Done, now);
    for (const Bytes &reply : replies) {
      wireBytes += static_cast<std::int64_t>(core.takeOutput().size() + reply.size());
      core.receive(reply, now);
    }
    const auto result = core.takeResult();
    if (!result || !result->has_value())
      throw std::runtime_error("send did not complete");
    benchmark::DoNotOptimize(core.takeNotes());
  }
  state.SetBytesProcessed(wireBytes);
}

BENCHMARK(BM_PollAndUpload);
BENCHMARK(BM_SendA1On);

} // namespace

BENCHMARK_MAIN();
