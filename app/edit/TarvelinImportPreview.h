#pragma once
// Before an import is written: the tiles that change (before and after) and
// their count, the pixels given the nearest colour, and the other patterns
// that show those tiles.

#include <QDialog>
#include <QString>
#include <vector>

#include "import/TarvelinImport.h"

class QDialogButtonBox;

class TImportPreviewDialog : public QDialog {
  Q_OBJECT

public:
  TImportPreviewDialog(QWidget* Parent, const QString& Title, const TImportResult& Result, const QString& SharedNotice);
  QDialogButtonBox* Buttons = nullptr;
};

// Before and after of the tiles Result changes, at most MaxTiles pairs, in palette group 0.
inline constexpr int PreviewMaxTiles = 64;
QImage ImportPreviewPicture(const TChrData& ChrData, const TImportResult& Result);
