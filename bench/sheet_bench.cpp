// The overview sheet of a full bank (512 patterns): opening it, which draws
// only the thumbnails in view, against drawing every thumbnail of the bank.

#include "bench/ViewerBenchSupport.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QListView>
#include <chrono>
#include <cstdlib>
#include <memory>

#include "app/views/TarvelinSheet.h"
#include "app/window/tarvelinSprite.h"
#include "host/Application.h"
#include "rom/TarvelinRomEdits.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "tools/DemoRom.h"

namespace {

TForm1& Window() { return BenchWindow(); }

// From the menu command to the sheet painted on screen.
void BM_OpenSheetFullBank(benchmark::State& state) {
  TForm1& form = Window();
  int drawn = 0;
  for (auto _ : state) {
    auto sheet = std::make_unique<TSheetDialog>(&form, TSheetDialog::TOpenItem{});
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
  TSheetDialog sheet(&form, TSheetDialog::TOpenItem{});
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

// An open sheet hearing of one edit and of its undo: each asks every pattern and
// animation of the bank whether it was drawn from the bytes written. A drag sends
// one such edit per pointer move, so this stays far below the 16 ms tick.
void BM_SheetHearsAnEdit(benchmark::State& state) {
  TForm1& form = Window();
  TSheetDialog sheet(&form, TSheetDialog::TOpenItem{});
  sheet.Open(0, TSheetDialog::Patterns);
  QApplication::processEvents();
  const TRomChange move = SetSpritePosition(RomDocument, {0, 0}, 0, 0x10, 0x20);
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    RomDocument.Apply(move);
    RomDocument.Revert(move);
  }
  const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
  // One edit's time as a share of the 16 ms tick.
  state.counters["tick_share_per_edit"] = spent.count() / (2.0 * static_cast<double>(state.iterations())) / 0.016;
}
BENCHMARK(BM_SheetHearsAnEdit)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return RunViewerBenchmarks(argc, argv); }
