#include "app/edit/TarvelinSquareOutline.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

TSquareOutline::TSquareOutline(QWidget* Picture, int Size, bool Wraps) : QWidget(Picture), FSize(Size), FWraps(Wraps) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  hide();
  // A zoom resizes the picture under the outline, which keeps its place on the picture.
  parentWidget()->installEventFilter(this);
}

void TSquareOutline::Show(int X, int Y) {
  FX = X;
  FY = Y;
  setGeometry(parentWidget()->rect());
  show();
  raise();
  update();
}

bool TSquareOutline::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == parentWidget() && Event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QWidget::eventFilter(Watched, Event);
}

void TSquareOutline::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int scale = std::max(1, width() / FSize);
  painter.setPen(QPen(QColor(255, 0, 255), 1));
  for (int dy : {0, -FSize})
    for (int dx : {0, -FSize})
      if ((dx == 0 && dy == 0) || FWraps)
        painter.drawRect((FX + dx) * scale, (FY + dy) * scale, 8 * scale - 1, 8 * scale - 1);
}
