#include "app/edit/TarvelinEditAnimation.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "sprite/TarvelinDrawSprite.h"
#include "app/edit/TarvelinEditFields.h"
#include "app/edit/TarvelinEditPanel.h"
#include "sprite/TarvelinPictureFiles.h"
#include "app/edit/TarvelinRomCommands.h"
#include "sprite/TarvelinSpritePattern.h"
#include "app/window/TarvelinTabAnimation.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"
#include "rom/TarvelinRomEdits.h"

namespace {

constexpr int IconSize = 48;

int Byte(int Offset) { return PrgData[static_cast<std::size_t>(Offset)]; }

// The pattern drawn as the page draws it, cut to the square around what it covers.
QPixmap PatternIcon(int BankBase, int Number) {
  auto picture = CreatePageDIB(256, 256);
  if (SpriteDrawer) DrawSpritePattern(*SpriteDrawer, LocateSpritePattern(PrgData, BankBase, Number), *picture);
  const QImage image = PictureImage(*picture);
  QRect covered;
  for (int y = 0; y < image.height(); ++y) {
    const uchar* row = image.constScanLine(y);
    for (int x = 0; x < image.width(); ++x)
      if (row[x]) covered |= QRect(x, y, 1, 1);
  }
  if (covered.isEmpty()) covered = QRect(120, 120, 16, 16);
  const int side = std::max(covered.width(), covered.height());
  // Centred by its edges: QRect::center() rounds down, which cut an even-sized pattern's last column.
  const QRect square(covered.left() - (side - covered.width()) / 2, covered.top() - (side - covered.height()) / 2, side,
                     side);
  return QPixmap::fromImage(image.copy(square).scaled(IconSize, IconSize, Qt::KeepAspectRatio));
}

}  // namespace

TEditAnimationPanel::TEditAnimationPanel(TForm1& Form, QWidget* Parent) : QWidget(Parent), FForm(Form) {
  auto* layout = new QVBoxLayout(this);
  auto* fields = new QFormLayout;
  CheckHigh = new QCheckBox("$100-$1FF", this);
  fields->addRow("パターン番号の上位:", CheckHigh);
  EditTicks = new QLineEdit(this);
  EditTicks->setValidator(new QIntValidator(1, 256, this));
  fields->addRow("1フレームの長さ:", EditTicks);
  layout->addLayout(fields);
  Frames = new QListWidget(this);
  Frames->setIconSize({IconSize, IconSize});
  Frames->setEditTriggers(QAbstractItemView::NoEditTriggers);
  layout->addWidget(Frames, 1);
  auto* frame = new QFormLayout;
  EditFrame = new QLineEdit(this);
  EditFrame->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9A-Fa-f]{1,2}"), this));
  EditFrame->setMaxLength(2);
  frame->addRow("パターン番号(下位): $", EditFrame);
  layout->addLayout(frame);

  connect(CheckHigh, &QCheckBox::clicked, this, [this](bool High) {
    const TAnimationRef animation = CurrentAnimation();
    PushRomEdit([&] { return SetAnimationHighBit(RomDocument, animation, High); }, RomCommandEditField,
                QString("アニメーション %1:$%2 のパターン番号の上位")
                    .arg(BankNames[static_cast<std::size_t>(animation.BankIndex)])
                    .arg(QString::fromStdString(FormatByte(animation.Number))));
    Refresh();
  });
  connect(EditTicks, &QLineEdit::editingFinished, this, [this] { TicksEdited(); });
  GuardField(EditTicks, "1フレームの長さ", "10進数 1-256", [](const QString& Text) {
               return TFieldInput{-1, Text.trimmed().isEmpty() ? TInputRefusal::Empty : TInputRefusal::OutOfRange};
             },
             [this] { Refresh(); });
  connect(EditFrame, &QLineEdit::editingFinished, this, [this] { FrameEdited(); });
  connect(Frames, &QListWidget::currentRowChanged, this, [this](int Row) {
    const int address = AnimationAddress(PrgData, CurrentAnimation());
    EditFrame->setText(Row >= 0 ? QString::fromStdString(FormatByte(Byte(address + 2 + Row))) : QString());
    EditFrame->setEnabled(Row >= 0);
  });
  connect(Frames, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* Item) { OpenPattern(Frames->row(Item)); });
}

