#include "app/edit/TarvelinEditAnimation.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QGridLayout>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "sprite/TarvelinDrawSprite.h"
#include "app/edit/TarvelinEditFields.h"
#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinEditRelocate.h"
#include "sprite/TarvelinPictureFiles.h"
#include "app/edit/TarvelinRomCommands.h"
#include <QUndoStack>
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
  // Its own width only: a click beside its text toggles nothing, so nothing is drawn there.
  CheckHigh->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  FHighLabel = new QLabel(this);
  FHighLabel->setBuddy(CheckHigh);
  fields->addRow(FHighLabel, CheckHigh);
  EditTicks = new QLineEdit(this);
  EditTicks->setValidator(new QIntValidator(1, 256, this));
  FTicksLabel = new QLabel(this);
  FTicksLabel->setBuddy(EditTicks);
  fields->addRow(FTicksLabel, EditTicks);
  layout->addLayout(fields);
  Frames = new QListWidget(this);
  Frames->setIconSize({IconSize, IconSize});
  Frames->setEditTriggers(QAbstractItemView::NoEditTriggers);
  layout->addWidget(Frames, 1);
  auto* frame = new QFormLayout;
  EditFrame = new QLineEdit(this);
  EditFrame->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9A-Fa-f]{1,2}"), this));
  EditFrame->setMaxLength(2);
  InsertFrame = new QPushButton(this);
  DeleteFrame = new QPushButton(this);
  DuplicateFrame = new QPushButton(this);
  FrameUp = new QPushButton(this);
  FrameDown = new QPushButton(this);
  DetachAnimation = new QPushButton(this);
  FFrameLabel = new QLabel(this);
  FFrameLabel->setBuddy(EditFrame);
  frame->addRow(FFrameLabel, EditFrame);
  layout->addLayout(frame);
  // In short rows, so the panel grows no wider.
  auto* buttons = new QGridLayout;
  buttons->addWidget(InsertFrame, 0, 0);
  buttons->addWidget(DeleteFrame, 0, 1);
  buttons->addWidget(DuplicateFrame, 0, 2);
  buttons->addWidget(FrameUp, 1, 0);
  buttons->addWidget(FrameDown, 1, 1);
  buttons->addWidget(DetachAnimation, 2, 0, 1, 3);
  layout->addLayout(buttons);
  connect(InsertFrame, &QPushButton::clicked, this, [this] {
    const int row = Frames->currentRow();
    const int at = row >= 0 ? row : Frames->count();
    const int low = ParseHexByte(EditFrame->text());
    const int shown = low >= 0 ? low : row >= 0 ? Byte(FAddress + 2 + row) : 1;
    Relocate([&](const TFreeMap& Free, TAnimationRef A) { return ::InsertAnimationFrame(RomDocument, Free, A, at, shown); },
             tr("アニメーション %1 フレーム %2 の挿入").arg(AnimationName(CurrentAnimation())).arg(at), at);
  });
  connect(DeleteFrame, &QPushButton::clicked, this, [this] {
    const int row = Frames->currentRow();
    if (row < 0) return;
    Relocate([&](const TFreeMap& Free, TAnimationRef A) { return ::DeleteAnimationFrame(RomDocument, Free, A, row); },
             tr("アニメーション %1 フレーム %2 の削除").arg(AnimationName(CurrentAnimation())).arg(row),
             std::min(row, Frames->count() - 2));
  });
  connect(DuplicateFrame, &QPushButton::clicked, this, [this] {
    const int row = Frames->currentRow();
    if (row < 0) return;
    Relocate([&](const TFreeMap& Free, TAnimationRef A) { return ::DuplicateAnimationFrame(RomDocument, Free, A, row); },
             tr("アニメーション %1 フレーム %2 の複製").arg(AnimationName(CurrentAnimation())).arg(row), row + 1);
  });
  for (const auto& [button, step] : {std::pair{FrameUp, -1}, std::pair{FrameDown, 1}})
    connect(button, &QPushButton::clicked, this, [this, step = step] {
      const int row = Frames->currentRow();
      const int to = row + step;
      if (row < 0 || to < 0 || to >= Frames->count()) return;
      Relocate([&](const TFreeMap& Free, TAnimationRef A) { return ::MoveAnimationFrame(RomDocument, Free, A, row, to); },
               tr("アニメーション %1 フレーム %2 の移動").arg(AnimationName(CurrentAnimation())).arg(row), to);
    });
  connect(DetachAnimation, &QPushButton::clicked, this, [this] {
    Relocate([&](const TFreeMap& Free, TAnimationRef A) { return ::DetachAnimationData(RomDocument, Free, A); },
             tr("アニメーション %1 をこのアニメーションだけに").arg(AnimationName(CurrentAnimation())),
             Frames->currentRow(), false);
  });

  connect(CheckHigh, &QCheckBox::clicked, this, [this](bool High) {
    const TAnimationRef animation = CurrentAnimation();
    EditRecord([&] { return SetAnimationHighBit(RomDocument, animation, High); },
               tr("アニメーション %1 のパターン番号の上位").arg(AnimationName(animation)));
    Refresh();
  });
  connect(EditTicks, &QLineEdit::editingFinished, this, [this] { TicksEdited(); });
  GuardField(
      EditTicks, [] { return tr("1フレームの長さ"); }, [] { return tr("10進数 1-256"); },
      [](const QString& Text) {
        return TFieldInput{-1, Text.trimmed().isEmpty() ? TInputRefusal::Empty : TInputRefusal::OutOfRange};
      },
      [this] { Refresh(); });
  connect(EditFrame, &QLineEdit::editingFinished, this, [this] { FrameEdited(); });
  connect(Frames, &QListWidget::currentRowChanged, this, [this](int Row) {
    const int address = AnimationAddress(PrgData, CurrentAnimation());
    EditFrame->setText(Row >= 0 ? QString::fromStdString(FormatByte(Byte(address + 2 + Row))) : QString());
    EditFrame->setEnabled(Row >= 0);
    EnableButtons();
  });
  connect(Frames, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* Item) { OpenPattern(Frames->row(Item)); });
  Retranslate();
}

