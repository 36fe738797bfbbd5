// Planning a record's move in bank "12-13" of the demo ROM while the free map
// holds 256 fragments in the bank's reach, none of which but the last takes the
// grown record: the edit, the search, the repointing and the question of who
// still reaches the old bytes, against the 16 ms timer tick ("of_tick").

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

#include "host/Application.h"
#include "rom/TarvelinRelocate.h"
#include "tools/DemoRom.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double TickSeconds = 0.016;

void BM_PlanMoveAmong256Fragments(benchmark::State& State) {
  const auto path = std::filesystem::temp_directory_path() / ("tarvelin-bench-" + std::to_string(::getpid()) + ".nes");
  {
    const auto rom = MakeDemoRom();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(rom.data()), static_cast<std::streamsize>(rom.size()));
  }
  auto prg = std::make_unique<TPrgData>();
  auto chr = std::make_unique<TChrData>();
  TRomDocument document(*prg, *chr);
  if (!document.Load(path.string())) State.SkipWithError("demo ROM not loaded");
  std::filesystem::remove(path);
  // 256 fragments of 8 bytes cut from what detection proposes, then one of 64.
  std::vector<TFileRange> fragments;
  for (const TFileRange& run : DetectFreeSpace(*prg, {}))
    for (int at = run.First; at + 16 <= run.End && fragments.size() < 256 && run.First < BankReach(0).End; at += 16)
      fragments.push_back({at, at + 8});
  const TFileRange last = fragments.back();
  fragments.back() = {last.First, last.First + 64};
  const TFreeMap free(fragments);
  const TPatternRef pattern{0, DemoRom::FourGroups.Number};
  int moved = 0;
  Clock::duration total{};
  for (auto _ : State) {
    const auto start = Clock::now();
    const TRomPlan plan = InsertSprite(document, free, pattern, 0, {0x2A, 0x00, 0xF8, 0xF8});
    total += Clock::now() - start;
    const TFileRange tables{BankReach(0).First, BankReach(0).First + 0x800};
    for (const TByteWrite& write : plan.Change.Writes) moved += tables.Contains(write.Offset);
    benchmark::DoNotOptimize(plan.Change.Writes.data());
  }
  State.counters["fragments"] = static_cast<double>(free.Ranges().size());
  State.counters["of_tick"] =
      std::chrono::duration<double>(total).count() / static_cast<double>(State.iterations()) / TickSeconds;
  if (moved == 0) State.SkipWithError("the record did not move");
}
BENCHMARK(BM_PlanMoveAmong256Fragments)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
