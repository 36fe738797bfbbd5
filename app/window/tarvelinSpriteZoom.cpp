// The window's zoom: the three pictures at an integer scale, drawn nearest-neighbour
// by the DIB's own Draw, the controls beside and below them moved out of their way;
// pages that do not fit the window scroll.

#include <QActionGroup>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <algorithm>
#include <memory>

#include "app/window/tarvelinSprite.h"

namespace {

// The pictures' designed place: 256 x 256 from (8, 72); what lies right of
// them or below them moves by the growth of one picture.
constexpr int PictureSize = 256;
constexpr int PictureRight = 8 + PictureSize;
constexpr int PicturesTop = 72;
constexpr int PicturesBottom = PicturesTop + PictureSize;

}  // namespace

void TForm1::CreateViewMenu() {
  View1 = new QMenu(MainMenu1);
  MainMenu1->addMenu(View1);
  auto* group = new QActionGroup(this);
  for (int z = 1; z <= MaxZoom; ++z) {
    QAction* item = View1->addAction(QString("×%1(&%1)").arg(z));
    item->setCheckable(true);
    item->setChecked(z == 1);
    group->addAction(item);
    connect(item, &QAction::triggered, this, [this, z] { Handle([this, z] { SetZoom(z); }); });
    ZoomItems.push_back(item);
  }
  View1->addSeparator();
  ZoomIn1 = View1->addAction(QString());
  // Ctrl+= as well, for keyboards where + needs Shift.
  ZoomIn1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  connect(ZoomIn1, &QAction::triggered, this, [this] { Handle([this] { SetZoom(FZoom + 1); }); });
  ZoomOut1 = View1->addAction(QString());
  ZoomOut1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
  connect(ZoomOut1, &QAction::triggered, this, [this] { Handle([this] { SetZoom(FZoom - 1); }); });

  for (QWidget* page : {TabAnimation, TabSprite})
    for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      FDesign.emplace_back(control, control->geometry());
  FDesignSize = size();
  FDesignPages = PageControl1->size();
}

void TForm1::SetZoom(int Value) {
  Value = std::clamp(Value, 1, MaxZoom);
  ZoomItems[static_cast<std::size_t>(Value - 1)]->setChecked(true);
  if (Value == FZoom) return;
  FZoom = Value;
  const int grow = PictureSize * (Value - 1);
  // What docks beside the pages keeps its width: the window grows or shrinks by the pages' change only.
  const int docks = centralWidget() ? std::max(0, width() - centralWidget()->width()) : 0;
  PlaceControls();
  // Drawn at its natural size at scale 1, as designed; stretched to its control above.
  ImgAnimation->SetStretch(Value > 1);

  PlacePages();

  // The window grows to the pages' new size, within the screen; beyond it the pages scroll.
  const QScreen* screen = this->screen();
  if (Value == 1 || !screen) {
    resize((Value == 1 ? FDesignSize : FDesignSize + QSize(2 * grow, grow)) + QSize(docks, 0));
    return;
  }
  const QRect available = screen->availableGeometry();
  const QSize frame = frameGeometry().size() - geometry().size();
  resize((FDesignSize + QSize(2 * grow + docks, grow)).boundedTo(available.size() - frame));
  // Moved back onto the screen where it grew past the right or bottom edge.
  QRect place = frameGeometry();
  place.moveRight(std::min(place.right(), available.right()));
  place.moveBottom(std::min(place.bottom(), available.bottom()));
  move(std::max(place.left(), available.left()), std::max(place.top(), available.top()));
}

void TForm1::PlaceControls() {
  const int grow = PictureSize * (FZoom - 1);
  for (const auto& [control, design] : FDesign) {
    QRect place = design;
    if (control == ImgAnimation || control == ImgSprite || control == ImgPatternTable)
      place.setSize({PictureSize * FZoom, PictureSize * FZoom});
    if (control == SBAFrame) place.setWidth(design.width() + grow);
    place.translate(design.left() >= PictureRight && design.top() >= PicturesTop ? grow : 0,
                    design.top() >= PicturesBottom ? grow : 0);
    control->setGeometry(place);
  }
}

bool TForm1::PagesScroll() const {
  return FZoom > 1 || width() < FDesignSize.width() || height() < FDesignSize.height();
}

void TForm1::PlacePages() {
  const bool scroll = PagesScroll();
  // Reparenting loses the focus; it goes back where it was.
  QWidget* focused = focusWidget();
  const bool shown = !PageControl1->isHidden();
  if (!scroll && FZoomArea) {
    // Handed back by the window, the area goes when the page control is out of it.
    const std::unique_ptr<QWidget> area(takeCentralWidget());
    FZoomArea->takeWidget();
    FZoomArea = nullptr;
    setCentralWidget(PageControl1);
  } else if (scroll && !FZoomArea) {
    takeCentralWidget();
    FZoomArea = new QScrollArea(this);
    FZoomArea->setFrameShape(QFrame::NoFrame);
    // The arrow keys belong to the pages, not to the scroll bars.
    FZoomArea->setFocusPolicy(Qt::NoFocus);
    FZoomArea->setWidget(PageControl1);
    setCentralWidget(FZoomArea);
  }
  if (!scroll) {
    PageControl1->setMinimumSize(0, 0);
    PageControl1->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else if (FZoom == 1) {
    // At scale 1 the pages fill what room there is, never less than designed.
    FZoomArea->setWidgetResizable(true);
    PageControl1->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    PageControl1->setMinimumSize(FDesignPages);
  } else {
    FZoomArea->setWidgetResizable(false);
    const int grow = PictureSize * (FZoom - 1);
    PageControl1->setFixedSize(FDesignPages + QSize(2 * grow, grow));
  }
  PageControl1->setVisible(shown);
  if (focused && focusWidget() != focused) focused->setFocus(Qt::OtherFocusReason);
}

void TForm1::resizeEvent(QResizeEvent* Event) {
  QMainWindow::resizeEvent(Event);
  // A window made smaller than designed scrolls its pages at scale 1 too.
  if (FZoom == 1 && FDesignSize.isValid()) PlacePages();
}
