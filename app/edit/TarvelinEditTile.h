#pragma once
// The tile workbench beside the pattern table: one CHR tile zoomed, in the
// selected sprite's palette group, painted with the pencil's colour, filled,
// flipped, shifted, copied and pasted; each gesture one undo step. The tile is
// the one last clicked in the pattern table, or the selected sprite's.

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

#include "rom/TarvelinChrTile.h"

class QLabel;
class QToolButton;
class TEditChrPencil;
class TSquareOutline;
class TTileCanvas;
class TForm1;

class TEditTile : public QWidget {
  Q_OBJECT

public:
  TEditTile(TForm1& Form, TEditChrPencil& Pencil, QWidget* Parent);

  static constexpr int PixelSize = 20;  // screen pixels a tile pixel takes

  QWidget* Canvas() const;
  QLabel* Caption = nullptr;
  QToolButton* FillButton = nullptr;
  QToolButton* FlipHorizontalButton = nullptr;
  QToolButton* FlipVerticalButton = nullptr;
  std::array<QToolButton*, 4> ShiftButtons{};  // left, right, up, down
  // The pencil's four colours as the tile shows them, in its palette group; a click picks one.
  std::array<QToolButton*, 4> Swatches{};

  // The tile shown: CHR bank (-1: none) and tile 0-63 of it.
  int Bank() const { return FBank; }
  int Tile() const { return FTile; }
  int Group() const { return FGroup; }
  void ShowTile(int Bank, int Tile);
  // The selected sprite's tile (Bank -1: none) and palette group; a sprite newly
  // selected, or one whose tile changed, brings its tile in.
  void FollowSprite(std::int64_t Key, int Bank, int Tile, int Group);
  // The pattern table takes picks and the copy keys only while the panel shows on the sprite page.
  void SetActive(bool Active);
  // Redraws from the ROM.
  void Refresh();

  void Copy();
  void Paste();

  // What the canvas does with the pointer, in tile pixels.
  void CanvasPress(int X, int Y, Qt::MouseButton Button);
  void CanvasMove(int X, int Y);
  void CanvasRelease();
  // Ctrl+C / Ctrl+V; false for any other key.
  bool ClipboardKey(const class QKeyEvent& Key, bool Run);

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void changeEvent(QEvent* Event) override;

private:
  // Rewrites the tile's pixels by Edit as one undo step named What (joined to Gesture when not 0).
  void Edit(const std::function<void(TTilePixels&)>& Change, const QString& What, int Gesture = 0);
  QString TileName() const;
  void Retranslate();
  void PlaceOutline();
  void ShowSwatches();

  TForm1& FForm;
  TEditChrPencil& FPencil;
  TTileCanvas* FCanvas = nullptr;
  TSquareOutline* FOutline = nullptr;
  bool FActive = false;
  int FBank = -1;
  int FTile = 0;
  int FGroup = 0;
  int FSwatchGroup = -1;  // the group the swatches are coloured in
  std::int64_t FFollowed = -1;  // the key of the sprite last followed
  int FStroke = 0;     // the gesture of the stroke in progress, 0 when none
  int FLastX = 0;
  int FLastY = 0;
};
