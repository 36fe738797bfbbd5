#include "app/edit/TarvelinFreeSpaceDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QUndoStack>
#include <QVBoxLayout>

#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinRomCommands.h"
#include "app/window/tarvelinSprite.h"
#include "host/Application.h"
#include "rom/TarvelinFreeSpace.h"
#include "sprite/TarvelinFreeSpaceSave.h"
#include "sprite/tarvelinSpriteGlobals.h"

namespace {

constexpr int FirstPrgOffset = 16;
constexpr int PrgEnd = static_cast<int>(sizeof(TPrgData));

QString RangeText(const TFileRange& Range) {
  return TFreeSpaceDialog::tr("%1 (%n バイト)", nullptr, Range.Size()).arg(QString::fromStdString(FormatRange(Range)));
}

int ParseOffset(const QString& Text) {
  bool ok = false;
  QString text = Text.trimmed();
  if (text.startsWith('$')) text.remove(0, 1);
  const int value = text.toInt(&ok, 16);
  return ok && !text.isEmpty() && text.size() <= 5 ? value : -1;
}

void PushFree(TFreeMap Free, const QString& Text) {
  Form1->RomUndoStack->push(new TFreeSpaceCommand(RomDocument, std::move(Free), Text));
}

}  // namespace

TFreeSpaceDialog::TFreeSpaceDialog(TForm1& Form) : QDialog(&Form), FForm(Form) {
  setObjectName("FreeSpaceDialog");
  auto* layout = new QVBoxLayout(this);
  FRangesLabel = new QLabel(this);
  layout->addWidget(FRangesLabel);
  Ranges = new QListWidget(this);
  layout->addWidget(Ranges, 1);
  auto* add = new QGridLayout;
  const auto* hex = new QRegularExpressionValidator(QRegularExpression("\\$?[0-9A-Fa-f]{1,5}"), this);
  EditFirst = new QLineEdit(this);
  EditLast = new QLineEdit(this);
  for (QLineEdit* edit : {EditFirst, EditLast}) edit->setValidator(hex);
  AddRange = new QPushButton(this);
  RemoveRange = new QPushButton(this);
  FFirstLabel = new QLabel(this);
  FLastLabel = new QLabel(this);
  add->addWidget(FFirstLabel, 0, 0);
  add->addWidget(EditFirst, 0, 1);
  add->addWidget(FLastLabel, 0, 2);
  add->addWidget(EditLast, 0, 3);
  add->addWidget(AddRange, 0, 4);
  add->addWidget(RemoveRange, 1, 4);
  layout->addLayout(add);
  Detect = new QPushButton(this);
  layout->addWidget(Detect);
  Proposals = new QListWidget(this);
  layout->addWidget(Proposals, 1);
  Accept = new QPushButton(this);
  layout->addWidget(Accept);
  connect(AddRange, &QPushButton::clicked, this, [this] { AddClick(); });
  connect(RemoveRange, &QPushButton::clicked, this, [this] { RemoveClick(); });
  connect(Detect, &QPushButton::clicked, this, [this] { DetectClick(); });
  connect(Accept, &QPushButton::clicked, this, [this] { AcceptClick(); });
  connect(Form.RomUndoStack, &QUndoStack::indexChanged, this, [this] { Refresh(); });
  // Ctrl+Z and Ctrl+Y undo and redo here as in the window.
  addActions({Form.Undo1, Form.Redo1});
  Retranslate();
  Refresh();
}

void TFreeSpaceDialog::changeEvent(QEvent* Event) {
  if (Event->type() == QEvent::LanguageChange) {
    Retranslate();
    // The ranges' items count bytes in words.
    Refresh();
    for (int i = 0; i < Proposals->count(); ++i) {
      const auto range = Proposals->item(i)->data(Qt::UserRole).toPoint();
      Proposals->item(i)->setText(RangeText({range.x(), range.y()}));
    }
  }
  QDialog::changeEvent(Event);
}

void TFreeSpaceDialog::Retranslate() {
  setWindowTitle(tr("空き領域"));
  FRangesLabel->setText(tr("書き換えてよい範囲 (ファイル位置):"));
  AddRange->setText(tr("追加"));
  RemoveRange->setText(tr("削除"));
  FFirstLabel->setText(tr("最初:"));
  FLastLabel->setText(tr("最後:"));
  Detect->setText(tr("検出"));
  Accept->setText(tr("受け入れる"));
}

