#include "app/edit/TarvelinEditFields.h"

#include <QApplication>
#include <QCoreApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpressionValidator>
#include <QStatusBar>

#include "app/window/tarvelinSprite.h"

// The context of the fields' messages.
class TEditFields {
  Q_DECLARE_TR_FUNCTIONS(TEditFields)
};

namespace {

QString Reason(const QString& Text, TInputRefusal Why) {
  switch (Why) {
    case TInputRefusal::Empty: return TEditFields::tr("値が入力されていません");
    case TInputRefusal::NotHex: return TEditFields::tr("「%1」は16進数ではありません").arg(Text);
    case TInputRefusal::TooLong: return TEditFields::tr("「%1」は2桁を超えています").arg(Text);
    case TInputRefusal::NotDecimal: return TEditFields::tr("「%1」の符号の後が10進数ではありません").arg(Text);
    case TInputRefusal::OutOfRange: return TEditFields::tr("「%1」は範囲外です").arg(Text);
    case TInputRefusal::None: break;
  }
  return {};
}

// What a cell takes: a tile's byte, or a Y or X offset.
QString Takes(bool Offset) {
  return Offset ? TEditFields::tr("16進数 00-FF か 10進数 -128〜+127") : TEditFields::tr("16進数 00-FF");
}
// The sprite table's columns as the messages name them.
QString CellName(int Column, int TileColumn, int YColumn) {
  return Column == TileColumn ? TEditFields::tr("タイル") : Column == YColumn ? QString("Y") : QString("X");
}

// Watches one line edit for the moments its text is given up.
class TFieldGuard : public QObject {
public:
  TFieldGuard(QLineEdit* Edit, std::function<QString()> What, std::function<QString()> Takes,
              std::function<TFieldInput(const QString&)> Parse, std::function<void()> Restore)
      : QObject(Edit), FEdit(Edit), FWhat(std::move(What)), FTakes(std::move(Takes)), FParse(std::move(Parse)),
        FRestore(std::move(Restore)) {
    Edit->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Watched != FEdit) return false;
    const bool given = Event->type() == QEvent::FocusOut ||
                       (Event->type() == QEvent::KeyPress &&
                        (static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Return ||
                         static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Enter));
    // An acceptable text goes on to editingFinished; Qt sends none for the rest.
    if (!given || !FEdit->isModified() || FEdit->hasAcceptableInput()) return false;
    const QString text = FEdit->text();
    TFieldInput input = FParse(text);
    SayRefused(FWhat(), text, input.Accepted() ? TInputRefusal::OutOfRange : input.Refusal, FTakes());
    FEdit->setModified(false);
    FRestore();
    return Event->type() == QEvent::KeyPress;
  }

private:
  QLineEdit* FEdit;
  std::function<QString()> FWhat, FTakes;
  std::function<TFieldInput(const QString&)> FParse;
  std::function<void()> FRestore;
};

}  // namespace

void SayRefused(const QString& What, const QString& Text, TInputRefusal Why, const QString& Takes) {
  if (!Form1) return;
  const QString message = Why == TInputRefusal::None
                              ? TEditFields::tr("%1: %2 で入力してください").arg(What, Takes)
                              : TEditFields::tr("%1: %2。%3 で入力してください").arg(What, Reason(Text, Why), Takes);
  Form1->statusBar()->showMessage(message, 10000);
}

void GuardField(QLineEdit* Edit, std::function<QString()> What, std::function<QString()> Takes,
                std::function<TFieldInput(const QString&)> Parse, std::function<void()> Restore) {
  new TFieldGuard(Edit, std::move(What), std::move(Takes), std::move(Parse), std::move(Restore));
}

TSpriteCellDelegate::TSpriteCellDelegate(int TileColumn, int GroupColumn, int YColumn, int XColumn, QObject* Parent)
    : QStyledItemDelegate(Parent), FTile(TileColumn), FGroup(GroupColumn), FY(YColumn), FX(XColumn) {}

