// Browsing beside the arrow keys: a number typed in (Ctrl+G), the overview
// sheet, and the view options of the 表示(V) menu: the background behind the
// sprites, transparency in what is saved and copied, the whole tile window.

#include <QActionGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QStatusBar>
#include <charconv>
#include <cstdio>
#include <memory>

#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinPictureFiles.h"
#include "sprite/TarvelinPictureLook.h"
#include "app/views/TarvelinSheet.h"
#include "app/window/TarvelinTabAnimation.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "host/Application.h"

namespace {

constexpr int NesColors = 64;

// A hex number up to Max, with or without "$" or "0x", spaces around it allowed.
std::optional<int> ParseNumber(QString Text, int Max) {
  Text = Text.trimmed();
  if (Text.startsWith('$'))
    Text.remove(0, 1);
  else if (Text.startsWith("0x", Qt::CaseInsensitive))
    Text.remove(0, 2);
  const std::string digits = Text.toStdString();
  // from_chars takes a minus sign, and "-0" would pass as 0.
  if (!digits.empty() && digits.front() == '-') return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value < 0 || value > Max)
    return std::nullopt;
  return value;
}

QIcon Swatch(std::uint32_t Color) {
  // FcPalette's values hold red in the low byte.
  QPixmap swatch(12, 12);
  swatch.fill(QColor(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF));
  return QIcon(swatch);
}

}  // namespace

void TForm1::CreateBrowseItems() {
  // A new window starts from the pictures' usual look.
  ViewOptions = TViewOptions{};
  connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
    if (!FTraced || !FTraced->isVisible()) ShowPageStatus();
  });
  View1->addSeparator();
  GoTo1 = View1->addAction(QString());
  GoTo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  connect(GoTo1, &QAction::triggered, this, [this] { Handle([this] { GoTo1Click(); }); });
  Sheet1 = View1->addAction(QString());
  Sheet1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  connect(Sheet1, &QAction::triggered, this, [this] { Handle([this] { Sheet1Click(); }); });
  View1->addSeparator();

  Background1 = View1->addMenu(QString());
  auto* group = new QActionGroup(this);
  for (int n = 0; n <= NesColors; ++n) {
    const bool checker = n == NesColors;
    QAction* item = new QAction(this);
    item->setCheckable(true);
    item->setChecked(n == DefaultBackground);
    group->addAction(item);
    const int background = checker ? CheckerboardBackground : n;
    connect(item, &QAction::triggered, this,
            [this, background] { Handle([this, background] { SetBackground(background); }); });
    BackgroundItems.push_back(item);
  }
  Background1->addAction(BackgroundItems.back());
  Background1->addSeparator();
  for (int n = 0; n < NesColors; ++n) Background1->addAction(BackgroundItems[static_cast<std::size_t>(n)]);
  // Swatches in the colours the pictures use, which the palette file decides after start-up.
  connect(Background1, &QMenu::aboutToShow, this, [this] {
    for (int n = 0; n < NesColors; ++n)
      BackgroundItems[static_cast<std::size_t>(n)]->setIcon(Swatch(PicturePalette().GetColor(n)));
  });
  Transparent1 = View1->addAction(QString());
  Transparent1->setCheckable(true);
  connect(Transparent1, &QAction::toggled, this, [this](bool On) { Handle([this, On] { SetTransparent(On); }); });
  WholeTileWindow1 = View1->addAction(QString());
  WholeTileWindow1->setCheckable(true);
  connect(WholeTileWindow1, &QAction::toggled, this,
          [this](bool On) { Handle([this, On] { SetWholeTileWindow(On); }); });
  for (QAction* item : {GoTo1, Sheet1}) item->setEnabled(false);
}

void TForm1::BrowseRomLoaded() {
  for (QAction* item : {GoTo1, Sheet1}) item->setEnabled(true);
  if (Sheet) Sheet->Reload();
}

void TForm1::GoTo1Click() {
  const bool spritePage = PageControl1->currentWidget() == TabSprite;
  const QString prompt = spritePage ? tr("スプライトパターン番号 (16進数 000-1FF):") : tr("アニメーション番号 (16進数 00-FF):");
  const QString current =
      spritePage ? QString::asprintf("%03X", 256 * CmbSSpriteNumHigh->currentIndex() + SpritePage.SpriteNumLow)
                 : EditAAnimationNum->text();
  // A refused number is asked for again, as it was typed and selected, to be corrected.
  for (QString text = current;;) {
    bool ok = false;
    text = QInputDialog::getText(this, tr("移動"), prompt, QLineEdit::Normal, text, &ok);
    if (!ok || GoToNumber(text.toStdString())) break;
  }
  activateWindow();
  FocusWindow();
}

