// ROM editing in the window: 元に戻す / やり直し with the step's name, the
// caption's mark for unsaved edits, and the pages redrawn from the ROM whenever
// the document reports a change. The editor panel installs itself over this.

#include <QMenuBar>
#include <QUndoStack>

#include "app/window/TarvelinTabAnimation.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"

namespace {

constexpr const char* UnsavedMark = " *";

// Whether the change writes inside the animation record at Address (its longest extent).
bool Touches(const TRomChange& Change, int Address) {
  return std::ranges::any_of(Change.Writes, [Address](const TByteWrite& W) {
    return W.Offset >= Address && W.Offset < Address + 2 + 128;
  });
}

}  // namespace

void TForm1::CreateEditItems() {
  // Made here rather than by the stack, whose actions keep the prefix they were made with.
  Undo1 = new QAction(this);
  connect(Undo1, &QAction::triggered, RomUndoStack, &QUndoStack::undo);
  Undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  Redo1 = new QAction(this);
  connect(Redo1, &QAction::triggered, RomUndoStack, &QUndoStack::redo);
  for (auto signal : {&QUndoStack::canUndoChanged, &QUndoStack::canRedoChanged})
    connect(RomUndoStack, signal, this, [this] { ShowUndoTexts(); });
  for (auto signal : {&QUndoStack::undoTextChanged, &QUndoStack::redoTextChanged})
    connect(RomUndoStack, signal, this, [this] { ShowUndoTexts(); });
  Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  Edit1->insertActions(Copy1, {Undo1, Redo1});
  Edit1->insertSeparator(Copy1);

  for (QAction* item : {SaveRom1, SaveRomAs1})
    connect(item, &QAction::triggered, this, [this] { ShowUnsavedMark(); });
  // Steps that change the free map alone change no byte the document reports.
  connect(RomUndoStack, &QUndoStack::indexChanged, this, [this] { ShowUnsavedMark(); });

  FEditListener = RomDocument.Subscribe([this](const TRomChange& Change) {
    ShowUnsavedMark();
    if (Change.Empty()) return;  // a load: the open command redraws the pages
    RefreshSpritePage();
    if (Touches(Change, AnimationPage.AnimationAddress)) {
      ShowAnimationData();
      AnimationPage.DrawnFrame = -1;
    } else if (AnimationPage.Playing) {
      AnimationPage.DrawnFrame = -1;
    } else if (AnimationPage.AnimationDIB) {
      DrawAnimationFrame(SBAFrame->value());
    }
  });
}

void TForm1::ShowUnsavedMark() {
  QString caption = windowTitle();
  if (caption.endsWith(UnsavedMark)) caption.chop(static_cast<int>(qstrlen(UnsavedMark)));
  if (RomDocument.IsModified()) caption += UnsavedMark;
  setWindowTitle(caption);
}

void TForm1::DestroyEditItems() {
  emit Destroying();
  RomDocument.Unsubscribe(FEditListener);
  PageControl1->disconnect(this);
  // The stack clears itself as it goes, after the window's own part.
  RomUndoStack->disconnect(this);
}
