#include "app/edit/TarvelinEditTile.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <span>

#include "app/edit/TarvelinEditChr.h"
#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinRomCommands.h"
#include "app/edit/TarvelinSquareOutline.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "rom/TarvelinRomEdits.h"
#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinPictureLook.h"
#include "sprite/TarvelinPixelTrace.h"
#include "sprite/tarvelinSpriteGlobals.h"

namespace {

// Ours alone: no other program reads or offers it.
constexpr char TileMime[] = "application/x-tarvelin-chr-tile";

// The tile last copied, for a platform whose clipboard holds nothing of ours.
std::optional<TChrTileBytes>& CopiedTile() {
  static std::optional<TChrTileBytes> tile;
  return tile;
}

QColor GroupColour(int Group, int Colour) {
  // Colour values hold red in the low byte.
  const auto value = static_cast<unsigned>(
      PicturePalette().GetColor(SpritePaletteSet[static_cast<std::size_t>(4 * Group + Colour)]));
  return {static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF), static_cast<int>((value >> 16) & 0xFF)};
}

// Whole tile pixels, rounded towards minus infinity.
int TilePixelAt(int Client) {
  return Client >= 0 ? Client / TEditTile::PixelSize : -((-Client + TEditTile::PixelSize - 1) / TEditTile::PixelSize);
}

}  // namespace

// The tile at PixelSize, with a grid between its pixels.
class TTileCanvas : public QWidget {
public:
  TTileCanvas(TEditTile& Owner, QWidget* Parent) : QWidget(Parent), FOwner(Owner) {
    setObjectName("TileCanvas");
    setFixedSize(8 * TEditTile::PixelSize + 1, 8 * TEditTile::PixelSize + 1);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
  }

  TTilePixels Pixels{};
  std::array<QColor, 4> Colours;
  bool Shown = false;

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    constexpr int size = TEditTile::PixelSize;
    if (Shown)
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
          painter.fillRect(x * size, y * size, size, size, Colours[Pixels[static_cast<std::size_t>(8 * y + x)] & 3]);
    else
      painter.fillRect(rect(), palette().window());
    painter.setPen(QColor(128, 128, 128));
    for (int i = 0; i <= 8; ++i) {
      painter.drawLine(i * size, 0, i * size, 8 * size);
      painter.drawLine(0, i * size, 8 * size, i * size);
    }
    if (hasFocus()) {
      painter.setPen(QColor(255, 0, 255));
      painter.drawRect(0, 0, 8 * size, 8 * size);
    }
  }
  void mousePressEvent(QMouseEvent* Event) override {
    const QPoint at = Event->position().toPoint();
    FOwner.CanvasPress(TilePixelAt(at.x()), TilePixelAt(at.y()), Event->button());
  }
  void mouseMoveEvent(QMouseEvent* Event) override {
    const QPoint at = Event->position().toPoint();
    FOwner.CanvasMove(TilePixelAt(at.x()), TilePixelAt(at.y()));
  }
  void mouseReleaseEvent(QMouseEvent* Event) override {
    if (Event->button() == Qt::LeftButton) FOwner.CanvasRelease();
  }
  bool event(QEvent* Event) override {
    // Copy and paste are the tile's here, not the window's picture copy.
    if (Event->type() == QEvent::ShortcutOverride && FOwner.ClipboardKey(*static_cast<QKeyEvent*>(Event), false)) {
      Event->accept();
      return true;
    }
    return QWidget::event(Event);
  }
  void keyPressEvent(QKeyEvent* Event) override {
    if (!FOwner.ClipboardKey(*Event, true)) QWidget::keyPressEvent(Event);
  }
  void focusInEvent(QFocusEvent* Event) override {
    update();
    QWidget::focusInEvent(Event);
  }
  void focusOutEvent(QFocusEvent* Event) override {
    update();
    QWidget::focusOutEvent(Event);
  }

private:
  TEditTile& FOwner;
};

