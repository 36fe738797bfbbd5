// The tile workbench driven as a user drives it: a tile picked in the pattern
// table, a stroke, a fill, a flip, a copy into another bank, each checked
// against the demo ROM's tile drawn here by hand.

#include <QTableWidget>
#include <QToolButton>
#include <QUndoStack>

#include "app/edit/TarvelinEditChr.h"
#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinEditSprite.h"
#include "app/edit/TarvelinEditTile.h"
#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

using TPicture = std::array<const char*, 8>;  // one digit a pixel, the colour number

// Tile $05 of CHR bank $08 as the demo ROM draws it: an L of colour 1, "0" in
// colour 2, "5" in colour 3, and the bank's bits in the last row.
constexpr TPicture Tile05 = {"11111111", "10000000", "12220333", "12020300",
                             "12020333", "12020003", "12220333", "00002000"};

// The 16 bytes of a picture: plane 0 (bit 0 of each colour), then plane 1, leftmost pixel in bit 7.
std::vector<std::uint8_t> Bytes(const TPicture& Rows) {
  std::vector<std::uint8_t> bytes(16);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const int colour = Rows[static_cast<std::size_t>(y)][x] - '0';
      if (colour & 1) bytes[static_cast<std::size_t>(y)] |= static_cast<std::uint8_t>(0x80 >> x);
      if (colour & 2) bytes[static_cast<std::size_t>(y + 8)] |= static_cast<std::uint8_t>(0x80 >> x);
    }
  return bytes;
}

class TileWorkbenchTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    OpenDemoWithEditPanel();
  }
  TEditTile& Tile() { return *Form1->EditPanel->SpritePanel->Tile; }
  TEditChrPencil& Pencil() { return *Form1->EditPanel->SpritePanel->Pencil; }
  // Pixel (X, Y) of the 128 x 128 table, on the table shown at twice its size.
  static QPoint Table(int X, int Y) { return {2 * X + 1, 2 * Y + 1}; }
  // The middle of tile pixel (X, Y) on the canvas.
  static QPoint Canvas(int X, int Y) {
    return {X * TEditTile::PixelSize + TEditTile::PixelSize / 2, Y * TEditTile::PixelSize + TEditTile::PixelSize / 2};
  }
  // The image with the tile at file offset Offset holding Rows.
  static std::vector<std::uint8_t> With(std::vector<std::uint8_t> Image, int Offset, const TPicture& Rows) {
    const auto bytes = Bytes(Rows);
    std::copy(bytes.begin(), bytes.end(), Image.begin() + Offset);
    return Image;
  }
  // The pattern table's tile at table pixel (X, Y), as digits.
  static std::string TableTile(int X, int Y) {
    const TShown table = ShownBy(Form1->ImgPatternTable);
    std::string text;
    for (int y = Y; y < Y + 8; ++y)
      for (int x = X; x < X + 8; ++x)
        text += static_cast<char>('0' + table.Pixels[static_cast<std::size_t>((127 - y) * 128 + x)]);
    return text;
  }
  static std::string Digits(const TPicture& Rows) {
    std::string text;
    for (const char* row : Rows) text += row;
    return text;
  }
};

