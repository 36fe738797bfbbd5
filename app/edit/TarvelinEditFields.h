#pragma once
// Editors that take only what a record can hold and say why when they refuse:
// the sprite table's cells and the panel's one-line fields.

#include <QPoint>
#include <QStyledItemDelegate>
#include <functional>

#include "rom/TarvelinFieldInput.h"

class QLineEdit;

// Shows why What refused Text (None: a key turned away), and what it takes, in the window's status bar.
void SayRefused(const QString& What, const QString& Text, TInputRefusal Why, const QString& Takes);

// The sprite table's editors: two hex digits for the tile, a choice of 0-3 for
// the palette group, hex or signed decimal for Y and X; the flips toggle only
// on a click that both starts and ends on the check box, or on Space. What is
// accepted goes to the item as its byte under Qt::UserRole.
class TSpriteCellDelegate : public QStyledItemDelegate {
public:
  TSpriteCellDelegate(int TileColumn, int GroupColumn, int YColumn, int XColumn, QObject* Parent);

  QWidget* createEditor(QWidget* Parent, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;
  void setEditorData(QWidget* Editor, const QModelIndex& Index) const override;
  void setModelData(QWidget* Editor, QAbstractItemModel* Model, const QModelIndex& Index) const override;
  // The check box of a flip cell, in the view's viewport.
  QRect CheckRect(const QStyleOptionViewItem& Option, const QModelIndex& Index) const;
  // Notes where presses on the view's viewport land, which the view does not always pass on.
  void WatchPresses(QWidget* Viewport);

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  bool editorEvent(QEvent* Event, QAbstractItemModel* Model, const QStyleOptionViewItem& Option,
                   const QModelIndex& Index) override;

private:
  int FTile, FGroup, FY, FX;
  QPoint FPressed{-1, -1};  // where the last press on the viewport was
  QWidget* FViewport = nullptr;
};

// Puts Edit back to its record's value (through Restore) when it loses the
// focus or takes Return holding a text its validator does not accept, and says why.
// Parse gives the refusal; What and Takes name the field and what it takes, in
// the language of the moment.
void GuardField(QLineEdit* Edit, std::function<QString()> What, std::function<QString()> Takes,
                std::function<TFieldInput(const QString&)> Parse, std::function<void()> Restore);
