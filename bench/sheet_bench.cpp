// The overview sheet of a full bank (512 patterns): opening it, which draws
// only the thumbnails in view, against drawing every thumbnail of the bank.

#include <benchmark/benchmark.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QListView>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/TarvelinSheet.h"
#include "app/tarvelinSprite.h"
#include "host/Application.h"
#include "tools/DemoRom.h"
#include "tools/NesPalette.h"

namespace {

std::unique_ptr<TForm1> TheWindow;

// The window over the demo ROM, made once for every benchmark.
TForm1& Window() {
  if (!TheWindow)
    TheWindow = [] {
      const auto dir = std::filesystem::temp_directory_path() / "tarvelin-sheet-bench";
      std::filesystem::create_directories(dir);
      std::filesystem::current_path(dir);
      const auto& palette = NesMasterPalette();
      std::ofstream("fcpalette.pal", std::ios::binary).write(reinterpret_cast<const char*>(palette.data()), 192);
      const auto rom = MakeDemoRom();
      std::ofstream("demo.nes", std::ios::binary)
          .write(reinterpret_cast<const char*>(rom.data()), static_cast<std::streamsize>(rom.size()));
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

// From the menu command to the sheet painted on screen.
void BM_OpenSheetFullBank(benchmark::State& state) {
  TForm1& form = Window();
  int drawn = 0;
  for (auto _ : state) {
    auto sheet = std::make_unique<TSheetDialog>(&form);
    sheet->Open(0, TSheetDialog::Patterns);
    QApplication::processEvents();
    benchmark::DoNotOptimize(sheet->grab());
    drawn = sheet->DrawnCount();
  }
  state.counters["thumbnails_drawn"] = drawn;
}
BENCHMARK(BM_OpenSheetFullBank)->Unit(benchmark::kMillisecond);

// What opening would cost if the sheet drew the whole bank first.
void BM_DrawEveryThumbnailOfABank(benchmark::State& state) {
  TForm1& form = Window();
  TSheetDialog sheet(&form);
  sheet.Open(0, TSheetDialog::Patterns);
  QAbstractItemModel* model = sheet.PatternList->model();
  for (auto _ : state) {
    sheet.Reload();
    for (int row = 0; row < model->rowCount(); ++row)
      benchmark::DoNotOptimize(model->index(row, 0).data(Qt::DecorationRole));
  }
  state.counters["thumbnails_drawn"] = sheet.DrawnCount();
}
BENCHMARK(BM_DrawEveryThumbnailOfABank)->Unit(benchmark::kMillisecond);

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
