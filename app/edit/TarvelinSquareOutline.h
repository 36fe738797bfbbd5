#pragma once
// An 8 x 8 square framed in magenta over a picture, at the picture's scale: the selected
// sprite over the composed picture, the workbench's tile over the pattern table.

#include <QWidget>

class TSquareOutline : public QWidget {
public:
  // Size: the picture's side at scale 1. Wraps: a square over an edge goes on at the other one.
  TSquareOutline(QWidget* Picture, int Size, bool Wraps);
  // Top-left picture pixel of the square.
  void Show(int X, int Y);

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void paintEvent(QPaintEvent*) override;

private:
  int FSize;
  bool FWraps;
  int FX = 0;
  int FY = 0;
};
