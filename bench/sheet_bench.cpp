// The overview sheet of a full bank (512 patterns): opening it, which draws
// only the thumbnails in view, against drawing every thumbnail of the bank.

#include "bench/ViewerBenchSupport.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QListView>
#include <cstdlib>
#include <memory>

#include "app/views/TarvelinSheet.h"
#include "app/window/tarvelinSprite.h"
#include "host/Application.h"
#include "tools/DemoRom.h"

namespace {

TForm1& Window() { return BenchWindow(); }

// From the menu command to the sheet painted on screen.
void BM_OpenSheetFullBank(benchmark::State& state) {
  TForm1& form = Window();
  int drawn = 0;
  for (auto _ : state) {
    auto sheet = std::make_unique<TSheetDialog>(&form, [](TSheetDialog::TKind, int, int) {});
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
  TSheetDialog sheet(&form, [](TSheetDialog::TKind, int, int) {});
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

int main(int argc, char** argv) { return RunViewerBenchmarks(argc, argv); }
