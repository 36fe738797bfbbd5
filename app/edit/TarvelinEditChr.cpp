#include "app/edit/TarvelinEditChr.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QToolButton>

#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinPictureLook.h"
#include "sprite/TarvelinPixelTrace.h"
#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinRomCommands.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "rom/TarvelinRomEdits.h"

TEditChrPencil::TEditChrPencil(TForm1& Form, QWidget* Parent) : QWidget(Parent), FForm(Form) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  PencilButton = new QToolButton(this);
  PencilButton->setCheckable(true);
  // Checked, it stands out from the colour buttons beside it whatever the style.
  PencilButton->setStyleSheet("QToolButton:checked { background: #FFE08A; border: 2px solid #FF00FF; }");
  layout->addWidget(PencilButton);
  auto* group = new QButtonGroup(this);
  for (int c = 0; c < 4; ++c) {
    auto* button = new QToolButton(this);
    button->setText(QString::number(c));
    button->setCheckable(true);
    button->setChecked(c == 1);
    group->addButton(button, c);
    layout->addWidget(button);
    ColourButtons[static_cast<std::size_t>(c)] = button;
  }
  layout->addStretch();
  SetGroup(0);
  Retranslate();
}

void TEditChrPencil::changeEvent(QEvent* Event) {
  if (Event->type() == QEvent::LanguageChange) Retranslate();
  QWidget::changeEvent(Event);
}

void TEditChrPencil::Retranslate() {
  PencilButton->setText(tr("鉛筆"));
  PencilButton->setToolTip(tr("パターンテーブルのタイルの点を描きます"));
}

int TEditChrPencil::Colour() const {
  for (int c = 0; c < 4; ++c)
    if (ColourButtons[static_cast<std::size_t>(c)]->isChecked()) return c;
  return 0;
}

void TEditChrPencil::SetGroup(int Group) {
  const TFcPaletteData& palette = PicturePalette();
  for (int c = 0; c < 4; ++c) {
    // Colour values hold red in the low byte.
    const auto value = static_cast<unsigned>(palette.GetColor(SpritePaletteSet[static_cast<std::size_t>(4 * Group + c)]));
    const QColor colour(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
    const QColor text = colour.lightness() < 128 ? Qt::white : Qt::black;
    // With a border of its own the style fills the colour as it is, not shaded.
    const QString style = QString("QToolButton { background: %1; color: %2; border: 1px solid #808080; padding: 2px 6px; }"
                                  " QToolButton:checked { border: 2px solid #FF00FF; }")
                              .arg(colour.name(), text.name());
    // Restyling is costly, and every redraw of the panel comes here.
    QToolButton* button = ColourButtons[static_cast<std::size_t>(c)];
    if (button->styleSheet() != style) button->setStyleSheet(style);
  }
}

void TEditChrPencil::SetActive(bool Active) {
  if (Active == FActive) return;
  FActive = Active;
  FStroke = 0;
  if (Active)
    FForm.ImgPatternTable->installEventFilter(this);
  else
    FForm.ImgPatternTable->removeEventFilter(this);
}

bool TEditChrPencil::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched != FForm.ImgPatternTable || !FActive || !PencilButton->isChecked()) return QWidget::eventFilter(Watched, Event);
  switch (Event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(Event);
      if (mouse->button() != Qt::LeftButton) return false;
      FStroke = TRomCommand::NewGesture();
      Paint(mouse->position().toPoint());
      return true;
    }
    case QEvent::MouseMove:
      if (FStroke) Paint(static_cast<QMouseEvent*>(Event)->position().toPoint());
      return false;  // the trace follows the pointer as before
    case QEvent::MouseButtonRelease:
      if (!FStroke) return false;
      FStroke = 0;
      return true;
    default: return false;
  }
}

void TEditChrPencil::Paint(QPoint At) {
  int x = 0, y = 0;
  if (!FForm.ImgPatternTable->PicturePixel(At.x(), At.y(), x, y)) return;
  // Exactly the tile the trace names under the pointer, in the table as drawn.
  const TTableTile at =
      PatternTableTile(SpritePage.CHRBank, SpritePage.CHRLoadOffset, ViewOptions.WholeTileWindow, x, y);
  if (at.Bank < 0) return;
  const int bank = at.Bank;
  const int tile = at.Tile % 64;
  const int colour = Colour();
  PushRomEdit([&] { return SetChrPixel(RomDocument, bank, tile, x % 8, y % 8, colour); }, RomCommandPaintTile,
              tr("キャラクタバンク $%1 タイル$%2 の描画")
                  .arg(QString("%1").arg(bank, 2, 16, QChar('0')).toUpper(),
                       QString("%1").arg(tile, 2, 16, QChar('0')).toUpper()),
              FStroke);
}