QWidget* TSpriteCellDelegate::createEditor(QWidget* Parent, const QStyleOptionViewItem& Option,
                                           const QModelIndex& Index) const {
  const int column = Index.column();
  if (column == FGroup) {
    auto* box = new QComboBox(Parent);
    box->addItems({"0", "1", "2", "3"});
    return box;
  }
  if (column != FTile && column != FY && column != FX) return QStyledItemDelegate::createEditor(Parent, Option, Index);
  auto* edit = new QLineEdit(Parent);
  const bool offset = column != FTile;
  edit->setValidator(new QRegularExpressionValidator(
      QRegularExpression(offset ? "[0-9A-Fa-f]{0,2}|[-+][0-9]{0,3}" : "[0-9A-Fa-f]{0,2}"), edit));
  // A key the validator turns away is said at once, not only at the commit.
  QObject::connect(edit, &QLineEdit::inputRejected, edit, [what = CellName(column, FTile, FY), offset] {
    SayRefused(what, {}, TInputRefusal::None, Takes(offset));
  });
  return edit;
}

void TSpriteCellDelegate::setEditorData(QWidget* Editor, const QModelIndex& Index) const {
  const int byte = Index.data(Qt::UserRole).toInt();
  if (auto* box = qobject_cast<QComboBox*>(Editor))
    box->setCurrentIndex(byte & 3);
  else if (auto* edit = qobject_cast<QLineEdit*>(Editor))
    edit->setText(QString("%1").arg(byte & 0xFF, 2, 16, QChar('0')).toUpper());
  else
    QStyledItemDelegate::setEditorData(Editor, Index);
}

void TSpriteCellDelegate::setModelData(QWidget* Editor, QAbstractItemModel* Model, const QModelIndex& Index) const {
  if (auto* box = qobject_cast<QComboBox*>(Editor)) {
    Model->setData(Index, box->currentIndex(), Qt::UserRole);
    return;
  }
  auto* edit = qobject_cast<QLineEdit*>(Editor);
  if (!edit) return QStyledItemDelegate::setModelData(Editor, Model, Index);
  const std::string text = edit->text().toStdString();
  const bool offset = Index.column() != FTile;
  const TFieldInput input = offset ? ParseOffsetField(text) : ParseHexField(text);
  if (!input.Accepted()) {
    SayRefused(CellName(Index.column(), FTile, FY), edit->text(), input.Refusal, Takes(offset));
    return;
  }
  Model->setData(Index, input.Value, Qt::UserRole);
}

QRect TSpriteCellDelegate::CheckRect(const QStyleOptionViewItem& Option, const QModelIndex& Index) const {
  QStyleOptionViewItem option(Option);
  initStyleOption(&option, Index);
  const QWidget* view = option.widget;
  QStyle* style = view ? view->style() : QApplication::style();
  return style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
}

void TSpriteCellDelegate::WatchPresses(QWidget* Viewport) {
  FViewport = Viewport;
  Viewport->installEventFilter(this);
}

bool TSpriteCellDelegate::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched != FViewport) return QStyledItemDelegate::eventFilter(Watched, Event);
  if (Event->type() == QEvent::MouseButtonPress) FPressed = static_cast<QMouseEvent*>(Event)->position().toPoint();
  return false;
}

bool TSpriteCellDelegate::editorEvent(QEvent* Event, QAbstractItemModel* Model, const QStyleOptionViewItem& Option,
                                      const QModelIndex& Index) {
  const auto type = Event->type();
  const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                     type == QEvent::MouseButtonDblClick;
  if (!mouse || !(Index.flags() & Qt::ItemIsUserCheckable)) return QStyledItemDelegate::editorEvent(Event, Model, Option, Index);
  auto* click = static_cast<QMouseEvent*>(Event);
  const QPoint at = click->position().toPoint();
  const QRect box = CheckRect(Option, Index);
  if (type == QEvent::MouseButtonPress) {
    FPressed = at;
    return false;  // the row is selected as for any cell
  }
  // A press elsewhere that ends on the box, or a double click, selects and flips nothing.
  if (type == QEvent::MouseButtonDblClick || click->button() != Qt::LeftButton || !box.contains(at) ||
      !box.contains(FPressed)) {
    FPressed = {-1, -1};
    return type == QEvent::MouseButtonDblClick && box.contains(at);
  }
  FPressed = {-1, -1};
  const bool on = Index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
  return Model->setData(Index, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}