TEditTile::TEditTile(TForm1& Form, TEditChrPencil& Pencil, QWidget* Parent)
    : QWidget(Parent), FForm(Form), FPencil(Pencil) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  Caption = new QLabel(this);
  Caption->setWordWrap(true);
  grid->addWidget(Caption, 0, 0, 1, 2);
  FCanvas = new TTileCanvas(*this, this);
  grid->addWidget(FCanvas, 1, 0, Qt::AlignLeft | Qt::AlignTop);
  auto* swatches = new QHBoxLayout;
  swatches->setSpacing(2);
  for (int c = 0; c < 4; ++c) {
    auto* swatch = new QToolButton(this);
    swatch->setText(QString::number(c));
    swatch->setCheckable(true);
    swatch->setFixedWidth((8 * PixelSize - 6) / 4);
    swatches->addWidget(swatch);
    Swatches[static_cast<std::size_t>(c)] = swatch;
    connect(swatch, &QToolButton::clicked, this, [this, c] {
      FPencil.ColourButtons[static_cast<std::size_t>(c)]->setChecked(true);
      ShowSwatches();
    });
    connect(FPencil.ColourButtons[static_cast<std::size_t>(c)], &QToolButton::toggled, this, [this] { ShowSwatches(); });
  }
  swatches->addStretch();
  grid->addLayout(swatches, 2, 0);

  auto* tools = new QVBoxLayout;
  const auto button = [this](const QString& Text = {}) {
    auto* b = new QToolButton(this);
    b->setText(Text);
    return b;
  };
  FillButton = button();
  FillButton->setCheckable(true);
  FillButton->setStyleSheet("QToolButton:checked { background: #FFE08A; border: 2px solid #FF00FF; }");
  FlipHorizontalButton = button();
  FlipVerticalButton = button();
  for (QToolButton* b : {FillButton, FlipHorizontalButton, FlipVerticalButton}) {
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    tools->addWidget(b);
  }
  ShiftButtons = {button("←"), button("→"), button("↑"), button("↓")};
  auto* arrows = new QGridLayout;
  arrows->addWidget(ShiftButtons[0], 1, 0);
  arrows->addWidget(ShiftButtons[1], 1, 2);
  arrows->addWidget(ShiftButtons[2], 0, 1);
  arrows->addWidget(ShiftButtons[3], 2, 1);
  tools->addLayout(arrows);
  tools->addStretch();
  grid->addLayout(tools, 1, 1, 2, 1);
  grid->setColumnStretch(1, 1);

  connect(FlipHorizontalButton, &QToolButton::clicked, this,
          [this] { Edit(FlipTileHorizontal, tr("%1 の左右反転").arg(TileName())); });
  connect(FlipVerticalButton, &QToolButton::clicked, this,
          [this] { Edit(FlipTileVertical, tr("%1 の上下反転").arg(TileName())); });
  static const char* const shifted[4] = {QT_TR_NOOP("%1 を左へずらす"), QT_TR_NOOP("%1 を右へずらす"),
                                         QT_TR_NOOP("%1 を上へずらす"), QT_TR_NOOP("%1 を下へずらす")};
  const int steps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
  for (std::size_t i = 0; i < 4; ++i)
    connect(ShiftButtons[i], &QToolButton::clicked, this, [this, text = shifted[i], dx = steps[i][0], dy = steps[i][1]] {
      Edit([dx, dy](TTilePixels& Pixels) { ShiftTile(Pixels, dx, dy); }, tr(text).arg(TileName()));
    });

  FOutline = new TSquareOutline(Form.ImgPatternTable, 128, false);
  Retranslate();
}

void TEditTile::changeEvent(QEvent* Event) {
  if (Event->type() == QEvent::LanguageChange) Retranslate();
  QWidget::changeEvent(Event);
}

void TEditTile::Retranslate() {
  FCanvas->setToolTip(tr("左ボタン: 描く  右ボタン: 色を拾う  Ctrl+C / Ctrl+V: タイルのコピー / 貼り付け"));
  for (QToolButton* swatch : Swatches) swatch->setToolTip(tr("描く色 (このタイルのパレットの色で表示)"));
  FillButton->setText(tr("塗りつぶし"));
  FillButton->setToolTip(tr("同じ色でつながった範囲をタイルの中で塗ります"));
  FlipHorizontalButton->setText(tr("左右反転"));
  FlipHorizontalButton->setToolTip(tr("タイルの点を左右反転します"));
  FlipVerticalButton->setText(tr("上下反転"));
  FlipVerticalButton->setToolTip(tr("タイルの点を上下反転します"));
  ShiftButtons[0]->setToolTip(tr("タイルの点を左へ1ドットずらします (はみ出た列は右端へ)"));
  ShiftButtons[1]->setToolTip(tr("タイルの点を右へ1ドットずらします (はみ出た列は左端へ)"));
  ShiftButtons[2]->setToolTip(tr("タイルの点を上へ1ドットずらします (はみ出た行は下端へ)"));
  ShiftButtons[3]->setToolTip(tr("タイルの点を下へ1ドットずらします (はみ出た行は上端へ)"));
  Refresh();
}

QWidget* TEditTile::Canvas() const { return FCanvas; }