TEST_F(TileWorkbenchTest, StrokeFillFlipAndPasteAcrossBanksAreOneStepEachAndUndoExactly) {
  const int tile05 = DemoRom::ChrFileOffset + 0x08 * 1024 + 0x05 * 16;
  GoToPattern(0, DemoRom::LoadOffset0.Number);  // CHR bank $08 in band 0
  ASSERT_EQ(TableTile(40, 0), Digits(Tile05));
  // A click on tile $05 picks it, paints nothing, and leaves the focus on the table.
  QTest::mouseClick(Form1->ImgPatternTable, Qt::LeftButton, {}, Table(42, 3));
  EXPECT_EQ(Tile().Bank(), 0x08);
  EXPECT_EQ(Tile().Tile(), 0x05);
  EXPECT_TRUE(Form1->ImgPatternTable->hasFocus());
  EXPECT_EQ(Form1->RomUndoStack->count(), 0);
  std::vector<std::vector<std::uint8_t>> states = {Image};
  const auto step = [&](const TPicture& Rows, const char* What) {
    SCOPED_TRACE(What);
    states.push_back(With(Image, tile05, Rows));
    EXPECT_EQ(RomDocument.Image(), states.back());
    EXPECT_EQ(Form1->RomUndoStack->count(), static_cast<int>(states.size()) - 1);
    EXPECT_EQ(TableTile(40, 0), Digits(Rows));
  };

  // A stroke in colour 3 along row 1, the pointer jumping pixels on the way.
  QTest::mouseClick(Pencil().ColourButtons[3], Qt::LeftButton);
  QWidget* canvas = Tile().Canvas();
  QTest::mousePress(canvas, Qt::LeftButton, {}, Canvas(1, 1));
  QTest::mouseMove(canvas, Canvas(4, 1));
  QTest::mouseMove(canvas, Canvas(6, 1));
  QTest::mouseRelease(canvas, Qt::LeftButton, {}, Canvas(6, 1));
  const TPicture stroked = {"11111111", "13333330", "12220333", "12020300", "12020333", "12020003", "12220333", "00002000"};
  step(stroked, "stroke");
  EXPECT_EQ(Form1->Undo1->text().toStdString(), "元に戻す キャラクタバンク $08 タイル$05 の描画");

  // Colour 1 poured on the "5" runs into the stroke that touches it, and no further.
  QTest::mouseClick(Pencil().ColourButtons[1], Qt::LeftButton);
  QTest::mouseClick(Tile().FillButton, Qt::LeftButton);
  QTest::mouseClick(canvas, Qt::LeftButton, {}, Canvas(7, 2));
  const TPicture filled = {"11111111", "11111110", "12220111", "12020100", "12020111", "12020001", "12220111", "00002000"};
  step(filled, "fill");
  // Inside the "0" the 2s hold a fill in.
  QTest::mouseClick(Pencil().ColourButtons[3], Qt::LeftButton);
  QTest::mouseClick(canvas, Qt::LeftButton, {}, Canvas(2, 4));
  const TPicture inside = {"11111111", "11111110", "12220111", "12320100", "12320111", "12320001", "12220111", "00002000"};
  step(inside, "fill inside");
  QTest::mouseClick(Tile().FillButton, Qt::LeftButton);

  QTest::mouseClick(Tile().FlipHorizontalButton, Qt::LeftButton);
  const TPicture flipped = {"11111111", "01111111", "11102221", "00102321", "11102321", "10002321", "11102221", "00020000"};
  step(flipped, "flip");
  EXPECT_EQ(Form1->Undo1->text().toStdString(), "元に戻す キャラクタバンク $08 タイル$05 の左右反転");

  // Copied here, pasted into tile $07 of bank $09, shown in band 1 at load offset 1.
  QTest::mouseClick(Form1->ImgPatternTable, Qt::LeftButton, {}, Table(42, 3));
  ASSERT_TRUE(Form1->ImgPatternTable->hasFocus());
  QTest::keyClick(Form1->ImgPatternTable, Qt::Key_C, Qt::ControlModifier);
  GoToPattern(0, DemoRom::LoadOffset1.Number);
  QTest::mouseClick(Form1->ImgPatternTable, Qt::LeftButton, {}, Table(60, 34));
  EXPECT_EQ(Tile().Bank(), 0x09);
  EXPECT_EQ(Tile().Tile(), 0x07);
  QTest::keyClick(Form1->ImgPatternTable, Qt::Key_V, Qt::ControlModifier);
  const int tile07 = DemoRom::ChrFileOffset + 0x09 * 1024 + 0x07 * 16;
  states.push_back(With(states.back(), tile07, flipped));
  EXPECT_EQ(RomDocument.Image(), states.back());
  EXPECT_EQ(Form1->RomUndoStack->count(), 5);
  EXPECT_EQ(TableTile(56, 32), Digits(flipped));
  EXPECT_EQ(Form1->Undo1->text().toStdString(), "元に戻す キャラクタバンク $09 タイル$07 への貼り付け");

  // Each undo takes back one step, byte for byte.
  while (states.size() > 1) {
    states.pop_back();
    QTest::keyClick(Form1->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(RomDocument.Image(), states.back()) << states.size();
  }
  // Tile $07 of bank $09: "0" and "7", and the bank's bits.
  const TPicture tile07Drawn = {"11111111", "10000000", "12220333", "12020003", "12020003", "12020003", "12220003", "00002002"};
  EXPECT_EQ(TableTile(56, 32), Digits(tile07Drawn));
  GoToPattern(0, DemoRom::LoadOffset0.Number);
  EXPECT_EQ(TableTile(40, 0), Digits(Tile05));
}

TEST_F(TileWorkbenchTest, FollowsTheSelectedSpriteInItsPaletteGroupAndKeepsATilePickedInTheTable) {
  GoToPattern(0, DemoRom::FourGroups.Number);  // tiles $0A..$0D of bank $00, groups 0..3
  QTableWidget* sprites = Form1->EditPanel->SpritePanel->Sprites;
  const auto select = [&](int Row) {
    QTest::mouseClick(sprites->viewport(), Qt::LeftButton, {}, sprites->visualItemRect(sprites->item(Row, 0)).center());
  };
  select(3);
  EXPECT_EQ(Tile().Bank(), 0x00);
  EXPECT_EQ(Tile().Tile(), 0x0D);
  EXPECT_EQ(Tile().Group(), 3);
  // Row 2 of tile $0D: "0" in colour 2 from column 1, "D" in colour 3 from column 5; drawn in group 3.
  const std::vector<std::uint32_t> colours = SpriteColors(NesMasterPalette());
  const QImage canvas = Tile().Canvas()->grab().toImage();
  const auto at = [&](int X, int Y) { return canvas.pixel(Canvas(X, Y)) & 0xFFFFFFu; };
  EXPECT_EQ(at(1, 2), colours[4 * 3 + 2]);
  EXPECT_EQ(at(5, 2), colours[4 * 3 + 3]);
  EXPECT_EQ(at(4, 2), colours[4 * 3 + 0]);
  // A tile picked in the table stays while the same sprite stays selected; another sprite brings its own.
  QTest::mouseClick(Form1->ImgPatternTable, Qt::LeftButton, {}, Table(8 * 3 + 1, 16 + 1));  // tile $23
  EXPECT_EQ(Tile().Tile(), 0x23);
  Form1->EditPanel->Refresh();
  EXPECT_EQ(Tile().Tile(), 0x23);
  select(1);
  EXPECT_EQ(Tile().Tile(), 0x0B);
  EXPECT_EQ(Tile().Group(), 1);
}

TEST_F(TileWorkbenchTest, TheOutlinesOverBothPicturesFollowAZoomChange) {
  GoToPattern(0, DemoRom::FourGroups.Number);
  QTableWidget* sprites = Form1->EditPanel->SpritePanel->Sprites;
  QTest::mouseClick(sprites->viewport(), Qt::LeftButton, {}, sprites->visualItemRect(sprites->item(3, 0)).center());
  const auto magenta = [](QWidget* Picture, QPoint At) { return (Picture->grab().toImage().pixel(At) & 0xFFFFFFu) == 0xFF00FFu; };
  for (int zoom : {1, 2, 3}) {
    SCOPED_TRACE(zoom);
    Form1->SetZoom(zoom);
    QApplication::processEvents();
    // Sprite 3 at (Y, X) = ($FC, $09): its top-left pixel at (137, 124); tile $0D at (104, 0) of the table, shown at twice its size.
    EXPECT_TRUE(magenta(Form1->ImgSprite, QPoint(137 * zoom, 124 * zoom)));
    EXPECT_TRUE(magenta(Form1->ImgPatternTable, QPoint(104 * 2 * zoom, 0)));
  }
}

}  // namespace
}  // namespace viewer_test
