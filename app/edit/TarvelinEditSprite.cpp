#include "app/edit/TarvelinEditSprite.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStatusBar>
#include <QTableWidget>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>

#include "app/edit/TarvelinEditChr.h"
#include "app/edit/TarvelinEditFields.h"
#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinEditRelocate.h"
#include "app/edit/TarvelinEditTile.h"
#include "app/edit/TarvelinRomCommands.h"
#include "app/edit/TarvelinSquareOutline.h"
#include "sprite/TarvelinSpritePattern.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "rom/TarvelinRomEdits.h"
#include "rom/TarvelinSpriteCells.h"

namespace {

QString Hex2(int Value) { return QString("%1").arg(Value & 0xFF, 2, 16, QChar('0')).toUpper(); }
QString Address(int Offset) { return QString::fromStdString(FormatAddress(Offset)); }

TSpritePattern CurrentRecords() {
  const TPatternRef ref = CurrentPattern();
  return LocateSpritePattern(PrgData, SpriteBanks[static_cast<std::size_t>(ref.BankIndex)], ref.Number);
}

// Sprites the records hold whole: the count, unless a record runs into the end of PrgData.
int SpriteRows(const TSpritePattern& Pattern) {
  const auto whole = static_cast<int>(std::min((Pattern.Frame.size() - 3) / 2, Pattern.Align.size() / 2));
  return std::min(Pattern.SpriteCount(), whole);
}

// Who else uses What: a short line with the count (the names too while they are few)
// and, for the tooltip, every name up to a screenful; both empty when no other pattern does.
struct TSharedLine {
  QString Line;
  QString List;
};
TSharedLine SharedLine(const QString& What, std::vector<TPatternRef> Users, TPatternRef Self) {
  std::erase(Users, Self);
  if (Users.empty()) return {};
  constexpr std::size_t Inline = 4, Listed = 64;
  QStringList names;
  for (std::size_t i = 0; i < std::min(Listed, Users.size()); ++i) names << PatternName(Users[i]);
  QString list = TEditSpritePanel::tr("%1 : %2").arg(What, names.join(", "));
  if (Users.size() > Listed) list += TEditSpritePanel::tr(" ほか %1").arg(Users.size() - Listed);
  const auto count = static_cast<int>(Users.size());
  QString line = TEditSpritePanel::tr("%1 は他の %n パターンでも使われています", nullptr, count).arg(What);
  if (Users.size() <= Inline) line += ": " + names.join(", ");
  return {line, list};
}

// Says in the status bar how many patterns an edit of What changes, when others share it.
void SayShared(const QString& What, const std::vector<TPatternRef>& Users, TPatternRef Self) {
  const auto others = static_cast<int>(Users.size() - static_cast<std::size_t>(std::count(Users.begin(), Users.end(), Self)));
  if (others <= 0 || !Form1) return;
  Form1->statusBar()->showMessage(
      TEditSpritePanel::tr("%1 を書き換えました: 他の %n パターンも変わります", nullptr, others).arg(What), 10000);
}

}  // namespace

