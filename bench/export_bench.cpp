// The whole demo ROM exported (1,536 patterns as two PNGs each, 768 animations as
// GIF and listing) by one worker process and by two, against writing the same
// files' bytes afresh: the file-system floor that no renderer speed can beat.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "host/Application.h"
#include "host/Exception.h"
#include "bench/DemoRomFolder.h"
#include "tools/export/CommandLine.h"
#include "tools/export/RomExport.h"

namespace fs = std::filesystem;

namespace {

TDemoRomFolder& Dir() {
  static TDemoRomFolder dir(fs::temp_directory_path(), "tarvelin-export-bench");
  return dir;
}

void ExportWholeRom(benchmark::State& state) {
  TExportOptions options;
  options.Rom = Dir().Rom.string();
  options.Palette = Dir().Palette.string();
  options.Workers = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    options.OutDir = (Dir().Path / "out").string();
    fs::remove_all(options.OutDir);
    state.ResumeTiming();
    if (RunExport(options) != 0) state.SkipWithError("export failed");
  }
  state.counters["files"] = static_cast<double>(std::distance(fs::recursive_directory_iterator(Dir().Path / "out"),
                                                              fs::recursive_directory_iterator()));
}
BENCHMARK(ExportWholeRom)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Runs after the exports: writes the bytes of every file they made into a fresh tree.
void WriteSameFiles(benchmark::State& state) {
  const fs::path source = Dir().Path / "out";
  std::vector<std::pair<fs::path, std::vector<std::uint8_t>>> files;
  for (const auto& entry : fs::recursive_directory_iterator(source)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    files.emplace_back(entry.path().lexically_relative(source),
                       std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}));
  }
  if (files.empty()) state.SkipWithError("no export to copy");
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path target = Dir().Path / "copy";
    fs::remove_all(target);
    state.ResumeTiming();
    for (const auto& [relative, bytes] : files) {
      fs::create_directories((target / relative).parent_path());
      WriteNewFile(target / relative, bytes);
    }
  }
}
BENCHMARK(WriteSameFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
