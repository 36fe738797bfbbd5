// One edit of the ROM made in the window, with everything that shows it redrawn,
// against the 16 ms tick of the animation timer: the worst pattern (256 sprites)
// on the sprite page, the editor panel closed and open, and a CHR pixel.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QUndoStack>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/TarvelinEditPanel.h"
#include "app/TarvelinRomCommands.h"
#include "app/TarvelinTabSprite.h"
#include "app/tarvelinSprite.h"
#include "app/tarvelinSpriteGlobals.h"
#include "host/Application.h"
#include "rom/TarvelinRomEdits.h"
#include "tools/DemoRom.h"
#include "tools/NesPalette.h"

namespace {

std::unique_ptr<TForm1> TheWindow;

// The window over the demo ROM on the sprite page at the 256-sprite pattern.
TForm1& Window() {
  if (!TheWindow) TheWindow = [] {
    const auto dir = std::filesystem::temp_directory_path() / "tarvelin-edit-bench";
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    const auto& palette = NesMasterPalette();
    std::ofstream("fcpalette.pal", std::ios::binary).write(reinterpret_cast<const char*>(palette.data()), 192);
    const auto rom = MakeDemoRom();
    std::ofstream("demo.nes", std::ios::binary).write(reinterpret_cast<const char*>(rom.data()), static_cast<std::streamsize>(rom.size()));

    Application.SetTitle(ApplicationTitle);
    auto form = std::make_unique<TForm1>();
    Form1 = form.get();
    form->AnimationTimer.stop();
    form->RomUndoStack->setUndoLimit(64);
    const std::string path = (dir / "demo.nes").string();
    form->ROMOpenDialog = [path] { return std::optional<std::string>(path); };
    form->Open1Click();
    form->PageControl1->setCurrentWidget(form->TabSprite);
    form->CmbSSpriteNumHigh->setCurrentIndex(DemoRom::AllSprites.Number / 256);
    SpritePage.SpriteNumLow = DemoRom::AllSprites.Number % 256;
    RefreshSpritePage();
    return form;
  }();
  return *TheWindow;
}

void SetPanel(bool Open) {
  TForm1& form = Window();
  form.EditPanel->setVisible(Open);
  form.EditPanel->Refresh();
}

// Fraction of one 16 ms tick that an iteration takes.
benchmark::Counter OfTick() {
  return benchmark::Counter(0.016, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The baseline: what a key press on the page costs.
void BM_RefreshSpritePage(benchmark::State& state) {
  SetPanel(false);
  for (auto _ : state) RefreshSpritePage();
  state.counters["of_tick"] = OfTick();
}
BENCHMARK(BM_RefreshSpritePage)->UseRealTime()->Unit(benchmark::kMicrosecond);

// A sprite moved one pixel through an undo command: the write, the page's
// pictures, labels and dumps, the animation page, and the panel when it is open.
void BM_MoveSpriteAndRedraw(benchmark::State& state) {
  SetPanel(state.range(0) != 0);
  const TPatternRef pattern{0, DemoRom::AllSprites.Number};
  int x = 0;
  for (auto _ : state) {
    x ^= 1;
    PushRomEdit([&] { return SetSpritePosition(RomDocument, pattern, 0, 0xC0, 0xC0 + x); }, RomCommandMoveSprite,
                "move", 0);
  }
  state.counters["of_tick"] = OfTick();
}
BENCHMARK(BM_MoveSpriteAndRedraw)->Arg(0)->Arg(1)->ArgName("panel")->UseRealTime()->Unit(benchmark::kMicrosecond);

// A pencil dot in the pattern's CHR bank, with the panel open.
void BM_PaintPixelAndRedraw(benchmark::State& state) {
  SetPanel(true);
  int colour = 0;
  for (auto _ : state) {
    colour ^= 3;
    PushRomEdit([&] { return SetChrPixel(RomDocument, DemoRom::AllSprites.ChrBank, 0, 1, 1, colour); },
                RomCommandPaintTile, "paint", 0);
  }
  state.counters["of_tick"] = OfTick();
}
BENCHMARK(BM_PaintPixelAndRedraw)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  TheWindow.reset();
  Form1 = nullptr;
  RomDocument.Close();
  return 0;
}