TEditSpritePanel::TEditSpritePanel(TForm1& Form, QWidget* Parent) : QWidget(Parent), FForm(Form) {
  // The records on the left, the CHR tools beside them: the workbench shows whole at the window's height.
  FColumns = new QHBoxLayout(this);
  auto* layout = new QVBoxLayout;
  layout->setContentsMargins(0, 0, 0, 0);
  FColumns->addLayout(layout, 1);
  auto* tools = new QVBoxLayout;
  tools->setContentsMargins(0, 0, 0, 0);
  FColumns->addLayout(tools);
  auto* header = new QFormLayout;
  const auto* hex = new QRegularExpressionValidator(QRegularExpression("[0-9A-Fa-f]{1,2}"), this);
  EditChrBank = new QLineEdit(this);
  EditAlign = new QLineEdit(this);
  for (QLineEdit* edit : {EditChrBank, EditAlign}) {
    edit->setValidator(hex);
    edit->setMaxLength(2);
    connect(edit, &QLineEdit::editingFinished, this, [this, edit] { HeaderEdited(edit); });
    const bool chr = edit == EditChrBank;
    GuardField(
        edit, [chr] { return chr ? tr("キャラクタバンク番号") : tr("スプライト配置データ番号"); },
        [] { return tr("16進数 00-FF"); }, [](const QString& Text) { return ParseHexField(Text.toStdString()); },
        [this] { Refresh(); });
  }
  FChrBankLabel = new QLabel(this);
  FAlignLabel = new QLabel(this);
  FChrBankLabel->setBuddy(EditChrBank);
  FAlignLabel->setBuddy(EditAlign);
  header->addRow(FChrBankLabel, EditChrBank);
  header->addRow(FAlignLabel, EditAlign);
  layout->addLayout(header);

  Sprites = new QTableWidget(0, ColumnCount, this);
  Sprites->verticalHeader()->hide();
  Sprites->setSelectionBehavior(QAbstractItemView::SelectRows);
  Sprites->setSelectionMode(QAbstractItemView::SingleSelection);
  Sprites->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  Sprites->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
  auto* cells = new TSpriteCellDelegate(ColTile, ColGroup, ColY, ColX, Sprites);
  cells->WatchPresses(Sprites->viewport());
  Sprites->setItemDelegate(cells);
  // Room beside the flips' check boxes, where a click selects the row and flips nothing.
  for (int column : {ColVFlip, ColHFlip}) {
    Sprites->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Fixed);
    Sprites->horizontalHeader()->resizeSection(column, 48);
  }
  connect(Sprites, &QTableWidget::cellChanged, this, [this](int Row, int Column) { ItemChanged(Row, Column); });
  connect(Sprites, &QTableWidget::itemSelectionChanged, this, [this] { SelectionChanged(); });
  layout->addWidget(Sprites, 1);
  auto* buttons = new QHBoxLayout;
  AddSprite = new QPushButton(this);
  RemoveSprite = new QPushButton(this);
  DetachPattern = new QPushButton(this);
  for (QPushButton* button : {AddSprite, RemoveSprite, DetachPattern}) buttons->addWidget(button);
  layout->addLayout(buttons);
  connect(AddSprite, &QPushButton::clicked, this, [this] { AddSpriteClick(); });
  connect(RemoveSprite, &QPushButton::clicked, this, [this] { RemoveSpriteClick(); });
  connect(DetachPattern, &QPushButton::clicked, this, [this] { DetachPatternClick(); });

  SharedNotice = new QLabel(this);
  SharedNotice->setWordWrap(true);
  SharedNotice->setTextFormat(Qt::PlainText);
  layout->addWidget(SharedNotice);
  DetachAlign = new QPushButton(this);
  DetachAlign->hide();
  layout->addWidget(DetachAlign, 0, Qt::AlignLeft);
  connect(DetachAlign, &QPushButton::clicked, this, [this] { DetachAlignClick(); });

  Pencil = new TEditChrPencil(Form, this);
  tools->addWidget(Pencil);
  Tile = new TEditTile(Form, *Pencil, this);
  tools->addWidget(Tile);
  tools->addStretch();

  FOutline = new TSquareOutline(Form.ImgSprite, 256, true);
  Retranslate();
}

void TEditSpritePanel::changeEvent(QEvent* Event) {
  if (Event->type() == QEvent::LanguageChange) {
    Retranslate();
    // After the window has written its own texts again, whichever hears of the change first.
    if (!FLegend[0].isNull()) QMetaObject::invokeMethod(this, [this] { RenewNudgeKeys(); }, Qt::QueuedConnection);
  }
  QWidget::changeEvent(Event);
}

