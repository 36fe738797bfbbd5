// The whole ROM's records out as text and records.json back in (the import
// planned against the image it came from), each timed in turn with a plain copy
// of the image into a warm buffer in every iteration ("ratio_out", "ratio_in":
// their time over the copy's).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

#include "records/TarvelinRecords.h"
#include "tools/DemoRom.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration Time) {
  return std::chrono::duration<double>(Time).count();
}

std::vector<std::uint8_t> Image(bool Zeroed) {
  if (!Zeroed) return MakeDemoRom();
  // Every pointer zero: each bank's records all on one spot, over another bank's tables.
  std::vector<std::uint8_t> image(0x80010, 0);
  image[0] = 'N', image[1] = 'E', image[2] = 'S', image[3] = 0x1A;
  return image;
}

void BM_Records(benchmark::State& State, TRecordsFormat Format) {
  const auto image = Image(State.range(0) != 0);
  std::vector<std::uint8_t> copy(image.size());
  Clock::duration out{}, in{}, copying{};
  std::size_t bytes = 0, writes = 0;
  for (auto _ : State) {
    auto start = Clock::now();
    const std::string text = WriteRecords(image, Format);
    out += Clock::now() - start;
    if (Format == TRecordsFormat::Json) {
      start = Clock::now();
      writes += PlanRecordsImport(image, text).Writes.size();
      in += Clock::now() - start;
    }
    start = Clock::now();
    std::memcpy(copy.data(), image.data(), image.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
    copying += Clock::now() - start;
    bytes = text.size();
  }
  if (writes) State.SkipWithError("the round trip changed bytes");
  State.counters["text_bytes"] = static_cast<double>(bytes);
  State.counters["ratio_out"] = Seconds(out) / Seconds(copying);
  if (Format == TRecordsFormat::Json) State.counters["ratio_in"] = Seconds(in) / Seconds(copying);
}
BENCHMARK_CAPTURE(BM_Records, Json, TRecordsFormat::Json)
    ->ArgName("zeroed")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Records, Ca65, TRecordsFormat::Ca65)
    ->ArgName("zeroed")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Records, Asm6, TRecordsFormat::Asm6)
    ->ArgName("zeroed")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
