#pragma once
// ファイル > 比較...: what differs between the image and another ROM (or the
// image with a patch applied), one row per item; a double click (or Enter)
// opens the pattern or animation, a tile opens the first pattern drawing it.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "rom/TarvelinRomCompare.h"

class QListWidget;
class QLabel;

class TCompareDialog : public QDialog {
public:
  // Open(kind, bank, number) shows an item in the window.
  TCompareDialog(QWidget* Parent, std::function<void(const TRomDifference&)> Open);
  void Show(const std::string& OtherName, const std::vector<TRomDifference>& Differences);
  QListWidget* List = nullptr;
  QLabel* Summary = nullptr;
  // The row's text: kind, bank and number in hex, the addresses.
  static QString RowText(const TRomDifference& Difference);

protected:
  void changeEvent(QEvent* Event) override;

private:
  // The title, the summary and the rows in the language installed now.
  void Retranslate();
  std::vector<TRomDifference> FDifferences;
  std::string FOtherName;
  std::function<void(const TRomDifference&)> FOpen;
};

// The other side of a comparison: the ROM at Path, or the image patched by it.
// False when it cannot be had (a message was shown for a bad ROM; a bad patch raises).
bool LoadComparedImage(const std::string& Path, TPrgData& Prg, TChrData& Chr);
