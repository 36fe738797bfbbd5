#include "app/views/ImageEx.h"

#include <QMouseEvent>

TImageEx::TImageEx(QWidget* Parent) : TImage(Parent) {
  // Moves are reported with no button held too.
  setMouseTracking(true);
}

void TImageEx::DoMouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TImageEx::DoMouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

bool TImageEx::PicturePixel(int X, int Y, int& PictureX, int& PictureY) {
  TPicture& picture = GetPicture();
  if (!picture.GetGraphic() || X < 0 || Y < 0 || X >= width() || Y >= height()) return false;
  const int w = picture.GetWidth(), h = picture.GetHeight();
  if (w <= 0 || h <= 0) return false;
  if (GetStretch()) {
    PictureX = static_cast<int>(static_cast<long long>(X) * w / width());
    PictureY = static_cast<int>(static_cast<long long>(Y) * h / height());
    return true;
  }
  if (GetCenter() || X >= w || Y >= h) return false;
  PictureX = X;
  PictureY = Y;
  return true;
}

void TImageEx::mouseMoveEvent(QMouseEvent* Event) {
  const QPoint at = Event->position().toPoint();
  if (OnMouseMove) OnMouseMove(this, at.x(), at.y());
  TImage::mouseMoveEvent(Event);
}

void TImageEx::mousePressEvent(QMouseEvent* Event) {
  const QPoint at = Event->position().toPoint();
  if (Event->button() == Qt::LeftButton && OnMouseDown) OnMouseDown(this, at.x(), at.y());
  // Left unaccepted, the press reaches the page beneath, which takes the focus as before.
  TImage::mousePressEvent(Event);
}
