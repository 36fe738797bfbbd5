// 表示(V) > スキャンライン検査(S): off at start; on, the sprite picture outlines
// the rows where more than 8 sprites share a scanline, which the console would not show whole.

#include <QEvent>
#include <QMenu>
#include <QPainter>

#include "app/window/tarvelinSprite.h"
#include "rom/TarvelinSpriteCells.h"
#include "sprite/TarvelinSpritePattern.h"
#include "app/window/TarvelinTabSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"

namespace {

// Drawn over the sprite picture, never into it: saved and copied pictures stay as they are.
class TScanlineOverlay : public QWidget {
public:
  explicit TScanlineOverlay(QWidget* Picture) : QWidget(Picture) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    Picture->installEventFilter(this);
    setGeometry(Picture->rect());
  }

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Watched == parent() && Event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return false;
  }
  void paintEvent(QPaintEvent*) override {
    if (!SpriteDrawer) return;
    const int bank = std::clamp(Form1->CmbSBankSelect->currentIndex(), 0, 2);
    const int number = 256 * std::clamp(Form1->CmbSSpriteNumHigh->currentIndex(), 0, 1) + SpritePage.SpriteNumLow;
    const TSpritePattern pattern = LocateSpritePattern(PrgData, SpriteBanks[static_cast<std::size_t>(bank)], number);
    const auto rows = SpritesPerScanline(pattern.Align, pattern.SpriteCount());
    const int scale = std::max(1, width() / 256);
    QPainter painter(this);
    painter.setPen(QPen(QColor(255, 0, 0), 1));
    for (int row = 0; row < 256;) {
      if (rows[static_cast<std::size_t>(row)] <= SpritesPerScanlineLimit) {
        ++row;
        continue;
      }
      const int first = row;
      while (row < 256 && rows[static_cast<std::size_t>(row)] > SpritesPerScanlineLimit) ++row;
      painter.drawRect(0, first * scale, 256 * scale - 1, (row - first) * scale - 1);
    }
  }
};

}  // namespace

void TForm1::CreateScanlineItem() {
  ScanlineCheck1 = View1->addAction("スキャンライン検査(&S)");
  ScanlineCheck1->setCheckable(true);
  auto* overlay = new TScanlineOverlay(ImgSprite);
  overlay->hide();
  connect(ScanlineCheck1, &QAction::toggled, overlay, [overlay](bool On) {
    overlay->setVisible(On);
    overlay->raise();
  });
}
