// The view aids' redraws against the 16 ms tick of the animation timer: the animation
// picture painted with the onion skin off and on (three patterns drawn a paint), and
// the sprite picture of the 256-sprite pattern with the scanline check off and on.

#include "bench/ViewerBenchSupport.h"

#include <QAction>
#include <QImage>
#include <QPixmap>

#include "app/window/TarvelinTabAnimation.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "tools/DemoRom.h"

namespace {

// Fraction of one 16 ms tick that an iteration takes.
benchmark::Counter OfTick() {
  return benchmark::Counter(0.016, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Animation $00 (three frames) on show, and pattern AllSprites on the sprite page.
TForm1& Window() {
  TForm1& form = BenchWindow();
  static const bool placed = [&] {
    form.CmbSSpriteNumHigh->setCurrentIndex(DemoRom::AllSprites.Number / 256);
    SpritePage.SpriteNumLow = DemoRom::AllSprites.Number % 256;
    RefreshSpritePage();
    form.PageControl1->setCurrentWidget(form.TabAnimation);
    StepAnimation();
    return true;
  }();
  (void)placed;
  return form;
}

void BM_PaintAnimation(benchmark::State& state) {
  TForm1& form = Window();
  form.OnionSkin1->setChecked(state.range(0) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(form.ImgAnimation->grab().toImage().constBits());
  form.OnionSkin1->setChecked(false);
  state.counters["of_tick"] = OfTick();
}
BENCHMARK(BM_PaintAnimation)->Arg(0)->Arg(1)->ArgName("onion")->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_PaintSprite(benchmark::State& state) {
  TForm1& form = Window();
  form.ScanlineCheck1->setChecked(state.range(0) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(form.ImgSprite->grab().toImage().constBits());
  form.ScanlineCheck1->setChecked(false);
  state.counters["of_tick"] = OfTick();
}
BENCHMARK(BM_PaintSprite)->Arg(0)->Arg(1)->ArgName("scanlines")->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunViewerBenchmarks(argc, argv); }