bool TForm1::GoToNumber(const std::string& Text) {
  const bool spritePage = PageControl1->currentWidget() == TabSprite;
  const auto number = ParseNumber(QString::fromStdString(Text), spritePage ? 0x1FF : 0xFF);
  if (!number) {
    const QString message = spritePage
                                ? tr("「%1」はスプライトパターン番号ではありません。16進数 000-1FF で入力してください。")
                                : tr("「%1」はアニメーション番号ではありません。16進数 00-FF で入力してください。");
    ShowMessage(message.arg(QString::fromStdString(Text)).toStdString());
    return false;
  }
  if (spritePage) {
    {
      const QSignalBlocker quiet(CmbSSpriteNumHigh);
      CmbSSpriteNumHigh->setCurrentIndex(*number >> 8);
    }
    EditSSpriteNum->setText(QString::fromStdString(FormatByte(*number & 0xFF)));
    // A key that steps nothing: the page takes the number from its boxes and redraws.
    SpritePageKeyDown(0);
  } else {
    EditAAnimationNum->setText(QString::fromStdString(FormatByte(*number)));
    AnimationPageKeyDown(0);
  }
  return true;
}

void TForm1::OpenPattern(int BankIndex, int Number) {
  if (CmbSBankSelect->currentIndex() != BankIndex) {
    CmbSBankSelect->setCurrentIndex(BankIndex);
    CmbSBankSelectChange();
  }
  PageControl1->setCurrentWidget(TabSprite);
  GoToNumber(QString::asprintf("%03X", Number & 0x1FF).toStdString());
  FocusWindow();
}

void TForm1::OpenAnimation(int BankIndex, int Number) {
  if (CmbABankSelect->currentIndex() != BankIndex) {
    CmbABankSelect->setCurrentIndex(BankIndex);
    CmbSBankSelectChange();
  }
  PageControl1->setCurrentWidget(TabAnimation);
  GoToNumber(QString::asprintf("%02X", Number & 0xFF).toStdString());
  FocusWindow();
}

void TForm1::Sheet1Click() {
  if (!Sheet)
    Sheet = new TSheetDialog(this, [this](TSheetDialog::TKind Kind, int BankIndex, int Number) {
      if (Kind == TSheetDialog::Patterns)
        OpenPattern(BankIndex, Number);
      else
        OpenAnimation(BankIndex, Number);
    });
  const bool spritePage = PageControl1->currentWidget() == TabSprite;
  Sheet->Open(spritePage ? CmbSBankSelect->currentIndex() : CmbABankSelect->currentIndex(),
              spritePage ? TSheetDialog::Patterns : TSheetDialog::Animations);
}

void TForm1::SetBackground(int Background) {
  ViewOptions.Background = Background;
  const std::size_t item =
      Background == CheckerboardBackground ? NesColors : static_cast<std::size_t>(Background & 0x3F);
  BackgroundItems[item]->setChecked(true);
  RedrawPictures();
  if (Sheet) Sheet->Reload();
}

void TForm1::SetTransparent(bool Value) {
  ViewOptions.Transparent = Value;
  Transparent1->setChecked(Value);
}

void TForm1::SetWholeTileWindow(bool Value) {
  ViewOptions.WholeTileWindow = Value;
  WholeTileWindow1->setChecked(Value);
  RedrawPictures();
}

void TForm1::RedrawPictures() {
  if (!SpriteDrawer) return;
  RefreshSpritePage();
  // The frame on show, whether playback, the scroll bar or a $00 frame put it there.
  if (AnimationPage.AnimationDIB) DrawAnimationFrame(FShownFrame);
}

void TForm1::ShowFrameStatus(int Frame, int Pattern) {
  FShownFrame = Frame;
  FShownPattern = Pattern;
  if (FTraced && FTraced->isVisible()) return;
  ShowPageStatus();
}

void TForm1::ShowPageStatus() {
  if (FShownPattern < -1) return;
  const int last = PrgData[static_cast<std::size_t>(AnimationPage.AnimationAddress)] & 0x7F;
  const QString text = FShownPattern < 0
                           ? tr("フレーム %1/%2 停止 ($00)").arg(FShownFrame).arg(last)
                           : tr("フレーム %1/%2 パターン $%3")
                                 .arg(FShownFrame)
                                 .arg(last)
                                 .arg(QString::asprintf("%03X", FShownPattern));
  if (PageControl1->currentWidget() == TabAnimation)
    statusBar()->showMessage(text);
  else if (statusBar()->currentMessage() == text)
    statusBar()->clearMessage();
}

void TForm1::OfferTransparentCopy(TZrDIB& Picture) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* copied = clipboard ? clipboard->mimeData() : nullptr;
  // Only beside a DIB this copy put on the desktop's clipboard.
  if (!copied || !copied->hasFormat("image/bmp")) return;
  auto mime = std::make_unique<QMimeData>();
  for (const QString& format : copied->formats())
    if (!format.startsWith("image/") || format == "image/bmp") mime->setData(format, copied->data(format));
  const QImage image = PictureImage(Picture, true);
  const std::vector<std::uint8_t> png = EncodePng(image);
  mime->setImageData(image.convertToFormat(QImage::Format_ARGB32));
  mime->setData("image/png", QByteArray(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size())));
  clipboard->setMimeData(mime.release());
}
