#include "app/edit/TarvelinEditPanel.h"

#include <QEvent>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyle>
#include <QUndoStack>
#include <algorithm>
#include <limits>
#include <memory>

#include "app/edit/TarvelinEditAnimation.h"
#include "app/edit/TarvelinEditChr.h"
#include "app/edit/TarvelinEditSprite.h"
#include "app/edit/TarvelinEditTile.h"
#include "app/edit/TarvelinFreeSpaceDialog.h"
#include "app/edit/TarvelinRomCommands.h"
#include "app/window/TarvelinTabAnimation.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "host/Application.h"

TEditPanel::TEditPanel(TForm1& Form) : QDockWidget(&Form), FForm(Form) {
  setObjectName("EditPanel");
  FParts = new QStackedWidget(this);
  SpritePanel = new TEditSpritePanel(Form, FParts);
  AnimationPanel = new TEditAnimationPanel(Form, FParts);
  FParts->addWidget(AnimationPanel);
  FParts->addWidget(SpritePanel);
  // Scrolled rather than taller than the pages.
  auto* area = new QScrollArea(this);
  area->setWidgetResizable(true);
  area->setWidget(FParts);
  setWidget(area);
  Retranslate();
  Follow();
}

void TEditPanel::changeEvent(QEvent* Event) {
  if (Event->type() == QEvent::LanguageChange && !FGone) {
    Retranslate();
    // Both parts, the hidden one too: their notices and items are made of texts.
    if (IsOpen()) {
      SpritePanel->Refresh();
      AnimationPanel->Refresh();
      // Once the layouts have taken the new texts.
      QMetaObject::invokeMethod(this, [this] { Widen(1); }, Qt::QueuedConnection);
    }
  }
  QDockWidget::changeEvent(Event);
}

void TEditPanel::Widen(int Again) {
  if (FGone || !FDocked || !IsOpen()) return;
  const auto* area = static_cast<const QScrollArea*>(widget());
  const int extra = FParts->minimumSizeHint().width() - area->viewport()->width();
  if (extra <= 0) return;
  // The window grows by what the panel needs, so the pages keep their size, as when it opens.
  const int width = FForm.width();
  int target = width + extra;
  // Zoomed, as far as the screen allows, as when it opens.
  if (const QScreen* screen = FForm.screen(); screen && FForm.GetZoom() > 1)
    target = std::min(target, std::max(width, screen->availableGeometry().width() -
                                                  (FForm.frameGeometry().width() - width)));
  FGrowth += target - width;
  FForm.resize(target, FForm.height());
  FForm.resizeDocks({this}, {this->width() + target - width}, Qt::Horizontal);
  // Wider, the texts may take fewer lines and another scroll bar may come or go.
  if (Again > 0) QMetaObject::invokeMethod(this, [this, Again] { Widen(Again - 1); }, Qt::QueuedConnection);
}

void TEditPanel::Retranslate() {
  // The title first: a new title resets the menu item's text to it.
  setWindowTitle(tr(Title));
  toggleViewAction()->setText(tr("編集パネル(&P)"));
  if (auto* item = FForm.findChild<QAction*>("FreeSpace1")) item->setText(FreeSpaceItemText());
}

void TEditPanel::Follow() {
  connect(this, &QDockWidget::visibilityChanged, this, [this](bool Visible) {
    if (FGone) return;
    Resize(Visible);
    Refresh();
    if (Visible) QMetaObject::invokeMethod(this, [this] { Widen(1); }, Qt::QueuedConnection);
  });
  connect(FForm.PageControl1, &QTabWidget::currentChanged, this, [this] {
    if (FGone) return;
    Refresh();
    // The part shown for the first time takes its size then.
    QMetaObject::invokeMethod(this, [this] { Widen(1); }, Qt::QueuedConnection);
  });
  // Every redraw of the sprite page shows in the panel; the animation panel follows the timer.
  TPicture& sprite = FForm.ImgSprite->GetPicture();
  sprite.SetOnChange([panel = QPointer<TEditPanel>(this), repaint = sprite.GetOnChange()](TObject* Sender) {
    if (repaint) repaint(Sender);
    if (panel && !panel->FGone && panel->IsOpen() && panel->FForm.PageControl1->currentWidget() == panel->FForm.TabSprite)
      panel->SpritePanel->Refresh();
  });
  connect(&FForm.AnimationTimer, &QTimer::timeout, this, [this] {
    if (!FGone && IsOpen() && FForm.PageControl1->currentWidget() == FForm.TabAnimation) AnimationPanel->Follow();
  });
  // After the window's own listener, which has redrawn the pages by then: on the sprite
  // page its new picture has refreshed the panel already, through the hook above.
  FListener = RomDocument.Subscribe([this](const TRomChange& Change) {
    if (!Change.Empty() && IsOpen() && FForm.PageControl1->currentWidget() != FForm.TabSprite) Refresh();
  });
  connect(&FForm, &TForm1::Destroying, this, [this] { LetGo(); });
}