void TEditAnimationPanel::Refresh() {
  const TAnimationRef animation = CurrentAnimation();
  const int address = AnimationAddress(PrgData, animation);
  const int base = AnimationBanks[static_cast<std::size_t>(animation.BankIndex)];
  const int high = Byte(address) >> 7;
  const int last = Byte(address) & 0x7F;
  const bool another = animation != FAnimation || address != FAddress;
  FAnimation = animation;
  FAddress = address;
  CheckHigh->setChecked(high);
  if (!EditTicks->hasFocus() || !EditTicks->isModified()) EditTicks->setText(QString::number(Byte(address + 1) + 1));
  const int row = another ? -1 : Frames->currentRow();
  const QSignalBlocker quiet(Frames);
  Frames->clear();
  for (int k = 0; k <= last; ++k) {
    const int low = Byte(address + 2 + k);
    auto* item = new QListWidgetItem(Frames);
    if (low == 0) {
      item->setText(QString("%1: $00 (終わり)").arg(k));
    } else {
      const int number = 256 * high + low;
      item->setText(QString("%1: $%2").arg(k).arg(number, 3, 16, QChar('0')).toUpper());
      item->setIcon(PatternIcon(base, number));
    }
  }
  Frames->setCurrentRow(std::min(row, last));
  EditFrame->setText(row >= 0 ? QString::fromStdString(FormatByte(Byte(address + 2 + row))) : QString());
  EditFrame->setEnabled(row >= 0);
  FHighlighted = -1;
  Follow();
}

void TEditAnimationPanel::Follow() {
  const TAnimationRef animation = CurrentAnimation();
  if (animation != FAnimation || AnimationAddress(PrgData, animation) != FAddress) {
    Refresh();
    return;
  }
  // The frame on screen is the one the page's label names.
  const int shown = AnimationPage.AnimationDIB ? FForm.LblACurrentFrame->text().toInt() : -1;
  if (shown == FHighlighted) return;
  if (QListWidgetItem* old = Frames->item(FHighlighted)) old->setBackground(QBrush());
  FHighlighted = -1;
  if (QListWidgetItem* now = Frames->item(shown)) {
    now->setBackground(QColor(255, 220, 120));
    FHighlighted = shown;
  }
}

void TEditAnimationPanel::FrameEdited() {
  if (!EditFrame->isModified()) return;
  EditFrame->setModified(false);
  const int frame = Frames->currentRow();
  const int value = ParseHexByte(EditFrame->text());
  const TAnimationRef animation = CurrentAnimation();
  if (frame >= 0 && value >= 0)
    PushRomEdit([&] { return SetAnimationFrame(RomDocument, animation, frame, value); }, RomCommandEditField,
                QString("アニメーション %1:$%2 のフレーム %3")
                    .arg(BankNames[static_cast<std::size_t>(animation.BankIndex)])
                    .arg(QString::fromStdString(FormatByte(animation.Number)))
                    .arg(frame));
  Refresh();
}

void TEditAnimationPanel::TicksEdited() {
  if (!EditTicks->isModified()) return;
  EditTicks->setModified(false);
  const int ticks = EditTicks->text().toInt();
  const TAnimationRef animation = CurrentAnimation();
  if (ticks >= 1 && ticks <= 256)
    PushRomEdit([&] { return SetAnimationTicks(RomDocument, animation, ticks); }, RomCommandEditField,
                QString("アニメーション %1:$%2 の1フレームの長さ")
                    .arg(BankNames[static_cast<std::size_t>(animation.BankIndex)])
                    .arg(QString::fromStdString(FormatByte(animation.Number))));
  Refresh();
}

void TEditAnimationPanel::OpenPattern(int Frame) {
  const TAnimationRef animation = CurrentAnimation();
  const int address = AnimationAddress(PrgData, animation);
  const int number = AnimationFramePattern(PrgData, address, Frame);
  if (number < 0) return;  // a $00 frame shows no pattern
  {
    // Selections made by the program run no change handler.
    const QSignalBlocker bank(FForm.CmbSBankSelect), high(FForm.CmbSSpriteNumHigh);
    FForm.CmbSBankSelect->setCurrentIndex(animation.BankIndex);
    FForm.CmbSSpriteNumHigh->setCurrentIndex(number >> 8);
  }
  SpritePage.SpriteNumLow = number & 0xFF;
  FForm.EditSSpriteNum->setText(QString::fromStdString(FormatByte(SpritePage.SpriteNumLow)));
  RefreshSpritePage();
  FForm.PageControl1->setCurrentWidget(FForm.TabSprite);
}
