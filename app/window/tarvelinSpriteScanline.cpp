// Two view aids, off at start. 表示(V) > スキャンライン検査(S): the sprite picture
// outlines the rows where more than 8 sprites share a scanline, which the console
// would not show whole. オニオンスキン(N): the animation picture shows the previous
// and the next frame faintly where the current one leaves the background.

#include <QEvent>
#include <QMenu>
#include <QPainter>

#include "app/window/tarvelinSprite.h"
#include "rom/TarvelinSpriteCells.h"
#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinPictureFiles.h"
#include "sprite/TarvelinSpritePattern.h"
#include "app/window/TarvelinTabAnimation.h"
#include "dib/ZrDIB.h"
#include "app/window/TarvelinTabSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"

namespace {

// Drawn over a picture, never into it: saved and copied pictures stay as they are.
class TPictureOverlay : public QWidget {
public:
  explicit TPictureOverlay(QWidget* Picture) : QWidget(Picture) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    Picture->installEventFilter(this);
    setGeometry(Picture->rect());
  }

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Watched == parent() && Event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return false;
  }
};

class TScanlineOverlay : public TPictureOverlay {
public:
  using TPictureOverlay::TPictureOverlay;

protected:
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
  ScanlineCheck1 = View1->addAction(QString());
  ScanlineCheck1->setCheckable(true);
  auto* overlay = new TScanlineOverlay(ImgSprite);
  overlay->hide();
  connect(ScanlineCheck1, &QAction::toggled, overlay, [overlay](bool On) {
    overlay->setVisible(On);
    overlay->raise();
  });
}

namespace {

// The onion skin's two faint silhouettes, shown where the current frame leaves the background.
constexpr QRgb OnionPrevious = qRgb(0x80, 0x30, 0x30);
constexpr QRgb OnionNext = qRgb(0x30, 0x30, 0x80);

// Frame Frame of the animation on the page, as its pixel values (0: nothing drawn).
QImage FrameIndices(int Frame) {
  auto picture = CreatePageDIB(256, 256);
  const int n = AnimationFramePattern(PrgData, AnimationPage.AnimationAddress, Frame);
  const int bank = AnimationBanks[static_cast<std::size_t>(std::clamp(Form1->CmbABankSelect->currentIndex(), 0, 2))];
  if (n >= 0 && SpriteDrawer) DrawSpritePattern(*SpriteDrawer, LocateSpritePattern(PrgData, bank, n), *picture);
  return PictureImage(*picture);
}

class TOnionOverlay : public TPictureOverlay {
public:
  using TPictureOverlay::TPictureOverlay;

protected:
  void paintEvent(QPaintEvent*) override {
    if (!SpriteDrawer || !AnimationPage.AnimationDIB) return;
    const int last = PrgData[static_cast<std::size_t>(AnimationPage.AnimationAddress)] & 0x7F;
    if (last == 0) return;
    const int frame = Form1->LblACurrentFrame->text().toInt();
    const QImage now = FrameIndices(frame);
    const QImage previous = FrameIndices((frame + last) % (last + 1));
    const QImage next = FrameIndices((frame + 1) % (last + 1));
    QImage skin(256, 256, QImage::Format_ARGB32);
    skin.fill(Qt::transparent);
    for (int y = 0; y < 256; ++y) {
      const uchar* n = now.constScanLine(y);
      const uchar* p = previous.constScanLine(y);
      const uchar* x1 = next.constScanLine(y);
      auto* out = reinterpret_cast<QRgb*>(skin.scanLine(y));
      for (int x = 0; x < 256; ++x)
        if (!n[x] && (x1[x] || p[x])) out[x] = x1[x] ? OnionNext : OnionPrevious;
    }
    QPainter painter(this);
    painter.drawImage(rect(), skin);
  }
};

}  // namespace

void TForm1::CreateOnionItem() {
  OnionSkin1 = View1->addAction(QString());
  OnionSkin1->setCheckable(true);
  auto* overlay = new TOnionOverlay(ImgAnimation);
  overlay->hide();
  connect(OnionSkin1, &QAction::toggled, overlay, [overlay](bool On) {
    overlay->setVisible(On);
    overlay->raise();
  });
}
