#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "host/qt/MessageBoxes.h"
#include "tests/host/qt/QtTestApplication.h"

namespace {

struct TSeen {
  QString Title;
  QString Text;
  QMessageBox::Icon Icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons Buttons;
  bool Modal = false;
};

// Reads the box once it is up, then presses its OK button.
TSeen ShowAndClose(TQtMessageBoxes& boxes, const std::string& caption, const std::string& text, TMessageKind kind) {
  TSeen seen;
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
      // Not a message box: close it so the test fails instead of hanging.
      if (modal) modal->close();
      return;
    }
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons(), box->isModal()};
    box->button(QMessageBox::Ok)->click();
  });
  boxes.Show(caption, text, kind);
  return seen;
}

TEST(QtMessageBoxes, ModalWithOneOkButtonCaptionTextAndIcon) {
  TestApplication();
  TQtMessageBoxes boxes;
  const TSeen info = ShowAndClose(boxes, "TARVELIN Sprite Viewer", "ファイルを開けません", TMessageKind::Information);
  EXPECT_EQ(info.Title, QString("TARVELIN Sprite Viewer"));
  EXPECT_EQ(info.Text, QString::fromUtf8("ファイルを開けません"));
  EXPECT_EQ(info.Icon, QMessageBox::Information);
  EXPECT_EQ(info.Buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_TRUE(info.Modal);
  const TSeen error = ShowAndClose(boxes, "caption", "broken", TMessageKind::Error);
  EXPECT_EQ(error.Icon, QMessageBox::Critical);
  EXPECT_EQ(error.Title, QString("caption"));
}

}  // namespace
