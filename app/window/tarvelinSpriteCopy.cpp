// 編集(E) > コピー(C): the picture under the pointer, else the page's main picture,
// at the window's zoom, on the clipboard as a packed DIB (CF_DIB).

#include <QMenuBar>
#include <memory>

#include "app/views/ImageEx.h"
#include "sprite/TarvelinPictureFiles.h"
#include "sprite/TarvelinPictureLook.h"
#include "app/window/TarvelinTabAnimation.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "dib/ZrDIB.h"
#include "host/Clipboard.h"

void TForm1::CreateEditMenu() {
  Edit1 = new QMenu(MainMenu1);
  MainMenu1->insertMenu(View1->menuAction(), Edit1);
  Copy1 = Edit1->addAction(QString());
  Copy1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  Copy1->setEnabled(false);
  connect(Copy1, &QAction::triggered, this, [this] { Handle([this] { Copy1Click(); }); });
}

void TForm1::Copy1Click() {
  TZrDIB* picture = FTraced ? dynamic_cast<TZrDIB*>(FTraced->GetPicture().GetGraphic()) : nullptr;
  if (!picture) {
    picture = PageControl1->currentWidget() == TabSprite ? SpritePage.SpriteDIB.get() : AnimationPage.AnimationDIB.get();
  }
  if (!picture) return;  // nothing shown yet
  const std::unique_ptr<TZrDIB> scaled = FZoom == 1 ? nullptr : ScaledPicture(*picture, FZoom);
  Clipboard().Assign(scaled ? scaled.get() : picture);
  if (ViewOptions.Transparent && FTraced != ImgPatternTable) OfferTransparentCopy(scaled ? *scaled : *picture);
}
