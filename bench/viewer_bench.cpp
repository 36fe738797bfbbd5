// Page refreshes and animation steps of the real window, offscreen.

#include "bench/ViewerBenchSupport.h"

#include <QApplication>
#include <cstdlib>
#include <fstream>

#include "app/window/TarvelinTabAnimation.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "host/Application.h"
#include "tools/DemoRom.h"

namespace {

TForm1& Window() { return BenchWindow(); }

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return 0;
}

void SelectSpritePattern(int Number) {
  TForm1& form = Window();
  form.CmbSBankSelect->setCurrentIndex(0);
  form.CmbSSpriteNumHigh->setCurrentIndex(Number / 256);
  SpritePage.SpriteNumLow = Number % 256;
}

void BM_RefreshSpritePage256Sprites(benchmark::State& state) {
  SelectSpritePattern(DemoRom::AllSprites.Number);
  for (auto _ : state) RefreshSpritePage();
}
BENCHMARK(BM_RefreshSpritePage256Sprites)->Unit(benchmark::kMicrosecond);

void BM_RefreshSpritePageMemory(benchmark::State& state) {
  SelectSpritePattern(DemoRom::AllSprites.Number);
  for (int i = 0; i < 100; ++i) RefreshSpritePage();  // settle the allocator first
  for (auto _ : state) {
    const long before = ResidentKiB();
    for (int i = 0; i < 10000; ++i) RefreshSpritePage();
    state.counters["rss_growth_kib"] = static_cast<double>(ResidentKiB() - before);
  }
}
BENCHMARK(BM_RefreshSpritePageMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_DrawingStepAnimation(benchmark::State& state) {
  Window();
  for (auto _ : state) {
    AnimationPage.DrawnFrame = -1;  // makes the step draw
    StepAnimation();
  }
}
BENCHMARK(BM_DrawingStepAnimation)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunViewerBenchmarks(argc, argv); }