void TEditSpritePanel::Retranslate() {
  FChrBankLabel->setText(tr("キャラクタバンク番号: $"));
  FAlignLabel->setText(tr("スプライト配置データ番号: $"));
  Sprites->setHorizontalHeaderLabels({tr("番号"), tr("タイル"), tr("上下"), tr("左右"), tr("パレット"), "Y", "X"});
  AddSprite->setText(tr("スプライト追加"));
  RemoveSprite->setText(tr("スプライト削除"));
  DetachPattern->setText(tr("このパターンだけ"));
  DetachAlign->setText(tr("配置データだけ切り離す"));
  // Wide enough for every column at its widest value, so none hides behind a scroll bar.
  const QString widest[ColumnCount] = {"FF", "FF", {}, {}, "3", "80 (-128)", "80 (-128)"};
  const int margin = 2 * (Sprites->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, Sprites) + 1) + 2;
  int width = 2 * Sprites->frameWidth() + Sprites->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Sprites);
  for (int column = 0; column < ColumnCount; ++column)
    width += column == ColVFlip || column == ColHFlip
                 ? Sprites->columnWidth(column)
                 : std::max(Sprites->horizontalHeader()->sectionSizeHint(column),
                            Sprites->fontMetrics().horizontalAdvance(widest[column]) + margin);
  Sprites->setMinimumWidth(width);
}

