#pragma once
// The overview sheet: a bank's 512 sprite patterns and 256 animations as grids
// of thumbnails drawn by the viewer's renderer, each labelled with its number
// (an animation by its first frame and its frame count). Thumbnails are drawn
// only when they come into view; a bounded number of them is kept while the
// sheet is open, each until the look changes, another ROM is loaded (or a load
// fails), or an edit changes a byte it was drawn from. A click opens the number
// on its page.

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
  // Thumbnails kept per tab, the least recently shown forgotten first: 64 KiB
  // each, 8 MiB a tab, more than a large screen shows at once.
  static constexpr int KeptThumbnails = 128;

  // What a click does: opens number Number of bank BankIndex on the Kind page.
  using TOpenItem = std::function<void(TKind Kind, int BankIndex, int Number)>;
  // Parent is the window that a click brings back to the front.
  TSheetDialog(QWidget* Parent, TOpenItem OpenItem);
  ~TSheetDialog() override;
  // Shows the sheet of bank BankIndex (a bank box item) on the Kind tab.
  void Open(int BankIndex, TKind Kind);
  // Forgets every thumbnail; the visible ones are drawn again.
  void Reload();
  // Thumbnails drawn since the last reload or bank change.
  int DrawnCount() const;
  // Thumbnails held now.
  int KeptCount() const;
  // Items drawn on a coloured ground (what a comparison found changed); none while unset.
  using TMarked = std::function<bool(TKind Kind, int BankIndex, int Number)>;
  void SetMarks(TMarked Marked);

  QComboBox* BankBox = nullptr;
  QTabWidget* Tabs = nullptr;
  QListView* PatternList = nullptr;
  QListView* AnimationList = nullptr;

 protected:
  void hideEvent(QHideEvent* Event) override;
  void changeEvent(QEvent* Event) override;

 private:
  void SetBank(int BankIndex);
  // The title, the tabs, the bank's label and the animations' frame counts in the language installed now.
  void Retranslate();
  class QLabel* BankLabel = nullptr;
  TOpenItem FOpenItem;
  int FListener = 0;
  TSheetModel* FPatterns = nullptr;
  TSheetModel* FAnimations = nullptr;
};
