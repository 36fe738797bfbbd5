// Page refreshes and animation steps of the real window, offscreen.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/TarvelinTabAnimation.h"
#include "app/TarvelinTabSprite.h"
#include "app/tarvelinSprite.h"
#include "app/tarvelinSpriteGlobals.h"
#include "host/Application.h"
#include "tools/DemoRom.h"
#include "tools/NesPalette.h"

namespace {

std::unique_ptr<TForm1> TheWindow;

// The window over the demo ROM, made once for every benchmark.
TForm1& Window() {
  if (!TheWindow) TheWindow = [] {
    const auto dir = std::filesystem::temp_directory_path() / "tarvelin-bench";
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
    const std::string path = (dir / "demo.nes").string();
    form->ROMOpenDialog = [path] { return std::optional<std::string>(path); };
    form->Open1Click();
    return form;
  }();
  return *TheWindow;
}

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

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  TheWindow.reset();
  Form1 = nullptr;
  return 0;
}
