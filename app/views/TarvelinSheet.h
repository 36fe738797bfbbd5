#pragma once
// The overview sheet: a bank's 512 sprite patterns and 256 animations as grids
// of thumbnails drawn by the viewer's renderer, each labelled with its number
// (an animation by its first frame and its frame count). Thumbnails are drawn
// only when they come into view, and kept until the ROM or the look changes.
// A click opens the number on its page.

#include <QDialog>
#include <functional>

class QComboBox;
class QListView;
class QTabWidget;
class TSheetModel;

class TSheetDialog : public QDialog {
  Q_OBJECT

 public:
  enum TKind { Patterns, Animations };
  static constexpr int Thumbnail = 128;  // the 256 x 256 picture at half size

  // What a click does: opens number Number of bank BankIndex on the Kind page.
  using TOpenItem = std::function<void(TKind Kind, int BankIndex, int Number)>;
  // Parent is the window that a click brings back to the front.
  TSheetDialog(QWidget* Parent, TOpenItem OpenItem);
  // Shows the sheet of bank BankIndex (a bank box item) on the Kind tab.
  void Open(int BankIndex, TKind Kind);
  // Forgets every thumbnail; the visible ones are drawn again.
  void Reload();
  // Thumbnails drawn since the last reload or bank change.
  int DrawnCount() const;
  // Items drawn on a coloured ground (what a comparison found changed); none while unset.
  using TMarked = std::function<bool(TKind Kind, int BankIndex, int Number)>;
  void SetMarks(TMarked Marked);

  QComboBox* BankBox = nullptr;
  QTabWidget* Tabs = nullptr;
  QListView* PatternList = nullptr;
  QListView* AnimationList = nullptr;

 private:
  void SetBank(int BankIndex);
  TOpenItem FOpenItem;
  TSheetModel* FPatterns = nullptr;
  TSheetModel* FAnimations = nullptr;
};
