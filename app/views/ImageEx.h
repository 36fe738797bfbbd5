#pragma once
// The viewer's picture control: the framework's image control with events for
// the pointer entering, moving over and leaving it, and for a button going down on it.

#include <functional>

#include "host/Classes.h"
#include "host/qt/Image.h"

// Sender and the pointer's position in the control's client area.
using TMouseMoveEvent = std::function<void(TObject* Sender, int X, int Y)>;

class TImageEx : public TImage, public TObject {
  Q_OBJECT
  // Lets the stored layout set the inherited stretch setting.
  Q_PROPERTY(bool Stretch READ GetStretch WRITE SetStretch)

public:
  explicit TImageEx(QWidget* Parent = nullptr);
  const char* ClassName() const override { return "TImageEx"; }

  // Called with the control as sender when the pointer leaves or enters it.
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnMouseEnter;
  // Called as the pointer moves over the control, and when the left button goes down on it.
  TMouseMoveEvent OnMouseMove;
  TMouseMoveEvent OnMouseDown;

  virtual void DoMouseEnter();
  virtual void DoMouseLeave();

  // The picture pixel shown at client point (X, Y); false where no picture pixel is.
  bool PicturePixel(int X, int Y, int& PictureX, int& PictureY);

protected:
  void MouseEnter() override { DoMouseEnter(); }
  void MouseLeave() override { DoMouseLeave(); }
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
};
