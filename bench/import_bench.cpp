// Pictures back into the ROM. A whole 4 KiB sprite tile window as a pattern
// table (four CHR banks, 16,384 pixels) mapped to tile bytes, from pixels
// already decoded and from the PNG, against a memcpy of the same 4 KiB; and the
// full ROM round trip's import half with tarvelin-import's steps (1,536
// patterns, a pattern table and a composed picture each, as tarvelin-export
// wrote them), against writing the same ROM's bytes to a file.

#include <benchmark/benchmark.h>

#include "bench/DemoRomFolder.h"
#include <unistd.h>

#include <QBuffer>
#include <QGuiApplication>
#include <cstring>
#include <filesystem>

#include "import/TarvelinImport.h"
#include "rom/TarvelinRomUsage.h"
#include "sprite/NesPalette.h"
#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinFiles.h"
#include "sprite/TarvelinPictureFiles.h"
#include "sprite/TarvelinPictureLook.h"
#include "sprite/TarvelinSpritePattern.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"
#include "tools/DemoRom.h"
#include "tools/export/RomExport.h"
#include "tools/import/ImportSteps.h"

namespace fs = std::filesystem;

namespace {

constexpr int WindowBytes = 4096;

struct TWindow {
  TSpritePattern Pattern;
  TImportImage Picture;
  std::vector<std::uint8_t> Png;
  TWindow() {
    const auto rom = MakeDemoRom();
    std::copy_n(rom.begin(), PrgData.size(), PrgData.begin());
    std::copy(rom.begin() + ChrDataFileOffset, rom.end(), ChrData.begin());
    // Pattern $005 draws from all four banks of its window ($04-$07).
    Pattern = LocateSpritePattern(PrgData, SpriteBanks[0], DemoRom::AllSprites.Number);
    const TDrawSprite drawer(ChrData, nullptr);
    auto table = CreatePageDIB(128, 128);
    for (int band = 0; band < 4; ++band)
      drawer.DrawCharacterBank(*table, static_cast<std::uint8_t>(Pattern.CHRBank() - Pattern.CHRLoadOffset + band),
                               static_cast<std::uint8_t>(32 * band), 0);
    const QImage image = PictureImage(*table);
    Png = EncodePng(image);
    Picture = ImportImageOf(image);
  }
};

TWindow& Window() {
  static TWindow window;
  return window;
}

TImportOptions WholeWindow() {
  TImportOptions options;
  options.WholeTileWindow = true;
  return options;
}

void ImportWindowPixels(benchmark::State& state) {
  const TImportOptions options = WholeWindow();
  for (auto _ : state) {
    const TImportResult result = ImportPatternTable(ChrData, Window().Pattern, Window().Picture, options);
    if (result.Refused() || !result.Change.Empty()) state.SkipWithError("the unchanged window changed");
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(state.iterations() * WindowBytes);
}
BENCHMARK(ImportWindowPixels)->Unit(benchmark::kMicrosecond);

void ImportWindowPng(benchmark::State& state) {
  const TImportOptions options = WholeWindow();
  for (auto _ : state) {
    std::string error;
    const TImportImage picture = DecodeImportImage(Window().Png, error);
    const TImportResult result = ImportPatternTable(ChrData, Window().Pattern, picture, options);
    if (!error.empty() || result.Refused() || !result.Change.Empty()) state.SkipWithError("the unchanged window changed");
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(state.iterations() * WindowBytes);
}
BENCHMARK(ImportWindowPng)->Unit(benchmark::kMicrosecond);

void MemcpyWindow(benchmark::State& state) {
  std::vector<std::uint8_t> target(WindowBytes);
  const std::uint8_t* source = ChrData.data() + 4 * 1024;
  for (auto _ : state) {
    std::memcpy(target.data(), source, WindowBytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * WindowBytes);
}
BENCHMARK(MemcpyWindow);

struct TRoundTripDir {
  TDemoRomFolder Folder{fs::temp_directory_path(), "tarvelin-import-bench"};
  fs::path Path = Folder.Path;
  std::vector<std::uint8_t> Rom = MakeDemoRom();
  TImportToolOptions Options;
  TRoundTripDir() {
    TExportOptions exported;
    exported.Rom = Folder.Rom.string();
    exported.OutDir = (Path / "out").string();
    exported.Palette = Folder.Palette.string();
    for (int n = 0; n < 512; ++n) exported.Sprites.push_back(n);
    if (RunExport(exported) != 0) return;
    Options.Rom = exported.Rom;
    Options.Out = (Path / "back.nes").string();
    Options.Palette = exported.Palette;
    Options.Quiet = true;
    for (int bank = 0; bank < 3; ++bank)
      for (int n = 0; n < 512; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "%03X.png", static_cast<unsigned>(n));
        const fs::path folder = fs::path(BankNames[bank]) / name;
        Options.Steps.push_back(PatternTableStep((Path / "out/patterntable" / folder).string(), {bank, n}, {}));
        Options.Steps.push_back(SpritePictureStep((Path / "out/sprite" / folder).string(), {bank, n}, {}));
      }
  }
};

TRoundTripDir& RoundTrip() {
  static TRoundTripDir dir;
  return dir;
}

void ImportWholeRom(benchmark::State& state) {
  if (RoundTrip().Options.Steps.empty()) state.SkipWithError("export failed");
  for (auto _ : state)
    if (RunImport(RoundTrip().Options) != 0) state.SkipWithError("import failed");
  state.counters["pictures"] = static_cast<double>(RoundTrip().Options.Steps.size());
}
BENCHMARK(ImportWholeRom)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void WriteSameRom(benchmark::State& state) {
  for (auto _ : state) WriteFileAtomically(RoundTrip().Path / "copy.nes", RoundTrip().Rom);
}
BENCHMARK(WriteSameRom)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
