#pragma once
// Message boxes as the viewer shows them: modal, one OK button.

#include <QPointer>
#include <QWidget>

#include "host/Application.h"

class TQtMessageBoxes final : public IMessageBoxes {
 public:
  // Boxes are centred on Parent while it lives.
  explicit TQtMessageBoxes(QWidget* Parent = nullptr) : FParent(Parent) {}
  void Show(const std::string& Caption, const std::string& Text, TMessageKind Kind) override;

 private:
  QPointer<QWidget> FParent;
};