void TEditAnimationPanel::changeEvent(QEvent* Event) {
  if (Event->type() == QEvent::LanguageChange) Retranslate();
  QWidget::changeEvent(Event);
}

void TEditAnimationPanel::Retranslate() {
  FHighLabel->setText(tr("パターン番号の上位:"));
  FTicksLabel->setText(tr("1フレームの長さ:"));
  FFrameLabel->setText(tr("パターン番号(下位): $"));
  InsertFrame->setText(tr("挿入"));
  DeleteFrame->setText(tr("削除"));
  DuplicateFrame->setText(tr("複製"));
  FrameUp->setText(tr("上へ"));
  FrameDown->setText(tr("下へ"));
  DetachAnimation->setText(tr("このアニメーションだけ"));
}

QString TEditAnimationPanel::AnimationName(TAnimationRef Animation) {
  return QString("%1:$%2")
      .arg(BankNames[static_cast<std::size_t>(Animation.BankIndex)])
      .arg(QString::fromStdString(FormatByte(Animation.Number)));
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
      item->setText(tr("%1: $00 (終わり)").arg(k));
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
  EnableButtons();
  Follow();
}

void TEditAnimationPanel::EnableButtons() {
  const int row = Frames->currentRow();
  const int count = Frames->count();
  DeleteFrame->setEnabled(row >= 0 && count > 1);
  DuplicateFrame->setEnabled(row >= 0 && count < 128);
  InsertFrame->setEnabled(count < 128);
  FrameUp->setEnabled(row > 0);
  FrameDown->setEnabled(row >= 0 && row + 1 < count);
  // Offered where another animation number, of any bank, reads the same record.
  DetachAnimation->setEnabled(Users() > 1);
}

int TEditAnimationPanel::Users() const {
  const int address = AnimationAddress(PrgData, CurrentAnimation());
  int users = 0;
  for (int bank = 0; bank < static_cast<int>(AnimationBanks.size()); ++bank)
    for (int m = 0; m < 256; ++m) users += AnimationAddress(PrgData, {bank, m}) == address;
  return users;
}

void TEditAnimationPanel::EditRecord(const std::function<TRomChange()>& Edit, const QString& Text) {
  const TAnimationRef animation = CurrentAnimation();
  PushSharedEdit(
      Users(), tr("アニメーション", "used by 2 or more of them"),
      tr("このアニメーションだけ"),
      [animation](const TFreeMap& Free) { return ::DetachAnimationData(RomDocument, Free, animation); }, Edit,
      RomCommandEditField, Text);
}

void TEditAnimationPanel::Relocate(const std::function<TRomPlan(const TFreeMap&, TAnimationRef)>& Plan,
                                   const QString& Text, int Row, bool Edit) {
  const TAnimationRef animation = CurrentAnimation();
  const int before = FForm.RomUndoStack->count();
  std::function<TRomPlan(const TFreeMap&)> plan = [&](const TFreeMap& Free) { return Plan(Free, animation); };
  // Every number that reads the record sees the edit, unless this one takes a copy first.
  if (const int users = Users(); Edit && users > 1) {
    switch (AskSharedEdit(users, tr("アニメーション", "used by 2 or more of them"), tr("このアニメーションだけ"))) {
      case TSharedEdit::Cancel: return;
      case TSharedEdit::ThisOnly:
        plan = [&](const TFreeMap& Free) {
          return ThenOnTheCopy([&](const TFreeMap& F) { return ::DetachAnimationData(RomDocument, F, animation); },
                               [&](const TFreeMap& F) { return Plan(F, animation); }, Free);
        };
        break;
      case TSharedEdit::All: break;
    }
  }
  PushRelocation(plan, Text);
  Refresh();
  if (FForm.RomUndoStack->count() != before) Frames->setCurrentRow(Row);
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
    EditRecord([&] { return SetAnimationFrame(RomDocument, animation, frame, value); },
               tr("アニメーション %1 のフレーム %2").arg(AnimationName(animation)).arg(frame));
  Refresh();
}

void TEditAnimationPanel::TicksEdited() {
  if (!EditTicks->isModified()) return;
  EditTicks->setModified(false);
  const int ticks = EditTicks->text().toInt();
  const TAnimationRef animation = CurrentAnimation();
  if (ticks >= 1 && ticks <= 256)
    EditRecord([&] { return SetAnimationTicks(RomDocument, animation, ticks); },
               tr("アニメーション %1 の1フレームの長さ").arg(AnimationName(animation)));
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
