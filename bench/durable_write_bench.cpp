// What flushing costs: a 512 KiB ROM saved as the window saves it, and the whole
// demo ROM exported, each flushed to the disk (file, then folder) and not, timed
// in turn in every iteration so load on the machine hits both alike.
// "ratio": the flushed time over the unflushed one.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <filesystem>
#include <vector>

#include "bench/DemoRomFolder.h"
#include "sprite/TarvelinFiles.h"
#include "tools/DemoRom.h"
#include "tools/export/CommandLine.h"
#include "tools/export/RomExport.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The folder may be set with TARVELIN_BENCH_DIR, to measure a disk rather than a RAM-backed /tmp.
TDemoRomFolder& Dir() {
  const char* chosen = std::getenv("TARVELIN_BENCH_DIR");
  static TDemoRomFolder dir(chosen ? fs::path(chosen) : fs::temp_directory_path(), "tarvelin-durable-bench");
  return dir;
}

void Report(benchmark::State& state, Clock::duration Synced, Clock::duration Unsynced) {
  const auto ms = [&](Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count() / static_cast<double>(state.iterations());
  };
  state.counters["synced_ms"] = ms(Synced);
  state.counters["unsynced_ms"] = ms(Unsynced);
  state.counters["ratio"] = Unsynced.count() > 0 ? ms(Synced) / ms(Unsynced) : 0;
}

template <typename Work>
Clock::duration Timed(bool Synced, Work&& Body) {
  SetWritesSynced(Synced);
  const auto start = Clock::now();
  Body();
  const auto time = Clock::now() - start;
  SetWritesSynced(true);
  return time;
}

void SaveRom(benchmark::State& state) {
  const auto image = MakeDemoRom();
  const fs::path target = Dir().Path / "saved.nes";
  Clock::duration synced{}, unsynced{};
  for (auto _ : state) {
    synced += Timed(true, [&] { WriteFileAtomically(target, image); });
    unsynced += Timed(false, [&] { WriteFileAtomically(target, image); });
  }
  Report(state, synced, unsynced);
}
BENCHMARK(SaveRom)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

void ExportWholeRom(benchmark::State& state) {
  TExportOptions options;
  options.Rom = Dir().Rom.string();
  options.Palette = Dir().Palette.string();
  options.Workers = 2;
  Clock::duration synced{}, unsynced{};
  const auto run = [&](const char* Name) {
    options.OutDir = (Dir().Path / Name).string();
    fs::remove_all(options.OutDir);
    if (RunExport(options) != 0) state.SkipWithError("export failed");
  };
  for (auto _ : state) {
    synced += Timed(true, [&] { run("synced"); });
    unsynced += Timed(false, [&] { run("unsynced"); });
  }
  Report(state, synced, unsynced);
}
BENCHMARK(ExportWholeRom)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
