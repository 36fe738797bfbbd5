// ROM edits in the real window, offscreen: one edit as an undo command plus the
// refresh of the page that shows it, against the 16 ms timer tick ("of_tick":
// the share of one tick it takes); and patch creation for the whole image, timed
// in turn with a plain copy of the image into a warm buffer in every iteration
// ("ratio": the patch's time over the copy's).

#include "bench/ViewerBenchSupport.h"

#include <QApplication>
#include <QUndoStack>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>

#include "app/edit/TarvelinRomCommands.h"
#include "app/window/TarvelinTabAnimation.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "host/Application.h"
#include "rom/TarvelinRomEdits.h"
#include "rom/TarvelinRomUsage.h"
#include "tools/DemoRom.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double TickSeconds = 0.016;

// The window over the demo ROM on pattern Number of bank "12-13".
TForm1& Window(int Number) {
  TForm1& form = BenchWindow();
  form.CmbSBankSelect->setCurrentIndex(0);
  form.CmbSSpriteNumHigh->setCurrentIndex(Number / 256);
  SpritePage.SpriteNumLow = Number % 256;
  RefreshSpritePage();
  return form;
}

void ReportTick(benchmark::State& State, Clock::duration Total) {
  const double seconds = std::chrono::duration<double>(Total).count() / static_cast<double>(State.iterations());
  State.counters["of_tick"] = seconds / TickSeconds;
}

// One step of a drag of a sprite of the 256-sprite pattern: the command (merged
// into the drag) and the page's refresh.
void BM_MoveSpriteAndRefresh(benchmark::State& State) {
  const TPatternRef pattern{0, DemoRom::AllSprites.Number};
  TForm1& form = Window(pattern.Number);
  const int gesture = TRomCommand::NewGesture();
  Clock::duration total{};
  int step = 0;
  for (auto _ : State) {
    const auto start = Clock::now();
    ++step;
    form.RomUndoStack->push(new TMoveSpriteCommand(
        RomDocument, SetSpritePosition(RomDocument, pattern, step % 256, step, step * 3), "移動", gesture));
    RefreshSpritePage();
    total += Clock::now() - start;
  }
  ReportTick(State, total);
  form.RomUndoStack->undo();
}
BENCHMARK(BM_MoveSpriteAndRefresh)->Unit(benchmark::kMicrosecond);

// One pencil dot in a tile the pattern draws, with the question of who else
// uses the tile, and the page's refresh.
void BM_PaintPixelAndRefresh(benchmark::State& State) {
  const TPatternRef pattern{0, DemoRom::AllSprites.Number};
  TForm1& form = Window(pattern.Number);
  const int bank = RomDocument.Byte(PatternFrameAddress(RomDocument.Prg(), pattern));
  const int gesture = TRomCommand::NewGesture();
  Clock::duration total{};
  int step = 0;
  std::size_t users = 0;
  for (auto _ : State) {
    const auto start = Clock::now();
    ++step;
    const int tile = step % 64;
    users += PatternsUsingTile(RomDocument.Prg(), bank * 0x400 + tile * 16).size();
    form.RomUndoStack->push(new TPaintTileCommand(
        RomDocument, SetChrPixel(RomDocument, bank, tile, step % 8, step / 8 % 8, step % 4), "点", gesture));
    RefreshSpritePage();
    total += Clock::now() - start;
  }
  benchmark::DoNotOptimize(users);
  ReportTick(State, total);
  form.RomUndoStack->undo();
}
BENCHMARK(BM_PaintPixelAndRefresh)->Unit(benchmark::kMicrosecond);

// Patch creation for the whole 524,304-byte image with Changes scattered bytes
// changed (all of them for -1).
void BM_CreatePatch(benchmark::State& State, TPatchFormat Format) {
  std::vector<std::uint8_t> source = MakeDemoRom(), target = source;
  std::mt19937 random(1);
  const auto changes = State.range(0);
  if (changes < 0)
    for (auto& byte : target) byte = static_cast<std::uint8_t>(~byte);
  for (std::int64_t i = 0; i < changes; ++i) target[16 + random() % (target.size() - 16)] ^= 0x5A;
  Clock::duration patching{}, copying{};
  std::size_t size = 0;
  std::vector<std::uint8_t> copy(target.size());
  for (auto _ : State) {
    auto start = Clock::now();
    size = CreatePatch(Format, source, target).size();
    patching += Clock::now() - start;
    start = Clock::now();
    std::memcpy(copy.data(), target.data(), target.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
    copying += Clock::now() - start;
  }
  State.counters["patch_bytes"] = static_cast<double>(size);
  State.counters["ratio"] = std::chrono::duration<double>(patching).count() / std::chrono::duration<double>(copying).count();
}
BENCHMARK_CAPTURE(BM_CreatePatch, Ips, TPatchFormat::Ips)->Arg(10)->Arg(10000)->Arg(-1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CreatePatch, Bps, TPatchFormat::Bps)->Arg(10)->Arg(10000)->Arg(-1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunViewerBenchmarks(argc, argv); }
