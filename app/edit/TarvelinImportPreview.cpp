#include "app/edit/TarvelinImportPreview.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <map>

#include "import/TarvelinImportColour.h"
#include "sprite/TarvelinDrawSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"

namespace {

constexpr int TileScale = 4;
constexpr int PairsPerRow = 4;
constexpr int Gap = 6;

void DrawTile(QImage& Picture, int Left, int Top, const std::array<std::uint8_t, 16>& Tile) {
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const int bit = 0x80 >> x;
      const int colour = ((Tile[static_cast<std::size_t>(y)] & bit) ? 1 : 0) + ((Tile[static_cast<std::size_t>(y + 8)] & bit) ? 2 : 0);
      const QRgb rgb = 0xFF000000 | ShownRgb(SpritePaletteSet[static_cast<std::size_t>(colour)]);
      for (int dy = 0; dy < TileScale; ++dy)
        for (int dx = 0; dx < TileScale; ++dx) Picture.setPixel(Left + x * TileScale + dx, Top + y * TileScale + dy, rgb);
    }
}

}  // namespace

QImage ImportPreviewPicture(const TChrData& ChrData, const TImportResult& Result) {
  // The tiles as they are, and as the writes leave them.
  std::map<int, std::pair<std::array<std::uint8_t, 16>, std::array<std::uint8_t, 16>>> tiles;
  for (const int offset : Result.Tiles) {
    if (static_cast<int>(tiles.size()) == PreviewMaxTiles) break;
    std::array<std::uint8_t, 16> bytes{};
    std::copy_n(ChrData.begin() + offset, 16, bytes.begin());
    tiles.emplace(offset, std::pair{bytes, bytes});
  }
  for (const TByteWrite& write : Result.Change.Writes) {
    const int offset = write.Offset - ChrDataFileOffset;
    const auto tile = tiles.find(offset / 16 * 16);
    if (tile != tiles.end()) tile->second.second[static_cast<std::size_t>(offset % 16)] = write.New;
  }
  const int side = 8 * TileScale;
  const int pairWidth = 2 * side + 3 * Gap;
  const int count = static_cast<int>(tiles.size());
  const int rows = (count + PairsPerRow - 1) / PairsPerRow;
  QImage picture(std::max(1, std::min(count, PairsPerRow) * pairWidth), std::max(1, rows * (side + Gap)),
                 QImage::Format_RGB32);
  picture.fill(Qt::white);
  int i = 0;
  for (const auto& [offset, pair] : tiles) {
    const int left = (i % PairsPerRow) * pairWidth, top = (i / PairsPerRow) * (side + Gap);
    DrawTile(picture, left, top, pair.first);
    DrawTile(picture, left + side + Gap, top, pair.second);
    ++i;
  }
  return picture;
}

TImportPreviewDialog::TImportPreviewDialog(QWidget* Parent, const QString& Title, const TImportResult& Result,
                                           const QString& SharedNotice)
    : QDialog(Parent) {
  setWindowTitle(Title);
  auto* layout = new QVBoxLayout(this);
  const auto bytes = static_cast<int>(Result.Change.Writes.size());
  QString summary = tr("変わるタイル: %1 個 (%n バイト)", nullptr, bytes).arg(Result.Tiles.size());
  if (Result.Approximated > 0) summary += "\n" + tr("近い色にした点: %1 個").arg(Result.Approximated);
  if (static_cast<int>(Result.Tiles.size()) > PreviewMaxTiles)
    summary += "\n" + tr("最初の %1 個を表示しています").arg(PreviewMaxTiles);
  auto* label = new QLabel(summary, this);
  label->setObjectName("ImportSummary");
  layout->addWidget(label);
  layout->addWidget(new QLabel(tr("各タイルの左が取り込む前、右が取り込んだ後です"), this));
  auto* tiles = new QLabel(this);
  tiles->setObjectName("ImportTiles");
  tiles->setPixmap(QPixmap::fromImage(ImportPreviewPicture(ChrData, Result)));
  auto* scroll = new QScrollArea(this);
  scroll->setWidget(tiles);
  scroll->setMinimumHeight(std::min(tiles->pixmap().height() + 4, 240));
  layout->addWidget(scroll);
  if (!SharedNotice.isEmpty()) {
    auto* shared = new QLabel(SharedNotice, this);
    shared->setObjectName("ImportShared");
    shared->setWordWrap(true);
    layout->addWidget(shared);
  }
  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  Buttons->button(QDialogButtonBox::Ok)->setText(tr("取り込む"));
  Buttons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));
  connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(Buttons);
}
