#pragma once
// The framework's image control: a widget that paints one picture through the
// graphic's own Draw, at its natural size or stretched to the control.

#include <QWidget>
#include <memory>

#include "host/Graphics.h"

class TImage : public QWidget {
  Q_OBJECT

 public:
  explicit TImage(QWidget* Parent = nullptr);
  ~TImage() override;

  // The picture shown; assigning a graphic to it repaints the control.
  TPicture& GetPicture() { return *FPicture; }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  bool GetStretch() const { return FStretch; }
  void SetStretch(bool Value);
  // Centres an unstretched picture in the control.
  bool GetCenter() const { return FCenter; }
  void SetCenter(bool Value);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* Event) override;
  void enterEvent(QEnterEvent* Event) override;
  void leaveEvent(QEvent* Event) override;
  // Called once each time the pointer crosses into or out of the control.
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}

 private:
  // Where the picture goes in the client area.
  TRect DestRect() const;

  std::unique_ptr<TPicture> FPicture;
  bool FStretch = false;
  bool FCenter = false;
};