QString TEditTile::TileName() const {
  return tr("キャラクタバンク $%1 タイル$%2")
      .arg(QString("%1").arg(FBank, 2, 16, QChar('0')).toUpper(), QString("%1").arg(FTile, 2, 16, QChar('0')).toUpper());
}

void TEditTile::ShowTile(int Bank, int Tile) {
  FBank = Bank;
  FTile = Tile;
  FStroke = 0;
  Refresh();
}

void TEditTile::FollowSprite(std::int64_t Key, int Bank, int Tile, int Group) {
  FGroup = Group;
  const bool fresh = Key != FFollowed;
  FFollowed = Key;
  // A sprite newly selected brings its tile; with none the tile stays, or is the pattern's first.
  if (Bank >= 0 && ((fresh && Key >= 0) || FBank < 0)) {
    ShowTile(Bank, Tile);
    return;
  }
  Refresh();
}

void TEditTile::SetActive(bool Active) {
  if (Active == FActive) return;
  FActive = Active;
  FStroke = 0;
  TImageEx* table = FForm.ImgPatternTable;
  if (Active) {
    // After the pencil's filter, so this one sees the press first.
    table->installEventFilter(this);
  } else {
    table->removeEventFilter(this);
    // The table gives the keys back to the window, where the pages take them.
    if (table->hasFocus()) {
      table->clearFocus();
      FForm.setFocus(Qt::OtherFocusReason);
    }
  }
  PlaceOutline();
}

void TEditTile::Refresh() {
  // A tile past the end of the file loaded (a short image, or another ROM opened since) is none to edit.
  if (FBank >= 0 && static_cast<std::size_t>(ChrDataFileOffset + FBank * 1024 + FTile * 16 + 16) > RomDocument.Size()) {
    FBank = -1;
    FStroke = 0;
  }
  const bool shown = FBank >= 0;
  FCanvas->Shown = shown;
  if (shown) {
    FCanvas->Pixels = UnpackTile(ChrTileBytes(RomDocument, FBank, FTile));
    for (int c = 0; c < 4; ++c) FCanvas->Colours[static_cast<std::size_t>(c)] = GroupColour(FGroup, c);
    Caption->setText(tr("%1 (パレット %2)").arg(TileName()).arg(FGroup));
  } else {
    Caption->setText(tr("パターンテーブルのタイルをクリックすると、ここで編集できます"));
  }
  for (QToolButton* b : {FillButton, FlipHorizontalButton, FlipVerticalButton}) b->setEnabled(shown);
  for (QToolButton* b : ShiftButtons) b->setEnabled(shown);
  ShowSwatches();
  FCanvas->update();
  PlaceOutline();
}

void TEditTile::ShowSwatches() {
  if (FSwatchGroup != FGroup) {
    // Restyled only when the group changes: a stroke refreshes at every move.
    FSwatchGroup = FGroup;
    for (int c = 0; c < 4; ++c) {
      const QColor colour = GroupColour(FGroup, c);
      Swatches[static_cast<std::size_t>(c)]->setStyleSheet(
          QString("QToolButton { background: %1; color: %2; border: 1px solid #808080; }"
                  " QToolButton:checked { border: 2px solid #FF00FF; }")
              .arg(colour.name(), (colour.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black)).name()));
    }
  }
  const int chosen = FPencil.Colour();
  for (int c = 0; c < 4; ++c) Swatches[static_cast<std::size_t>(c)]->setChecked(c == chosen);
}

void TEditTile::PlaceOutline() {
  if (FActive && FBank >= 0)
    for (int y = 0; y < 128; y += 8)
      for (int x = 0; x < 128; x += 8) {
        const TTableTile at =
            PatternTableTile(SpritePage.CHRBank, SpritePage.CHRLoadOffset, ViewOptions.WholeTileWindow, x, y);
        if (at.Bank == FBank && at.Tile % 64 == FTile) {
          FOutline->Show(x, y);
          return;
        }
      }
  FOutline->hide();
}

void TEditTile::Edit(const std::function<void(TTilePixels&)>& Change, const QString& What, int Gesture) {
  if (FBank < 0) return;
  const int bank = FBank, tile = FTile;
  PushRomEdit(
      [&] {
        TTilePixels pixels = UnpackTile(ChrTileBytes(RomDocument, bank, tile));
        Change(pixels);
        return SetChrTile(RomDocument, bank, tile, PackTile(pixels));
      },
      RomCommandPaintTile, What, Gesture);
}