void TEditPanel::Resize(bool Visible) {
  const bool docked = Visible && !isFloating();
  if (docked == FDocked || !FForm.isVisible()) return;
  FDocked = docked;
  const int width = FForm.width();
  // Wide enough for its contents, a vertical scroll bar included.
  const auto* area = static_cast<const QScrollArea*>(widget());
  const int separator = FForm.style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent);
  const auto wanted = [&] {
    return std::max(sizeHint().width(), FParts->minimumSizeHint().width() + 2 * area->frameWidth() +
                                            style()->pixelMetric(QStyle::PM_ScrollBarExtent));
  };
  // The width the window may take on the screen.
  const QScreen* screen = FForm.screen();
  const int room = screen ? screen->availableGeometry().width() - (FForm.frameGeometry().width() - width)
                          : std::numeric_limits<int>::max();
  int panel = 0;
  if (docked) {
    // The CHR tools beside the records where the screen has room for them and the pages; under them elsewhere.
    SpritePanel->SetSideBySide(true);
    panel = wanted();
    if (FForm.PageControl1->width() + panel + separator > room) {
      SpritePanel->SetSideBySide(false);
      panel = wanted();
    }
  }
  int target = docked ? width + panel + separator : width - FGrowth;
  // Zoomed, the pages have a size of their own: the window makes room for all of it, as far as the screen allows.
  if (FForm.GetZoom() > 1) {
    const QWidget* central = FForm.centralWidget();
    const bool tall = central && central->height() < FForm.PageControl1->height();
    const int pages = FForm.PageControl1->width() + (tall ? FForm.style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0);
    target = std::min(std::max(target, (docked ? target - width : 0) + pages), std::max(width, room));
  }
  FGrowth = docked ? target - width : 0;
  FForm.resize(target, FForm.height());
  if (docked) FForm.resizeDocks({this}, {panel}, Qt::Horizontal);
}

void TEditPanel::LetGo() {
  FGone = true;
  RomDocument.Unsubscribe(FListener);
  // The pictures outlive the window's own part for a moment; no event of theirs reaches the panel then.
  FForm.ImgSprite->removeEventFilter(SpritePanel);
  FForm.ImgPatternTable->removeEventFilter(SpritePanel->Pencil);
  FForm.ImgPatternTable->removeEventFilter(SpritePanel->Tile);
}

void InstallEditPanel(TForm1& Form) {
  auto* panel = new TEditPanel(Form);
  Form.EditPanel = panel;
  Form.addDockWidget(Qt::RightDockWidgetArea, panel);
  // The window offers no menu of its docks on a right click: it had none before the panel.
  Form.setContextMenuPolicy(Qt::NoContextMenu);
  panel->hide();
  Form.ShowEditPanel1 = panel->toggleViewAction();
  Form.ShowEditPanel1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  Form.Edit1->addSeparator();
  Form.Edit1->addAction(Form.ShowEditPanel1);
  InstallFreeSpaceDialog(Form);
}

void TEditPanel::Refresh() {
  const bool sprite = FForm.PageControl1->currentWidget() == FForm.TabSprite;
  FParts->setCurrentWidget(sprite ? static_cast<QWidget*>(SpritePanel) : AnimationPanel);
  SpritePanel->SetActive(IsOpen() && sprite);
  if (!IsOpen()) return;
  if (sprite)
    SpritePanel->Refresh();
  else
    AnimationPanel->Refresh();
}

void PushRomEdit(const std::function<TRomChange()>& Plan, int Id, const QString& Text, int Gesture) {
  try {
    TRomChange change = Plan();
    if (change.Idle()) return;
    if (Gesture == 0) Gesture = TRomCommand::NewGesture();
    std::unique_ptr<TRomCommand> command;
    switch (Id) {
      case RomCommandMoveSprite:
        command = std::make_unique<TMoveSpriteCommand>(RomDocument, std::move(change), Text, Gesture);
        break;
      case RomCommandPaintTile:
        command = std::make_unique<TPaintTileCommand>(RomDocument, std::move(change), Text, Gesture);
        break;
      default:
        command = std::make_unique<TEditFieldCommand>(RomDocument, std::move(change), Text, Gesture);
        break;
    }
    Form1->RomUndoStack->push(command.release());
  } catch (const Exception& E) {
    Application.ShowException(E);
  }
}

TPatternRef CurrentPattern() {
  return {std::clamp(Form1->CmbSBankSelect->currentIndex(), 0, 2),
          256 * std::clamp(Form1->CmbSSpriteNumHigh->currentIndex(), 0, 1) + SpritePage.SpriteNumLow};
}

TAnimationRef CurrentAnimation() {
  return {std::clamp(Form1->CmbABankSelect->currentIndex(), 0, 2), AnimationPage.AnimationNumber};
}

QString PatternName(TPatternRef Pattern) {
  return QString("%1:$%2")
      .arg(BankNames[static_cast<std::size_t>(Pattern.BankIndex)])
      .arg(Pattern.Number, 3, 16, QChar('0'))
      .toUpper();
}

int ParseHexByte(const QString& Text) {
  bool ok = false;
  const QString text = Text.trimmed();
  const int value = text.toInt(&ok, 16);
  return ok && text.size() <= 2 && !text.startsWith('-') && !text.startsWith('+') ? value : -1;
}
