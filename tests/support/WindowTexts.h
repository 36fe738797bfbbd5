#pragma once
// Every text a user can read in a widget tree: labels, buttons, boxes' items, tabs, titles,
// tool tips and status tips, menus and their items (submenus included), and the first rows of
// item views; each with where it was found, for the tests of the window's languages.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTabWidget>
#include <QWidget>
#include <map>
#include <string>

namespace window_texts {

// Kana, CJK ideographs and punctuation, full-width forms.
inline bool HasJapanese(const QString& Text) {
  for (const QChar c : Text) {
    const char16_t u = c.unicode();
    if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF) ||
        (u >= 0xFF00 && u <= 0xFFEF))
      return true;
  }
  return false;
}

// Where -> text. Actions in Skip (a language's own name) are left out.
using TTexts = std::map<std::string, QString>;

class TTextWalk {
public:
  explicit TTextWalk(QSet<const QAction*> Skip = {}) : FSkip(std::move(Skip)) {}

  TTextWalk& Widget(const QWidget* Root) {
    AddWidget(Root, Name(Root));
    // Unnamed widgets (a box's buttons) by their place among the children.
    int n = 0;
    for (const QWidget* w : Root->findChildren<const QWidget*>()) {
      std::string where = Name(w);
      // Appended: GCC 12 at -O3 warns falsely (-Wrestrict) on a literal joined to a string.
      if (w->objectName().isEmpty()) where.append(1, '#').append(std::to_string(n++));
      AddWidget(w, where);
    }
    return *this;
  }
  TTextWalk& Add(const std::string& Where, const QString& Text) {
    if (!Text.isEmpty()) FTexts[Where] = Text;
    return *this;
  }
  const TTexts& Texts() const { return FTexts; }
  // The texts that hold a Japanese character.
  TTexts Japanese() const {
    TTexts found;
    for (const auto& [where, text] : FTexts)
      if (HasJapanese(text)) found[where] = text;
    return found;
  }

private:
  static std::string Name(const QObject* Object) {
    const QString name = Object->objectName();
    return (name.isEmpty() ? QString(Object->metaObject()->className()) : name).toStdString();
  }
  void Tips(const QWidget* W, const std::string& Where) {
    Add(Where + ".toolTip", W->toolTip());
    Add(Where + ".statusTip", W->statusTip());
    Add(Where + ".whatsThis", W->whatsThis());
    if (W->isWindow()) Add(Where + ".windowTitle", W->windowTitle());
  }
  void AddAction(const QAction* A, const std::string& Where) {
    if (FSkip.contains(A) || A->isSeparator()) return;
    Add(Where + ".text", A->text());
    Add(Where + ".toolTip", A->toolTip());
    Add(Where + ".statusTip", A->statusTip());
    if (const QMenu* menu = A->menu()) AddMenu(menu, Where);
  }
  void AddMenu(const QMenu* Menu, const std::string& Where) {
    Add(Where + ".title", Menu->title());
    int n = 0;
    for (const QAction* a : Menu->actions()) AddAction(a, Where + "/" + std::to_string(n++));
  }
  void AddWidget(const QWidget* W, const std::string& Where) {
    Tips(W, Where);
    if (const auto* label = qobject_cast<const QLabel*>(W)) Add(Where + ".text", label->text());
    if (const auto* button = qobject_cast<const QAbstractButton*>(W)) Add(Where + ".text", button->text());
    if (const auto* edit = qobject_cast<const QLineEdit*>(W)) {
      Add(Where + ".text", edit->text());
      Add(Where + ".placeholder", edit->placeholderText());
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(W)) Add(Where + ".title", group->title());
    if (const auto* box = qobject_cast<const QComboBox*>(W))
      for (int i = 0; i < box->count(); ++i) Add(Where + ".item" + std::to_string(i), box->itemText(i));
    if (const auto* tabs = qobject_cast<const QTabWidget*>(W))
      for (int i = 0; i < tabs->count(); ++i) {
        Add(Where + ".tab" + std::to_string(i), tabs->tabText(i));
        Add(Where + ".tabToolTip" + std::to_string(i), tabs->tabToolTip(i));
      }
    if (const auto* view = qobject_cast<const QAbstractItemView*>(W); view && view->model()) {
      const QAbstractItemModel* model = view->model();
      for (int c = 0; c < model->columnCount(); ++c)
        Add(Where + ".header" + std::to_string(c), model->headerData(c, Qt::Horizontal).toString());
      for (int r = 0; r < std::min(model->rowCount(), 64); ++r)
        for (int c = 0; c < model->columnCount(); ++c)
          for (const int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole)})
            Add(Where + ".cell" + std::to_string(r) + "," + std::to_string(c) + "/" + std::to_string(role),
                model->index(r, c).data(role).toString());
    }
    if (const auto* bar = qobject_cast<const QMenuBar*>(W)) {
      int n = 0;
      for (const QAction* a : bar->actions()) AddAction(a, Where + "/" + std::to_string(n++));
    }
    int n = 0;
    if (!qobject_cast<const QMenuBar*>(W) && !qobject_cast<const QMenu*>(W))
      for (const QAction* a : W->actions()) AddAction(a, Where + ".action" + std::to_string(n++));
  }

  QSet<const QAction*> FSkip;
  TTexts FTexts;
};

}  // namespace window_texts
