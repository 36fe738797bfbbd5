// One stroke in the tile workbench (a press, 16 moves, a release) with every
// picture that shows the tile redrawn and painted, against the 16 ms tick of the
// animation timer: the tile of the 256-sprite pattern, the editor panel open.

#include "bench/ViewerBenchSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QToolButton>
#include <QUndoStack>

#include "app/edit/TarvelinEditChr.h"
#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinEditSprite.h"
#include "app/edit/TarvelinEditTile.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "tools/DemoRom.h"

namespace {

// The window shown, on the sprite page at the 256-sprite pattern, the panel open on tile $00 of its bank.
TEditTile& Workbench() {
  TForm1& form = BenchWindow();
  static const bool placed = [&] {
    form.RomUndoStack->setUndoLimit(64);
    form.show();
    form.PageControl1->setCurrentWidget(form.TabSprite);
    form.CmbSSpriteNumHigh->setCurrentIndex(DemoRom::AllSprites.Number / 256);
    SpritePage.SpriteNumLow = DemoRom::AllSprites.Number % 256;
    RefreshSpritePage();
    form.EditPanel->setVisible(true);
    form.EditPanel->Refresh();
    form.EditPanel->SpritePanel->Tile->ShowTile(DemoRom::AllSprites.ChrBank, 0);
    QApplication::processEvents();
    return true;
  }();
  (void)placed;
  return *form.EditPanel->SpritePanel->Tile;
}

void Send(QWidget* Canvas, QEvent::Type Type, int X, int Y) {
  const QPointF at(X * TEditTile::PixelSize + TEditTile::PixelSize / 2, Y * TEditTile::PixelSize + TEditTile::PixelSize / 2);
  const Qt::MouseButtons held = Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(Type, at, Canvas->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(Canvas, &event);
}

// Fraction of one 16 ms tick that an iteration takes.
benchmark::Counter OfTick() {
  return benchmark::Counter(0.016, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Each stroke runs over rows 0 to 2 in the other colour of the last, so every move writes.
void BM_TileEditorStroke(benchmark::State& state) {
  TEditTile& tile = Workbench();
  QWidget* canvas = tile.Canvas();
  TEditChrPencil& pencil = *Form1->EditPanel->SpritePanel->Pencil;
  int colour = 1;
  for (auto _ : state) {
    colour ^= 3;
    pencil.ColourButtons[static_cast<std::size_t>(colour)]->setChecked(true);
    Send(canvas, QEvent::MouseButtonPress, 0, 0);
    // Right along row 0, back along row 1, down to row 2: 16 moves, each onto another pixel.
    for (int i = 1; i <= 16; ++i) Send(canvas, QEvent::MouseMove, i <= 7 ? i : i <= 15 ? 15 - i : 0, i <= 7 ? 0 : i <= 15 ? 1 : 2);
    Send(canvas, QEvent::MouseButtonRelease, 0, 2);
    // The pictures paint what the stroke changed.
    QApplication::processEvents();
  }
  state.counters["of_tick"] = OfTick();
}
BENCHMARK(BM_TileEditorStroke)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunViewerBenchmarks(argc, argv); }
