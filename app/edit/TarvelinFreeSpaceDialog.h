#pragma once
// 編集 > 空き領域...: the ROM's declared free space as a list of file-offset
// ranges, ranges added and removed by hand, and detection's proposals accepted
// one at a time. Every change is an undo step of the window's ROM history.

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TForm1;

class TFreeSpaceDialog : public QDialog {
  Q_OBJECT

public:
  explicit TFreeSpaceDialog(TForm1& Form);

  QListWidget* Ranges = nullptr;
  QLineEdit* EditFirst = nullptr;
  QLineEdit* EditLast = nullptr;
  QPushButton* AddRange = nullptr;
  QPushButton* RemoveRange = nullptr;
  QPushButton* Detect = nullptr;
  // What detection proposes, not yet accepted.
  QListWidget* Proposals = nullptr;
  QPushButton* Accept = nullptr;

  // Rewrites the list from the document's map.
  void Refresh();

protected:
  void changeEvent(QEvent* Event) override;

private:
  void Retranslate();
  void AddClick();
  void RemoveClick();
  void DetectClick();
  void AcceptClick();

  TForm1& FForm;
  QLabel* FRangesLabel = nullptr;
  QLabel* FFirstLabel = nullptr;
  QLabel* FLastLabel = nullptr;
};

// Adds 空き領域(F)... to the 編集 menu, shown while the editor panel is open.
void InstallFreeSpaceDialog(TForm1& Form);
// The menu item's text in the current language.
QString FreeSpaceItemText();