void TEditSpritePanel::Refresh() {
  const TPatternRef pattern = CurrentPattern();
  const TSpritePattern records = CurrentRecords();
  const QSignalBlocker quiet(Sprites);
  if (pattern != FPattern) {
    // Another pattern: its sprites are other sprites.
    Sprites->clearSelection();
    Sprites->setCurrentItem(nullptr);
    FPattern = pattern;
  }
  for (auto [edit, value] : {std::pair{EditChrBank, records.CHRBank()}, std::pair{EditAlign, records.AlignNumber()}})
    if (!edit->hasFocus() || !edit->isModified()) edit->setText(Hex2(value));
  const int rows = SpriteRows(records);
  Sprites->setRowCount(rows);
  for (int i = 0; i < rows; ++i) {
    const auto at = static_cast<std::size_t>(i);
    const int tile = records.Frame[3 + 2 * at], attribute = records.Frame[4 + 2 * at];
    const int y = records.Align[2 * at], x = records.Align[2 * at + 1];
    const QString texts[ColumnCount] = {Hex2(i), Hex2(tile), {}, {}, QString::number(attribute & 3),
                                        QString::fromStdString(FormatOffsetField(y)),
                                        QString::fromStdString(FormatOffsetField(x))};
    const int bytes[ColumnCount] = {i, tile, 0, 0, attribute & 3, y, x};
    for (int column = 0; column < ColumnCount; ++column) {
      QTableWidgetItem* item = Sprites->item(i, column);
      if (!item) {
        item = new QTableWidgetItem;
        if (column == ColNumber) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        if (column == ColVFlip || column == ColHFlip)
          item->setFlags((item->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsEditable);
        Sprites->setItem(i, column, item);
      }
      if (column == ColVFlip || column == ColHFlip) {
        const bool on = attribute & (column == ColVFlip ? 0x80 : 0x40);
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
      } else {
        item->setText(texts[column]);
        item->setData(Qt::UserRole, bytes[column]);
      }
    }
  }
  SelectionChanged();
}

void TEditSpritePanel::SetSideBySide(bool SideBySide) {
  FColumns->setDirection(SideBySide ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
}

int TEditSpritePanel::SelectedSprite() const {
  const auto rows = Sprites->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

void TEditSpritePanel::SetActive(bool Active) {
  if (Active == FActive) return;
  FActive = Active;
  FDragSprite = -1;
  if (Active) {
    FForm.ImgSprite->installEventFilter(this);
  } else {
    FForm.ImgSprite->removeEventFilter(this);
    FOutline->hide();
    ShowNudgeKeys();
    // The picture gives the keys back to the window, where the pages take them.
    if (FForm.ImgSprite->hasFocus()) {
      FForm.ImgSprite->clearFocus();
      FForm.setFocus(Qt::OtherFocusReason);
    }
  }
  Pencil->SetActive(Active);
  Tile->SetActive(Active);
}

void TEditSpritePanel::ItemChanged(int Row, int Column) {
  const int before = FForm.RomUndoStack->index();
  const TPatternRef pattern = CurrentPattern();
  const QString name = PatternName(pattern), row = Hex2(Row);
  const TSpritePattern records = CurrentRecords();
  // The cell editors put only bytes the record can hold here.
  const int value = Sprites->item(Row, Column)->data(Qt::UserRole).toInt();
  const bool valid = Column == ColGroup ? value >= 0 && value <= 3 : value >= 0 && value <= 0xFF;
  switch (Column) {
    case ColVFlip:
    case ColHFlip: {
      const bool v = Sprites->item(Row, ColVFlip)->checkState() == Qt::Checked;
      const bool h = Sprites->item(Row, ColHFlip)->checkState() == Qt::Checked;
      EditRecord(false, [&] { return SetSpriteFlips(RomDocument, pattern, Row, v, h); }, RomCommandEditField,
                 (Column == ColVFlip ? tr("%1 スプライト$%2 の上下反転") : tr("%1 スプライト$%2 の左右反転"))
                     .arg(name, row));
      break;
    }
    case ColTile:
      if (valid)
        EditRecord(false, [&] { return SetSpriteTile(RomDocument, pattern, Row, value); }, RomCommandEditField,
                   tr("%1 スプライト$%2 のタイル").arg(name, row));
      break;
    case ColGroup:
      if (valid)
        EditRecord(false, [&] { return SetSpritePaletteGroup(RomDocument, pattern, Row, value); },
                   RomCommandEditField, tr("%1 スプライト$%2 のパレット").arg(name, row));
      break;
    case ColY:
    case ColX:
      if (valid) {
        const auto at = static_cast<std::size_t>(Row);
        MoveSprite(Row, Column == ColY ? value : records.Align[2 * at], Column == ColX ? value : records.Align[2 * at + 1], 0);
      }
      break;
    default: break;
  }
  if (FForm.RomUndoStack->index() != before) SayEditShared(Column);
  // A refused or unchanged value shows the ROM's byte again.
  Refresh();
}

void TEditSpritePanel::HeaderEdited(QLineEdit* Edit) {
  if (!Edit->isModified()) return;
  Edit->setModified(false);
  const TPatternRef pattern = CurrentPattern();
  const int value = ParseHexByte(Edit->text());
  const int before = FForm.RomUndoStack->index();
  if (value >= 0) {
    if (Edit == EditChrBank)
      EditRecord(false, [&] { return SetPatternChrBank(RomDocument, pattern, value); }, RomCommandEditField,
                 tr("%1 のキャラクタバンク番号").arg(PatternName(pattern)));
    else
      EditRecord(false, [&] { return SetPatternAlignNumber(RomDocument, pattern, value); }, RomCommandEditField,
                 tr("%1 のスプライト配置データ番号").arg(PatternName(pattern)));
  }
  if (FForm.RomUndoStack->index() != before) SayEditShared(ColTile);
  Refresh();
}

std::optional<TSharedEdit> TEditSpritePanel::MoveSprite(int Sprite, int Y, int X, int Gesture,
                                                        std::optional<TSharedEdit> Answer) {
  const TPatternRef pattern = CurrentPattern();
  return EditRecord(true, [&] { return SetSpritePosition(RomDocument, pattern, Sprite, Y, X); }, RomCommandMoveSprite,
                    tr("%1 スプライト$%2 の移動").arg(PatternName(pattern), Hex2(Sprite)), Gesture, Answer);
}

std::optional<TSharedEdit> TEditSpritePanel::EditRecord(bool Align, const std::function<TRomChange()>& Edit, int Id,
                                                        const QString& Text, int Gesture,
                                                        std::optional<TSharedEdit> Answer) {
  const TPatternRef pattern = CurrentPattern();
  const TSpritePattern records = CurrentRecords();
  const auto users =
      Align ? PatternsUsingAlign(PrgData, records.AlignAddress) : PatternsUsingFrame(PrgData, records.FrameAddress);
  // The pairs are this pattern's own only with a FrameData that names them under a number of their own.
  const auto detach = [pattern, Align](const TFreeMap& Free) {
    return Align ? ::DetachPattern(RomDocument, Free, pattern) : DetachFrameData(RomDocument, Free, pattern);
  };
  return PushSharedEdit(static_cast<int>(users.size()), tr("パターン", "used by 2 or more of them"),
                        tr("このパターンだけ"), detach, Edit, Id, Text,
                        Gesture, Answer);
}

void TEditSpritePanel::SelectionChanged() {
  const int sprite = SelectedSprite();
  const TSpritePattern records = CurrentRecords();
  if (FActive && sprite >= 0 && sprite < SpriteRows(records)) {
    const auto at = static_cast<std::size_t>(sprite);
    FOutline->Show((records.Align[2 * at + 1] + 128) & 0xFF, (records.Align[2 * at] + 128) & 0xFF);
  } else {
    FOutline->hide();
  }
  ShowNudgeKeys();
  // The stroke shows in the pattern table, which is drawn in palette group 0.
  Pencil->SetGroup(0);
  FollowTile(records, sprite);
  ShowNotice();
}

void TEditSpritePanel::FollowTile(const TSpritePattern& Records, int Sprite) {
  // The CHR bank and tile of a sprite, through the pattern's tile window; bank -1 where it lies outside CHR.
  const auto tileOf = [&](int Entry) {
    const int chr = (Records.CHRBank() - Records.Frame[3] / 64) * 1024 + Records.Frame[3 + 2 * static_cast<std::size_t>(Entry)] * 16;
    return chr >= 0 && chr + 16 <= static_cast<int>(sizeof(TChrData)) ? std::pair{chr / 1024, chr % 1024 / 16}
                                                                        : std::pair{-1, 0};
  };
  if (Sprite >= 0 && Sprite < SpriteRows(Records)) {
    const auto [bank, tile] = tileOf(Sprite);
    const TPatternRef pattern = CurrentPattern();
    // Another pattern, sprite or tile is another sprite to follow.
    const std::int64_t key = ((std::int64_t{pattern.BankIndex} * 512 + pattern.Number) * 256 + Sprite) * 0x4000 +
                             (bank < 0 ? 0x3FFF : bank * 64 + tile);
    Tile->FollowSprite(key, bank, tile, Records.Frame[4 + 2 * static_cast<std::size_t>(Sprite)] & 3);
    return;
  }
  const auto [bank, tile] = SpriteRows(Records) > 0 ? tileOf(0) : std::pair{-1, 0};
  Tile->FollowSprite(-1, bank, tile, 0);
}

void TEditSpritePanel::ShowNotice() {
  const TPatternRef self = CurrentPattern();
  const TSpritePattern records = CurrentRecords();
  std::vector<TSharedLine> shared;
  shared.push_back(SharedLine(tr("このパターン定義 (%1)").arg(Address(records.FrameAddress)),
                              PatternsUsingFrame(PrgData, records.FrameAddress), self));
  shared.push_back(
      SharedLine(tr("スプライト配置データ $%1 (%2)").arg(Hex2(records.AlignNumber()), Address(records.AlignAddress)),
                 PatternsUsingAlign(PrgData, records.AlignAddress), self));
  const int sprite = SelectedSprite();
  if (sprite >= 0 && sprite < SpriteRows(records)) {
    const int tile = records.Frame[3 + 2 * static_cast<std::size_t>(sprite)];
    const int chr = (records.CHRBank() - records.Frame[3] / 64) * 1024 + tile * 16;
    if (chr >= 0 && chr + 16 <= static_cast<int>(sizeof(TChrData)))
      shared.push_back(SharedLine(tr("タイル $%1 (%2)").arg(Hex2(tile), Address(ChrDataFileOffset + chr)),
                                  PatternsUsingTile(PrgData, chr), self));
  }
  const QString bank = Hex2(records.CHRBank()), bankAddress = Address(ChrBankAddress(records.CHRBank()));
  shared.push_back(SharedLine(tr("キャラクタバンク $%1 (%2)").arg(bank, bankAddress),
                              PatternsUsingChrBank(PrgData, records.CHRBank()), self));
  QStringList lines, lists;
  for (const TSharedLine& line : shared)
    if (!line.Line.isEmpty()) {
      lines << line.Line;
      lists << line.List;
    }
  SharedNotice->setText(lines.join('\n'));
  SharedNotice->setToolTip(lists.join("\n\n"));
  RemoveSprite->setEnabled(sprite >= 0 && SpriteRows(records) > 1);
  // Offered where the records are another pattern's too.
  const auto frameUsers = PatternsUsingFrame(PrgData, records.FrameAddress);
  const auto alignUsers = PatternsUsingAlign(PrgData, records.AlignAddress);
  DetachPattern->setEnabled(frameUsers.size() > 1 || alignUsers.size() > 1);
  // The pairs alone part only from patterns that reach them through another table entry.
  const bool elsewhere = std::ranges::any_of(alignUsers, [&](const TPatternRef& Other) {
    return Other.BankIndex != self.BankIndex ||
           PrgData[static_cast<std::size_t>(PatternFrameAddress(PrgData, Other) + 2)] != records.AlignNumber();
  });
  DetachAlign->setVisible(elsewhere);
  DetachAlign->setToolTip(
      tr("スプライト配置データ $%1 を空き領域に写し、このバンクの配置データ番号 $%1 "
         "だけがそれを読むようにします。パターン定義は共有のままです。")
          .arg(Hex2(records.AlignNumber())));
}

void TEditSpritePanel::DetachAlignClick() {
  const TPatternRef pattern = CurrentPattern();
  const int number = CurrentRecords().AlignNumber();
  PushRelocation([&](const TFreeMap& Free) { return ::DetachAlignData(RomDocument, Free, pattern); },
                 tr("%1 のスプライト配置データ $%2 の切り離し")
                     .arg(PatternName(pattern), Hex2(number)));
  Refresh();
}

void TEditSpritePanel::AddSpriteClick() {
  const TPatternRef pattern = CurrentPattern();
  const TSpritePattern records = CurrentRecords();
  const int rows = SpriteRows(records);
  if (rows < 1) return;
  const int selected = SelectedSprite();
  // A copy of the selected sprite (else the last) goes right after it, to be moved from there.
  const auto from = static_cast<std::size_t>(selected >= 0 && selected < rows ? selected : rows - 1);
  const TSpriteEntry entry{records.Frame[3 + 2 * from], records.Frame[4 + 2 * from], records.Align[2 * from],
                           records.Align[2 * from + 1]};
  const int at = static_cast<int>(from) + 1;
  const int before = FForm.RomUndoStack->count();
  ResizeRecords([&](const TFreeMap& Free) { return InsertSprite(RomDocument, Free, pattern, at, entry); },
                tr("%1 スプライト$%2 の追加").arg(PatternName(pattern), Hex2(at)));
  Refresh();
  if (FForm.RomUndoStack->count() != before) Sprites->selectRow(at);
}

void TEditSpritePanel::RemoveSpriteClick() {
  const TPatternRef pattern = CurrentPattern();
  const int sprite = SelectedSprite();
  if (sprite < 0) return;
  ResizeRecords([&](const TFreeMap& Free) { return ::RemoveSprite(RomDocument, Free, pattern, sprite); },
                tr("%1 スプライト$%2 の削除").arg(PatternName(pattern), Hex2(sprite)));
  Sprites->clearSelection();
  Refresh();
}

void TEditSpritePanel::ResizeRecords(const std::function<TRomPlan(const TFreeMap&)>& Edit, const QString& Text) {
  const TPatternRef pattern = CurrentPattern();
  const TSpritePattern records = CurrentRecords();
  // Everyone who reads either record sees the edit, unless this pattern takes copies first.
  auto users = PatternsUsingFrame(PrgData, records.FrameAddress);
  for (const TPatternRef& other : PatternsUsingAlign(PrgData, records.AlignAddress))
    if (std::ranges::find(users, other) == users.end()) users.push_back(other);
  auto plan = Edit;
  if (users.size() > 1) {
    const QString noun = tr("パターン", "used by 2 or more of them");
    switch (AskSharedEdit(static_cast<int>(users.size()), noun, tr("このパターンだけ"))) {
      case TSharedEdit::Cancel: return;
      case TSharedEdit::ThisOnly:
        plan = [&](const TFreeMap& Free) {
          return ThenOnTheCopy([&](const TFreeMap& F) { return ::DetachPattern(RomDocument, F, pattern); }, Edit,
                               Free);
        };
        break;
      case TSharedEdit::All: break;
    }
  }
  PushRelocation(plan, Text);
}

void TEditSpritePanel::DetachPatternClick() {
  const TPatternRef pattern = CurrentPattern();
  PushRelocation([&](const TFreeMap& Free) { return ::DetachPattern(RomDocument, Free, pattern); },
                 tr("%1 をこのパターンだけに").arg(PatternName(pattern)));
  Refresh();
}

void TEditSpritePanel::SayEditShared(int Column) {
  const TPatternRef self = CurrentPattern();
  const TSpritePattern records = CurrentRecords();
  if (Column == ColY || Column == ColX)
    SayShared(tr("スプライト配置データ $%1").arg(Hex2(records.AlignNumber())),
              PatternsUsingAlign(PrgData, records.AlignAddress), self);
  else
    SayShared(tr("パターン定義 (%1)").arg(Address(records.FrameAddress)),
              PatternsUsingFrame(PrgData, records.FrameAddress), self);
}

void TEditSpritePanel::PickSprite(int Sprite) {
  if (Sprite < 0) {
    Sprites->clearSelection();
    return;
  }
  Sprites->selectRow(Sprite);
  Sprites->scrollToItem(Sprites->item(Sprite, ColNumber));
}

void TEditSpritePanel::ShowNudgeKeys() {
  QLabel* legend[2] = {FForm.Label4, FForm.Label5};
  const bool nudging = FActive && FForm.ImgSprite->hasFocus() && SelectedSprite() >= 0;
  if (nudging == !FLegend[0].isNull()) return;
  for (int i = 0; i < 2; ++i) {
    QLabel* label = legend[i];
    if (nudging) {
      FLegend[i] = label->text();
      FLegendWidth[i] = label->width();
      ShowNudgeKey(i);
    } else {
      label->setText(FLegend[i]);
      label->resize(FLegendWidth[i], label->height());
      FLegend[i] = QString();
    }
  }
}

void TEditSpritePanel::ShowNudgeKey(int Line) {
  QLabel* label = Line == 0 ? FForm.Label4 : FForm.Label5;
  FNudge[Line] = Line == 0 ? tr("矢印: スプライトを移動 (Shift: 8ドット)") : tr("Tab/Shift+Tab: 次/前のスプライト");
  label->setText(FNudge[Line]);
  label->resize(label->sizeHint().width(), label->height());
}

void TEditSpritePanel::RenewNudgeKeys() {
  if (FLegend[0].isNull()) return;
  QLabel* legend[2] = {FForm.Label4, FForm.Label5};
  for (int i = 0; i < 2; ++i) {
    // A legend the window wrote again in the new language is the one to give back.
    if (legend[i]->text() != FNudge[i]) FLegend[i] = legend[i]->text();
    ShowNudgeKey(i);
  }
}

bool TEditSpritePanel::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == FForm.ImgSprite && FActive) return PictureEvent(Event);
  return QWidget::eventFilter(Watched, Event);
}

bool TEditSpritePanel::PictureEvent(QEvent* Event) {
  TImageEx* picture = FForm.ImgSprite;
  switch (Event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(Event);
      if (mouse->button() != Qt::LeftButton) return false;
      const QPoint at = mouse->position().toPoint();
      int x = 0, y = 0;
      const TSpritePattern records = CurrentRecords();
      // The whole 8 x 8 cell picks, transparent pixels too: a 16-pixel sprite is hard to hit pixel by pixel.
      const int sprite = picture->PicturePixel(at.x(), at.y(), x, y) && SpritePage.Trace.Drawn
                             ? SpriteAtCell(records.Align, SpriteRows(records), x, y)
                             : -1;
      if (sprite < 0 || sprite >= Sprites->rowCount()) {
        // Off the sprites the press is the page's, as without the panel.
        Sprites->clearSelection();
        return false;
      }
      picture->setFocus(Qt::MouseFocusReason);
      PickSprite(sprite);
      FDragSprite = sprite;
      FDragFrom = at;
      FDragY = records.Align[2 * static_cast<std::size_t>(sprite)];
      FDragX = records.Align[2 * static_cast<std::size_t>(sprite) + 1];
      FDragGesture = TRomCommand::NewGesture();
      FDragIndex = FForm.RomUndoStack->index();
      FDragAnswer.reset();
      return true;
    }
    case QEvent::MouseMove: {
      if (FDragSprite < 0) return false;
      const auto* mouse = static_cast<QMouseEvent*>(Event);
      // The question's box may have taken the release.
      if (FDragAnswer && !(mouse->buttons() & Qt::LeftButton)) {
        FDragSprite = -1;
        return false;
      }
      // Cancelled: the drag moves nothing more, and its release is still its own.
      if (FDragAnswer == TSharedEdit::Cancel) return false;
      const QPoint at = mouse->position().toPoint();
      const int scale = std::max(1, picture->width() / 256);
      // Whole picture pixels between the press and here, rounded towards minus infinity on both.
      const auto pixel = [scale](int Client) { return Client >= 0 ? Client / scale : -((-Client + scale - 1) / scale); };
      // A shared AlignData asks at the first move that changes it, and that answer holds for the drag.
      const auto answer =
          MoveSprite(FDragSprite, FDragY + pixel(at.y()) - pixel(FDragFrom.y()),
                     FDragX + pixel(at.x()) - pixel(FDragFrom.x()), FDragGesture, FDragAnswer);
      if (answer) FDragAnswer = answer;
      // The trace follows the pointer as before.
      return false;
    }
    case QEvent::MouseButtonRelease:
      if (FDragSprite < 0) return false;
      FDragSprite = -1;
      if (FForm.RomUndoStack->index() != FDragIndex) SayEditShared(ColY);
      return true;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
      ShowNudgeKeys();
      return false;
    case QEvent::KeyPress: {
      const auto* press = static_cast<QKeyEvent*>(Event);
      const int key = VirtualKeyOf(press->key());
      const int sprite = SelectedSprite();
      const int rows = Sprites->rowCount();
      if ((press->key() == Qt::Key_Tab || press->key() == Qt::Key_Backtab) && rows > 0) {
        // Through the sprites, round from the last to the first, rather than to the next control.
        const bool back = press->key() == Qt::Key_Backtab;
        PickSprite(sprite < 0 ? (back ? rows - 1 : 0) : (sprite + (back ? rows - 1 : 1)) % rows);
        return true;
      }
      const int step = press->modifiers() & Qt::ShiftModifier ? 8 : 1;
      const int dy = key == VK_UP ? -step : key == VK_DOWN ? step : 0;
      const int dx = key == VK_LEFT ? -step : key == VK_RIGHT ? step : 0;
      if (dx == 0 && dy == 0) return false;  // the rest as for any control
      if (sprite < 0) {
        // With no sprite to nudge the arrows step the page's number, as with the window focused.
        FForm.FormKeyDown(key);
        return true;
      }
      const TSpritePattern records = CurrentRecords();
      const auto at = static_cast<std::size_t>(sprite);
      const int before = FForm.RomUndoStack->index();
      MoveSprite(sprite, records.Align[2 * at] + dy, records.Align[2 * at + 1] + dx, 0);
      if (FForm.RomUndoStack->index() != before) SayEditShared(ColY);
      return true;
    }
    default: return false;
  }
}
