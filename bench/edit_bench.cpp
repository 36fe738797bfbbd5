// One edit of the ROM made in the window, with everything that shows it redrawn,
// against the 16 ms tick of the animation timer: the worst pattern (256 sprites)
// on the sprite page, the editor panel closed and open, and a CHR pixel.

#include "bench/ViewerBenchSupport.h"

#include <QApplication>
#include <QUndoStack>
#include <cstdlib>

#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinRomCommands.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "host/Application.h"
#include "rom/TarvelinRomEdits.h"
#include "tools/DemoRom.h"

namespace {

// The window on the sprite page at the 256-sprite pattern.
TForm1& Window() {
  TForm1& form = BenchWindow();
  static const bool placed = [&] {
    form.RomUndoStack->setUndoLimit(64);
    form.PageControl1->setCurrentWidget(form.TabSprite);
    form.CmbSSpriteNumHigh->setCurrentIndex(DemoRom::AllSprites.Number / 256);
    SpritePage.SpriteNumLow = DemoRom::AllSprites.Number % 256;
    RefreshSpritePage();
    return true;
  }();
  (void)placed;
  return form;
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

int main(int argc, char** argv) { return RunViewerBenchmarks(argc, argv); }
