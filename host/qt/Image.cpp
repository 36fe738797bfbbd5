#include "host/qt/Image.h"

#include <QPainter>

#include "host/Canvas.h"
#include "host/Exception.h"
#include "host/qt/PainterDevice.h"

TImage::TImage(QWidget* Parent) : QWidget(Parent), FPicture(std::make_unique<TPicture>()) {
  FPicture->SetOnChange([this](TObject*) { update(); });
}

TImage::~TImage() = default;

void TImage::SetStretch(bool Value) {
  if (Value == FStretch) return;
  FStretch = Value;
  update();
}

void TImage::SetCenter(bool Value) {
  if (Value == FCenter) return;
  FCenter = Value;
  update();
}

QSize TImage::sizeHint() const {
  if (!FPicture->GetGraphic()) return QWidget::sizeHint();
  return {FPicture->GetWidth(), FPicture->GetHeight()};
}

TRect TImage::DestRect() const {
  if (FStretch) return Rect(0, 0, width(), height());
  const int w = FPicture->GetWidth(), h = FPicture->GetHeight();
  const int x = FCenter ? (width() - w) / 2 : 0, y = FCenter ? (height() - h) / 2 : 0;
  return Rect(x, y, x + w, y + h);
}

void TImage::paintEvent(QPaintEvent*) {
  TGraphic* graphic = FPicture->GetGraphic();
  if (!graphic) return;
  QPainter painter(this);
  TPainterDC dc(painter);
  TCanvas canvas;
  canvas.SetHandle(dc.Handle());
  try {
    canvas.StretchDraw(DestRect(), graphic);
  } catch (const Exception&) {
    // An exception must not cross Qt's event loop; the control stays unpainted.
  }
  canvas.SetHandle({});
}

void TImage::enterEvent(QEnterEvent*) {
  MouseEnter();
}

void TImage::leaveEvent(QEvent*) {
  MouseLeave();
}