void TFreeSpaceDialog::Refresh() {
  const int row = Ranges->currentRow();
  Ranges->clear();
  for (const TFileRange& range : RomDocument.FreeSpace().Ranges()) Ranges->addItem(RangeText(range));
  Ranges->setCurrentRow(std::min(row, Ranges->count() - 1));
  // A proposal already free is no longer one.
  for (int i = Proposals->count() - 1; i >= 0; --i) {
    const auto range = Proposals->item(i)->data(Qt::UserRole).toPoint();
    if (RomDocument.FreeSpace().Overlaps({range.x(), range.y()})) delete Proposals->takeItem(i);
  }
  const bool loaded = RomDocument.IsLoaded();
  for (QWidget* control : std::initializer_list<QWidget*>{AddRange, RemoveRange, Detect, Accept})
    control->setEnabled(loaded);
}

void TFreeSpaceDialog::AddClick() {
  const int first = ParseOffset(EditFirst->text());
  const int last = ParseOffset(EditLast->text());
  try {
    if (first < FirstPrgOffset || last < first || last >= PrgEnd)
      throw ERomEditError(
          tr("空き領域は PRG-ROM ($00010-$4000F) の中で、最初の位置から最後の位置までです").toStdString());
    const TFileRange range{first, last + 1};
    // Bytes a pointer reaches are data, whatever they look like.
    if (IsReached(ReachedRanges(PrgData), range))
      throw ERomEditError(
          tr("%1 はポインタが指すデータと重なります").arg(QString::fromStdString(FormatRange(range))).toStdString());
    TFreeMap free = RomDocument.FreeSpace();
    free.Add(range);
    PushFree(free, tr("空き領域 %1 の追加").arg(QString::fromStdString(FormatRange(range))));
  } catch (const Exception& E) {
    Application.ShowException(E);
  }
}

void TFreeSpaceDialog::RemoveClick() {
  const int row = Ranges->currentRow();
  const auto& ranges = RomDocument.FreeSpace().Ranges();
  if (row < 0 || row >= static_cast<int>(ranges.size())) return;
  const TFileRange range = ranges[static_cast<std::size_t>(row)];
  TFreeMap free = RomDocument.FreeSpace();
  free.Remove(range);
  PushFree(free, tr("空き領域 %1 の削除").arg(QString::fromStdString(FormatRange(range))));
}

void TFreeSpaceDialog::DetectClick() {
  Proposals->clear();
  for (const TFileRange& range : DetectFreeSpace(PrgData, RomDocument.FreeSpace())) {
    auto* item = new QListWidgetItem(RangeText(range), Proposals);
    item->setData(Qt::UserRole, QPoint(range.First, range.End));
  }
  if (Proposals->count() > 0) Proposals->setCurrentRow(0);
}

void TFreeSpaceDialog::AcceptClick() {
  QListWidgetItem* item = Proposals->currentItem();
  if (!item) return;
  const auto point = item->data(Qt::UserRole).toPoint();
  const TFileRange range{point.x(), point.y()};
  TFreeMap free = RomDocument.FreeSpace();
  free.Add(range);
  PushFree(free, tr("空き領域 %1 の追加").arg(QString::fromStdString(FormatRange(range))));
}

void InstallFreeSpaceDialog(TForm1& Form) {
  // The map goes beside the ROM with each save, written before the save counts as done.
  RomDocument.SetSaveCompanion([](const std::string& Name) { WriteFreeSpaceBeside(RomDocument, Name); });
  auto* item = new QAction(FreeSpaceItemText(), &Form);
  item->setObjectName("FreeSpace1");
  // In the menu only while the panel is open: closed, the window's menu is as it was.
  QObject::connect(Form.ShowEditPanel1, &QAction::toggled, item, [&Form, item](bool Open) {
    if (Open)
      Form.Edit1->addAction(item);
    else
      Form.Edit1->removeAction(item);
  });
  // The panel hides as the window goes, after the window's own part.
  QObject::connect(&Form, &TForm1::Destroying, item,
                   [&Form, item] { QObject::disconnect(Form.ShowEditPanel1, nullptr, item, nullptr); });
  QObject::connect(item, &QAction::triggered, &Form, [&Form] {
    auto* dialog = static_cast<TFreeSpaceDialog*>(Form.findChild<QDialog*>("FreeSpaceDialog"));
    if (!dialog) dialog = new TFreeSpaceDialog(Form);
    dialog->Refresh();
    dialog->show();
    dialog->raise();
  });
}

QString FreeSpaceItemText() { return TFreeSpaceDialog::tr("空き領域(&F)..."); }
