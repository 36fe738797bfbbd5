#include "host/qt/MessageBoxes.h"

#include <QMessageBox>

void TQtMessageBoxes::Show(const std::string& Caption, const std::string& Text, TMessageKind Kind) {
  QMessageBox box(Kind == TMessageKind::Error ? QMessageBox::Critical : QMessageBox::Information,
                  QString::fromStdString(Caption), QString::fromStdString(Text), QMessageBox::Ok, FParent.data());
  box.exec();
}