void TEditTile::CanvasPress(int X, int Y, Qt::MouseButton Button) {
  if (FBank < 0 || X < 0 || X > 7 || Y < 0 || Y > 7) return;
  if (Button == Qt::RightButton) {
    // The colour under the pointer becomes the pencil's.
    FPencil.ColourButtons[FCanvas->Pixels[static_cast<std::size_t>(8 * Y + X)] & 3]->setChecked(true);
    return;
  }
  if (Button != Qt::LeftButton) return;
  const int colour = FPencil.Colour();
  if (FillButton->isChecked()) {
    Edit([&](TTilePixels& Pixels) { FillTile(Pixels, X, Y, colour); }, tr("%1 の塗りつぶし").arg(TileName()));
    return;
  }
  FStroke = TRomCommand::NewGesture();
  FLastX = X;
  FLastY = Y;
  Edit([&](TTilePixels& Pixels) { DrawTileLine(Pixels, X, Y, X, Y, colour); }, tr("%1 の描画").arg(TileName()), FStroke);
}

void TEditTile::CanvasMove(int X, int Y) {
  if (!FStroke) return;
  // Past the edge the line runs on to it and no further.
  X = std::clamp(X, -1, 8);
  Y = std::clamp(Y, -1, 8);
  if (X == FLastX && Y == FLastY) return;
  const int colour = FPencil.Colour(), fromX = FLastX, fromY = FLastY;
  FLastX = X;
  FLastY = Y;
  Edit([&](TTilePixels& Pixels) { DrawTileLine(Pixels, fromX, fromY, X, Y, colour); }, tr("%1 の描画").arg(TileName()),
       FStroke);
}

void TEditTile::CanvasRelease() { FStroke = 0; }

bool TEditTile::ClipboardKey(const QKeyEvent& Key, bool Run) {
  const bool copy = Key.matches(QKeySequence::Copy), paste = Key.matches(QKeySequence::Paste);
  if (!copy && !paste) return false;
  if (Run) {
    if (copy)
      Copy();
    else
      Paste();
  }
  return true;
}

void TEditTile::Copy() {
  if (FBank < 0) return;
  const TChrTileBytes bytes = ChrTileBytes(RomDocument, FBank, FTile);
  auto* data = new QMimeData;
  data->setData(TileMime, QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
  QApplication::clipboard()->setMimeData(data);  // the clipboard owns it
  CopiedTile() = bytes;
  FForm.statusBar()->showMessage(tr("%1 をコピーしました").arg(TileName()), 5000);
}

void TEditTile::Paste() {
  if (FBank < 0) return;
  std::optional<TChrTileBytes> bytes;
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (data && data->hasFormat(TileMime)) {
    const QByteArray raw = data->data(TileMime);
    bytes = ChrTileFrom(std::span(reinterpret_cast<const std::uint8_t*>(raw.constData()), static_cast<std::size_t>(raw.size())));
  } else if (!data || data->formats().isEmpty()) {
    // Nothing on the clipboard at all, not something else copied since: the tile copied here.
    bytes = CopiedTile();
  }
  if (!bytes) {
    FForm.statusBar()->showMessage(tr("クリップボードにタイルがありません"), 5000);
    return;
  }
  Edit([&](TTilePixels& Pixels) { Pixels = UnpackTile(*bytes); }, tr("%1 への貼り付け").arg(TileName()));
}

bool TEditTile::eventFilter(QObject* Watched, QEvent* Event) {
  TImageEx* table = FForm.ImgPatternTable;
  if (Watched != table || !FActive) return QWidget::eventFilter(Watched, Event);
  switch (Event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(Event);
      if (mouse->button() != Qt::LeftButton) return false;
      const QPoint at = mouse->position().toPoint();
      int x = 0, y = 0;
      if (!table->PicturePixel(at.x(), at.y(), x, y)) return false;
      const TTableTile tile =
          PatternTableTile(SpritePage.CHRBank, SpritePage.CHRLoadOffset, ViewOptions.WholeTileWindow, x, y);
      // Where the table shows no loaded bank the press is the page's, as without the panel.
      if (tile.Bank < 0) return false;
      ShowTile(tile.Bank, tile.Tile % 64);
      table->setFocus(Qt::MouseFocusReason);
      // The pencil paints on from here; without it the press ends here, leaving the focus on the table.
      return !FPencil.PencilButton->isChecked();
    }
    case QEvent::ShortcutOverride:
      if (ClipboardKey(*static_cast<QKeyEvent*>(Event), false)) {
        Event->accept();
        return true;
      }
      return false;
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(Event);
      if (ClipboardKey(*key, true)) return true;
      const int code = VirtualKeyOf(key->key());
      if (ArrowKeyStep(code) == 0) return false;
      // The arrows step the page's number, as with the window focused.
      FForm.FormKeyDown(code);
      return true;
    }
    default: return false;
  }
}
