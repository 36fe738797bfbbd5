// ROM editing in the window: the editor panel, 元に戻す / やり直し with the
// step's name, the caption's mark for unsaved edits, and the pages redrawn from
// the ROM whenever the document reports a change.

#include <QMenuBar>
#include <QStyle>
#include <QUndoStack>

#include "app/edit/TarvelinEditAnimation.h"
#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinEditSprite.h"
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
  Undo1 = RomUndoStack->createUndoAction(this, "元に戻す");
  Undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  Redo1 = RomUndoStack->createRedoAction(this, "やり直し");
  Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  Edit1->insertActions(Copy1, {Undo1, Redo1});
  Edit1->insertSeparator(Copy1);

  EditPanel = new TEditPanel(*this);
  addDockWidget(Qt::RightDockWidgetArea, EditPanel);
  // The window offers no menu of its docks on a right click: it had none before the panel.
  setContextMenuPolicy(Qt::NoContextMenu);
  EditPanel->hide();
  ShowEditPanel1 = EditPanel->toggleViewAction();
  ShowEditPanel1->setText("編集パネル(&P)");
  ShowEditPanel1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  Edit1->addSeparator();
  Edit1->addAction(ShowEditPanel1);
  // Docked, the panel opens beside the pages, which keep their size, and takes its width back when closed.
  connect(EditPanel, &QDockWidget::visibilityChanged, this, [this](bool Visible) {
    const bool docked = Visible && !EditPanel->isFloating();
    if (docked != (FEditPanelGrowth > 0) && isVisible()) {
      const int growth =
          docked ? EditPanel->sizeHint().width() + style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent) : -FEditPanelGrowth;
      FEditPanelGrowth = docked ? growth : 0;
      resize(width() + growth, height());
    }
    EditPanel->Refresh();
  });
  connect(PageControl1, &QTabWidget::currentChanged, this, [this] { EditPanel->Refresh(); });
  // Every redraw of the sprite page shows in the panel; the animation panel follows the timer.
  TPicture& sprite = ImgSprite->GetPicture();
  sprite.SetOnChange([this, repaint = sprite.GetOnChange()](TObject* Sender) {
    if (repaint) repaint(Sender);
    if (EditPanel->IsOpen() && PageControl1->currentWidget() == TabSprite) EditPanel->SpritePanel->Refresh();
  });
  connect(&AnimationTimer, &QTimer::timeout, this, [this] {
    if (EditPanel->IsOpen() && PageControl1->currentWidget() == TabAnimation) EditPanel->AnimationPanel->Follow();
  });

  for (QAction* item : {SaveRom1, SaveRomAs1})
    connect(item, &QAction::triggered, this, [this] { ShowUnsavedMark(); });

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
    if (EditPanel->IsOpen()) EditPanel->Refresh();
  });
}

void TForm1::ShowUnsavedMark() {
  QString caption = windowTitle();
  if (caption.endsWith(UnsavedMark)) caption.chop(static_cast<int>(qstrlen(UnsavedMark)));
  if (RomDocument.IsModified()) caption += UnsavedMark;
  setWindowTitle(caption);
}

void TForm1::DestroyEditItems() {
  RomDocument.Unsubscribe(FEditListener);
  EditPanel->disconnect(this);
  PageControl1->disconnect(this);
}
