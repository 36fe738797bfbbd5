#pragma once
// The viewer's picture control: the framework's image control with events for
// the pointer entering and leaving it.

#include "host/Classes.h"
#include "host/qt/Image.h"

class TImageEx : public TImage, public TObject {
  Q_OBJECT
  // Lets the stored layout set the inherited stretch setting.
  Q_PROPERTY(bool Stretch READ GetStretch WRITE SetStretch)

public:
  using TImage::TImage;
  const char* ClassName() const override { return "TImageEx"; }

  // Called with the control as sender when the pointer leaves or enters it.
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnMouseEnter;

  virtual void DoMouseEnter();
  virtual void DoMouseLeave();

protected:
  void MouseEnter() override { DoMouseEnter(); }
  void MouseLeave() override { DoMouseLeave(); }
};
