// The editor panel driven as a user drives it: clicks, drags and keys on the
// real window over the demo ROM, each edit checked byte by byte against the file.

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollArea>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolButton>
#include <QUndoStack>
#include <fstream>
#include <iterator>
#include <map>

#include "app/edit/TarvelinEditAnimation.h"
#include "app/edit/TarvelinEditChr.h"
#include "app/edit/TarvelinEditFields.h"
#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinEditSprite.h"
#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

using TBytes = std::map<int, int>;  // file offset -> value

class EditPanelTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    OpenDemoInActiveWindow();
    Base = Caption();
  }

  TEditSpritePanel& Sprite() { return *Form1->EditPanel->SpritePanel; }
  TEditAnimationPanel& Animation() { return *Form1->EditPanel->AnimationPanel; }
  QTableWidget* Table() { return Sprite().Sprites; }

  // The pages keep their size beside the panel.
  void OpenPanel() {
    const QSize pages = Form1->PageControl1->size();
    QTest::keyClick(Form1, Qt::Key_D, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_TRUE(Form1->EditPanel->isVisible());
    EXPECT_EQ(Form1->PageControl1->width(), pages.width());
    EXPECT_GE(Form1->PageControl1->height(), pages.height());
  }
  void Shortcut(Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::ControlModifier) {
    QTest::keyClick(Form1->windowHandle(), Key, Modifiers);
  }
  void Type(QWidget* Edit, const char* Text) {
    QTest::mouseClick(Edit, Qt::LeftButton);
    QTest::keyClick(Edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Edit, Text);
    QTest::keyClick(Edit, Qt::Key_Return);
  }
  // Makes cell (Row, Column) current by a click on its row and arrow keys.
  void GoToCell(int Row, int Column) {
    const QRect cell = Table()->visualItemRect(Table()->item(Row, 0));
    QTest::mouseClick(Table()->viewport(), Qt::LeftButton, {}, cell.center());
    for (int c = 0; c < Column; ++c) QTest::keyClick(Table(), Qt::Key_Right);
  }
  // Types into the current cell; the table commits what was typed after the key's event.
  void TypeInCell(const char* Text) {
    QTest::keyClick(Table(), Qt::Key_F2);
    QTest::keyClicks(QApplication::focusWidget(), Text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
  }
  // A client point of ImgSprite where sprite Sprite is on top.
  QPoint PointOf(int Sprite) {
    const int zoom = Form1->GetZoom();
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x)
        if (SpritePage.Trace.Map.At(x, y) == Sprite) return {x * zoom + zoom / 2, y * zoom + zoom / 2};
    ADD_FAILURE() << "sprite " << Sprite << " is not drawn";
    return {};
  }

  // The image as loaded with Changes made.
  std::vector<std::uint8_t> Expected(const TBytes& Changes) const {
    auto image = Image;
    for (const auto& [offset, value] : Changes) image[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value);
    return image;
  }
  // The window's dumps of pattern Pattern over Bytes.
  std::pair<std::string, std::string> Dumps(const std::vector<std::uint8_t>& Bytes, const DemoRom::TPattern& Pattern) const {
    const auto at = [&](int Offset, int Size) {
      return Dump(std::span(Bytes).subspan(static_cast<std::size_t>(Offset), static_cast<std::size_t>(Size)));
    };
    const int count = Bytes[static_cast<std::size_t>(Pattern.FrameOffset + 1)] + 1;
    return {at(Pattern.FrameOffset, 3 + 2 * count), at(Pattern.AlignOffset, 2 * count)};
  }
  std::pair<std::string, std::string> ShownDumps() const { return {Text(Form1->EditSFrameData), Text(Form1->EditSAlignData)}; }

  std::string Base;
};

TEST_F(EditPanelTest, ClosedPanelLeavesThePicturesAndKeysToThePages) {
  EXPECT_FALSE(Form1->EditPanel->isVisible());
  GoToPattern(0, DemoRom::OneSprite.Number);
  QTest::mouseClick(Form1->ImgSprite, Qt::LeftButton, {}, PointOf(0));
  EXPECT_EQ(QApplication::focusWidget(), Form1);
  QTest::keyClick(Form1, Qt::Key_Right);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "01");
  EXPECT_FALSE(Form1->Undo1->isEnabled());
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer - " + RomPath);
  // Opened and closed again, the window is as it was.
  const QSize window = Form1->size();
  OpenPanel();
  QTest::keyClick(Form1, Qt::Key_D, Qt::ControlModifier);
  EXPECT_FALSE(Form1->EditPanel->isVisible());
  EXPECT_EQ(Form1->size(), window);
}

struct TCellEdit {
  const DemoRom::TPattern* Pattern;
  int Row;
  int Column;
  const char* Typed;  // null: Space toggles the check box
  int Offset;         // from the FrameData (Frame) or AlignData
  bool Frame;
  int Value;
  const char* Step;
};

TEST_F(EditPanelTest, EachCellWritesItsByteOnlyAndUndoRedoRestoresBytesAndLabels) {
  using C = TEditSpritePanel::TColumn;
  const TCellEdit edits[] = {
      {&DemoRom::FourFlips, 1, C::ColTile, "2b", 3 + 2, true, 0x2B, "12-13:$002 スプライト$01 のタイル"},
      {&DemoRom::FourFlips, 2, C::ColGroup, "3", 4 + 4, true, 0x83, "12-13:$002 スプライト$02 のパレット"},
      {&DemoRom::FourFlips, 0, C::ColVFlip, nullptr, 4, true, 0x80, "12-13:$002 スプライト$00 の上下反転"},
      {&DemoRom::FourFlips, 3, C::ColHFlip, nullptr, 4 + 6, true, 0x80, "12-13:$002 スプライト$03 の左右反転"},
      {&DemoRom::FourFlips, 1, C::ColY, "F0", 2, false, 0xF0, "12-13:$002 スプライト$01 の移動"},
      {&DemoRom::FourFlips, 1, C::ColX, "10", 3, false, 0x10, "12-13:$002 スプライト$01 の移動"},
      // Attribute bits 5-2 stay as they are.
      {&DemoRom::IgnoredAttributeBits, 2, C::ColGroup, "0", 4 + 4, true, 0xBC, "12-13:$004 スプライト$02 のパレット"},
      {&DemoRom::IgnoredAttributeBits, 0, C::ColHFlip, nullptr, 4, true, 0x7C, "12-13:$004 スプライト$00 の左右反転"},
      {&DemoRom::Bank14Block, 3, C::ColTile, "FF", 3 + 6, true, 0xFF, "14-15:$000 スプライト$03 のタイル"},
  };
  OpenPanel();
  for (const TCellEdit& edit : edits) {
    SCOPED_TRACE(edit.Step);
    const DemoRom::TPattern& pattern = *edit.Pattern;
    GoToPattern(pattern.BankIndex, pattern.Number);
    GoToCell(edit.Row, edit.Column);
    if (edit.Typed) {
      TypeInCell(edit.Typed);
    } else {
      QTest::keyClick(Table(), Qt::Key_Space);
    }
    const auto edited = Expected({{(edit.Frame ? pattern.FrameOffset : pattern.AlignOffset) + edit.Offset, edit.Value}});
    EXPECT_EQ(RomDocument.Image(), edited);
    EXPECT_EQ(ShownDumps(), Dumps(edited, pattern));
    EXPECT_EQ(Caption(), Base + " *");
    EXPECT_EQ(Form1->Undo1->text().toStdString(), std::string("元に戻す ") + edit.Step);

    Shortcut(Qt::Key_Z);
    EXPECT_EQ(RomDocument.Image(), Image);
    EXPECT_EQ(ShownDumps(), Dumps(Image, pattern));
    EXPECT_EQ(Caption(), Base);
    Shortcut(Qt::Key_Y);
    EXPECT_EQ(RomDocument.Image(), edited);
    Shortcut(Qt::Key_Z);
    Shortcut(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(RomDocument.Image(), edited);
    EXPECT_EQ(ShownDumps(), Dumps(edited, pattern));
    Shortcut(Qt::Key_Z);
    EXPECT_EQ(RomDocument.Image(), Image);
  }
}

TEST_F(EditPanelTest, HeaderFieldsAndRefusedTextsWriteOnlyWhatTheyShould) {
  OpenPanel();
  const auto& pattern = DemoRom::FourFlips;
  GoToPattern(pattern.BankIndex, pattern.Number);
  Type(Sprite().EditChrBank, "12");
  Type(Sprite().EditAlign, "5");
  const auto edited = Expected({{pattern.FrameOffset, 0x12}, {pattern.FrameOffset + 2, 0x05}});
  EXPECT_EQ(RomDocument.Image(), edited);
  EXPECT_EQ(Text(Form1->LblSCHRBank), "$12");
  EXPECT_EQ(Text(Form1->LblSAlign), "$05");
  // A palette group past 3 is put back; nothing is written.
  GoToCell(0, TEditSpritePanel::ColGroup);
  TypeInCell("7");
  EXPECT_EQ(Table()->item(0, TEditSpritePanel::ColGroup)->text().toStdString(), "0");
  EXPECT_EQ(RomDocument.Image(), edited);
  EXPECT_EQ(Form1->RomUndoStack->count(), 2);
}

struct TMove {
  const DemoRom::TPattern* Pattern;
  int Sprite;
  int Zoom;
  QPoint Drag;                  // client pixels; none for arrow keys
  std::vector<Qt::Key> Keys;    // nudges
  int Y;
  int X;
};

TEST_F(EditPanelTest, DragAndNudgeMoveTheSpriteWrappingAsTheOffsetsDo) {
  const TMove moves[] = {
      {&DemoRom::OneSprite, 0, 1, {5, 3}, {}, 0xFF, 0x01},                     // $FC + 3, $FC + 5 wrap past $FF
      {&DemoRom::OneSprite, 0, 2, {-10, 6}, {}, 0xFF, 0xF7},                   // 2 client pixels a picture pixel
      {&DemoRom::EdgeWrap, 1, 1, {4, 0}, {}, 0xFC, 0x80},                      // past the right edge
      {&DemoRom::OneSprite, 0, 1, {}, {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right}, 0xFC, 0x00},
      {&DemoRom::EdgeWrap, 0, 1, {}, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Left}, 0x80, 0x7B},
      {&DemoRom::Overlap, 1, 1, {}, {Qt::Key_Up}, 0xFB, 0xFC},
  };
  OpenPanel();
  for (const TMove& move : moves) {
    const DemoRom::TPattern& pattern = *move.Pattern;
    SCOPED_TRACE(pattern.Exercises);
    Form1->SetZoom(move.Zoom);
    GoToPattern(pattern.BankIndex, pattern.Number);
    const QPoint from = PointOf(move.Sprite);
    if (move.Keys.empty()) {
      QTest::mousePress(Form1->ImgSprite, Qt::LeftButton, {}, from);
      QTest::mouseMove(Form1->ImgSprite, from + move.Drag / 2);
      QTest::mouseMove(Form1->ImgSprite, from + move.Drag);
      QTest::mouseRelease(Form1->ImgSprite, Qt::LeftButton, {}, from + move.Drag);
    } else {
      QTest::mouseClick(Form1->ImgSprite, Qt::LeftButton, {}, from);
      EXPECT_TRUE(Form1->ImgSprite->hasFocus());
      for (Qt::Key key : move.Keys) QTest::keyClick(Form1->ImgSprite, key);
    }
    EXPECT_EQ(Sprite().SelectedSprite(), move.Sprite);
    const int at = pattern.AlignOffset + 2 * move.Sprite;
    EXPECT_EQ(RomDocument.Image(), Expected({{at, move.Y}, {at + 1, move.X}}));
    EXPECT_EQ(Text(Form1->EditSSpriteNum), Hex(pattern.Number & 0xFF, 2));  // the keys moved no pattern
    // A drag is one step, a nudge one per key.
    EXPECT_EQ(Form1->RomUndoStack->count(), move.Keys.empty() ? 1 : static_cast<int>(move.Keys.size()));
    for (int i = 0; i < 8 && Form1->RomUndoStack->canUndo(); ++i) Shortcut(Qt::Key_Z);
    EXPECT_EQ(RomDocument.Image(), Image);
    Form1->RomUndoStack->clear();
  }
  // A press beside the sprites is the page's: the window takes the keys again.
  Form1->SetZoom(1);
  GoToPattern(0, DemoRom::OneSprite.Number);
  QTest::mouseClick(Form1->ImgSprite, Qt::LeftButton, {}, PointOf(0));
  QTest::mouseClick(Form1->ImgSprite, Qt::LeftButton, {}, {2, 2});
  EXPECT_EQ(Sprite().SelectedSprite(), -1);
  EXPECT_EQ(QApplication::focusWidget(), Form1);
  QTest::keyClick(Form1, Qt::Key_Right);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "01");
  EXPECT_EQ(RomDocument.Image(), Image);
}

TEST_F(EditPanelTest, TheSelectedSpriteIsOutlinedOverThePictureOnlyWhileThePanelIsOpen) {
  const QColor outline(255, 0, 255);
  const auto shownAt = [](int X, int Y) { return Form1->ImgSprite->grab().toImage().pixelColor(X, Y); };
  OpenPanel();
  GoToPattern(0, DemoRom::OneSprite.Number);  // (Y, X) = ($FC, $FC): pixels 124..131
  EXPECT_NE(shownAt(124, 124), outline);
  GoToCell(0, 0);
  EXPECT_EQ(shownAt(124, 124), outline);
  EXPECT_EQ(shownAt(131, 131), outline);
  EXPECT_NE(shownAt(127, 127), outline);
  QTest::keyClick(Form1, Qt::Key_D, Qt::ControlModifier);
  EXPECT_NE(shownAt(124, 124), outline);
}

TEST_F(EditPanelTest, SharedDataNoticeNamesTheOtherPatterns) {
  OpenPanel();
  const auto line = [&](const std::string& Start) {
    const std::string notice = Sprite().SharedNotice->text().toStdString();
    const auto begin = notice.find(Start);
    return begin == std::string::npos ? std::string() : notice.substr(begin, notice.find('\n', begin) - begin);
  };
  GoToPattern(0, DemoRom::LoadOffset0.Number);
  EXPECT_EQ(line("スプライト配置データ"), "スプライト配置データ $07 (" + Address(DemoRom::LoadOffset0.AlignOffset) +
                                             ") は他の 4 パターンでも使われています: 12-13:$007, 12-13:$008, 12-13:$009, 12-13:$00B");
  GoToPattern(0, DemoRom::WalkFrame0.Number);
  EXPECT_EQ(line("キャラクタバンク"), "キャラクタバンク $10 ($44010) は他の 2 パターンでも使われています: 12-13:$011, 12-13:$012");
  // The selected sprite's tile: $2F of bank $00 is drawn by FourFlips and IgnoredAttributeBits.
  GoToPattern(0, DemoRom::FourFlips.Number);
  EXPECT_EQ(line("タイル"), "");
  GoToCell(2, 0);
  EXPECT_EQ(line("タイル"), "タイル $2F ($40300) は他の 1 パターンでも使われています: 12-13:$004");
  // A record no other pattern names gives no line.
  EXPECT_EQ(line("スプライト配置データ"), "");
}

TEST_F(EditPanelTest, AnimationPanelEditsTheRecordAndOpensAFramesPattern) {
  OpenPanel();
  const int a = DemoRom::ThreeFrames.Offset;
  QListWidget* frames = Animation().Frames;
  ASSERT_EQ(frames->count(), 3);
  EXPECT_EQ(frames->item(2)->text().toStdString(), "2: $012");
  EXPECT_FALSE(frames->item(0)->icon().isNull());
  QTest::mouseClick(frames->viewport(), Qt::LeftButton, {}, frames->visualItemRect(frames->item(1)).center());
  EXPECT_EQ(Animation().EditFrame->text().toStdString(), "11");
  Type(Animation().EditFrame, "13");
  Type(Animation().EditTicks, "8");
  QTest::mouseClick(Animation().CheckHigh, Qt::LeftButton);
  const auto edited = Expected({{a, 0x82}, {a + 1, 0x07}, {a + 3, 0x13}});
  EXPECT_EQ(RomDocument.Image(), edited);
  EXPECT_EQ(Text(Form1->EditAData), "82 07 10 13 12 ");
  EXPECT_EQ(Text(Form1->LblATimer), "8");
  EXPECT_EQ(frames->item(1)->text().toStdString(), "1: $113");
  EXPECT_EQ(Form1->Undo1->text().toStdString(), "元に戻す アニメーション 12-13:$00 のパターン番号の上位");
  for (int i = 0; i < 3; ++i) Shortcut(Qt::Key_Z);
  EXPECT_EQ(RomDocument.Image(), Image);
  EXPECT_EQ(Text(Form1->EditAData), "02 03 10 11 12 ");
  EXPECT_EQ(Caption(), Base);

  // Playback through the timer: the frame on screen is highlighted.
  Form1->AnimationTimer.start();
  QTest::mouseClick(Form1->btnAnimationPlay, Qt::LeftButton);
  QTRY_COMPARE_WITH_TIMEOUT(Animation().HighlightedFrame(), 1, 2000);
  EXPECT_NE(frames->item(1)->background(), QBrush());
  EXPECT_EQ(frames->item(0)->background(), QBrush());
  QTest::mouseClick(Form1->btnAnimationStop, Qt::LeftButton);
  Form1->AnimationTimer.stop();

  const QPoint third = frames->visualItemRect(frames->item(2)).center();
  QTest::mouseClick(frames->viewport(), Qt::LeftButton, {}, third);
  QTest::mouseDClick(frames->viewport(), Qt::LeftButton, {}, third);
  EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabSprite);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "12");
  EXPECT_EQ(Text(Form1->LblSFrameAddress), Address(DemoRom::WalkFrame2.FrameOffset));
}

TEST_F(EditPanelTest, PencilStrokeIsOneStepAndEveryPictureFollows) {
  OpenPanel();
  GoToPattern(0, DemoRom::LoadOffset0.Number);  // CHR bank $08 in band 0
  QTest::mouseClick(Sprite().Pencil->PencilButton, Qt::LeftButton);
  QTest::mouseClick(Sprite().Pencil->ColourButtons[3], Qt::LeftButton);
  // Tile $05, row 3, columns 2..4: the table at twice its size.
  const auto client = [](int X, int Y) { return QPoint(2 * X + 1, 2 * Y + 1); };
  QTest::mousePress(Form1->ImgPatternTable, Qt::LeftButton, {}, client(42, 3));
  QTest::mouseMove(Form1->ImgPatternTable, client(43, 3));
  QTest::mouseMove(Form1->ImgPatternTable, client(44, 3));
  QTest::mouseRelease(Form1->ImgPatternTable, Qt::LeftButton, {}, client(44, 3));
  const int row = DemoRom::ChrFileOffset + 8 * 1024 + 5 * 16 + 3;
  const int plane0 = Image[static_cast<std::size_t>(row)], plane1 = Image[static_cast<std::size_t>(row + 8)];
  EXPECT_EQ(RomDocument.Image(), Expected({{row, plane0 | 0x38}, {row + 8, plane1 | 0x38}}));
  EXPECT_EQ(Form1->RomUndoStack->count(), 1);
  const TShown table = ShownBy(Form1->ImgPatternTable);
  for (int x = 42; x <= 44; ++x) EXPECT_EQ(table.Pixels[static_cast<std::size_t>((127 - 3) * 128 + x)], 3) << x;
  // Band 1 holds no loaded bank at load offset 0: nothing to paint.
  QTest::mouseClick(Form1->ImgPatternTable, Qt::LeftButton, {}, client(42, 40));
  EXPECT_EQ(Form1->RomUndoStack->count(), 1);
  Shortcut(Qt::Key_Z);
  EXPECT_EQ(RomDocument.Image(), Image);
}

TEST_F(EditPanelTest, PencilPaintsTheTileTheTableShowsAndNothingWhereItShowsNone) {
  OpenPanel();
  QTest::mouseClick(Sprite().Pencil->PencilButton, Qt::LeftButton);
  QTest::mouseClick(Sprite().Pencil->ColourButtons[3], Qt::LeftButton);
  struct TCase {
    DemoRom::TPattern Pattern;
    bool WholeWindow;
    int X, Y;   // a pixel of the 128 x 128 table
    int Bank;   // the CHR bank painted, -1 for none
    int Tile;   // tile of that bank
  };
  // Bank $FF at load offset 2: the window is banks $FD..$100; the usual table shows $FF and $00 (its next).
  const TCase cases[] = {
      {DemoRom::WindowPastLastBank, true, 20, 100, -1, 0},      // band 3: past the CHR data
      {DemoRom::WindowPastLastBank, true, 20, 10, 0xFD, 0x12},  // band 0
      {DemoRom::WindowPastLastBank, true, 127, 70, 0xFF, 0x0F}, // band 2
      {DemoRom::WindowPastLastBank, false, 20, 100, 0x00, 0x02},
      {DemoRom::WindowPastLastBank, false, 20, 10, -1, 0},
      {DemoRom::WindowBelowBank0, true, 3, 3, -1, 0},          // bank $01 at offset 3: window from -2
      {DemoRom::WindowBelowBank0, true, 3, 70, 0x00, 0x00},
      {DemoRom::WindowBelowBank0, false, 3, 70, -1, 0},
  };
  const auto client = [](int X, int Y) { return QPoint(2 * X + 1, 2 * Y + 1); };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Pattern.Exercises) + (c.WholeWindow ? ", whole window, " : ", ") +
                 std::to_string(c.X) + "," + std::to_string(c.Y));
    if (Form1->WholeTileWindow1->isChecked() != c.WholeWindow) Form1->WholeTileWindow1->trigger();
    GoToPattern(c.Pattern.BankIndex, c.Pattern.Number);
    QTest::mouseClick(Form1->ImgPatternTable, Qt::LeftButton, {}, client(c.X, c.Y));
    if (c.Bank < 0) {
      EXPECT_EQ(RomDocument.Image(), Image);
      EXPECT_EQ(Form1->RomUndoStack->count(), 0);
      EXPECT_EQ(Caption(), Base);
      continue;
    }
    const int row = DemoRom::ChrFileOffset + c.Bank * 1024 + c.Tile * 16 + c.Y % 8;
    const int bit = 0x80 >> (c.X % 8);
    const int plane0 = Image[static_cast<std::size_t>(row)], plane1 = Image[static_cast<std::size_t>(row + 8)];
    EXPECT_EQ(RomDocument.Image(), Expected({{row, plane0 | bit}, {row + 8, plane1 | bit}}));
    // The table shows what was painted, where it was painted.
    EXPECT_EQ(ShownBy(Form1->ImgPatternTable).Pixels[static_cast<std::size_t>((127 - c.Y) * 128 + c.X)], 3);
    if ((plane0 & bit) && (plane1 & bit)) continue;  // nothing to undo
    EXPECT_EQ(Form1->Undo1->text().toStdString(),
              "元に戻す キャラクタバンク " + Hex(c.Bank, 2, "$") + " タイル" + Hex(c.Tile, 2, "$") + " の描画");
    Shortcut(Qt::Key_Z);
    ASSERT_EQ(RomDocument.Image(), Image);
    Form1->RomUndoStack->clear();
  }
}

TEST_F(EditPanelTest, CtrlSSavesTheRomAndClosingWithEditsAsks) {
  OpenPanel();
  GoToPattern(0, DemoRom::OneSprite.Number);
  QTest::mouseClick(Form1->ImgSprite, Qt::LeftButton, {}, PointOf(0));
  QTest::keyClick(Form1->ImgSprite, Qt::Key_Left);
  const auto edited = Expected({{DemoRom::OneSprite.AlignOffset + 1, 0xFB}});
  int asked = 0;
  Form1->OverwriteRomDialog = [&](const std::string&) { return ++asked, true; };
  Shortcut(Qt::Key_S);
  EXPECT_EQ(asked, 1);
  std::ifstream file(RomPath, std::ios::binary);
  EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {}), edited);
  EXPECT_EQ(Caption(), Base);

  QTest::keyClick(Form1->ImgSprite, Qt::Key_Left);
  EXPECT_EQ(Caption(), Base + " *");
  Form1->UnsavedEditsDialog = [&] { return ++asked, TForm1::TUnsavedEdits::Cancel; };
  EXPECT_FALSE(Form1->close());
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(Form1->isVisible());
  Form1->UnsavedEditsDialog = [&] { return ++asked, TForm1::TUnsavedEdits::Discard; };
  EXPECT_TRUE(Form1->close());
  EXPECT_EQ(asked, 3);
}

struct TCellInput {
  int Row;
  int Column;
  const char* Typed;    // keys after F2, which selects the cell's text; \b erases it
  int Offset;           // byte written, from the FrameData (Frame) or AlignData; -1: refused
  bool Frame;
  int Value;
  const char* Shown;    // the cell's text afterwards, or null
  const char* Said;     // in the status bar afterwards, or null
};

TEST_F(EditPanelTest, CellEditorsTakeWhatTheRecordHoldsAndSayWhyTheyRefuse) {
  using C = TEditSpritePanel::TColumn;
  const auto& pattern = DemoRom::FourFlips;
  const TCellInput inputs[] = {
      {0, C::ColTile, "3c", 3, true, 0x3C, "3C", nullptr},
      {0, C::ColTile, "zz", -1, true, 0, "2F", "タイル: 16進数 00-FF で入力してください"},
      {0, C::ColTile, "\b", -1, true, 0, "2F", "タイル: 値が入力されていません。16進数 00-FF で入力してください"},
      {1, C::ColY, "-8", 2, false, 0xF8, "F8 (-8)", nullptr},
      {1, C::ColX, "+7", 3, false, 0x07, "07 (+7)", nullptr},
      {2, C::ColY, "-128", 4, false, 0x80, "80 (-128)", nullptr},
      {1, C::ColY, "\b-200", -1, false, 0, nullptr, "Y: 「-200」は範囲外です"},
      {1, C::ColX, "-", -1, false, 0, nullptr, "X: 「-」の符号の後が10進数ではありません"},
      {1, C::ColGroup, "2", 4 + 2, true, 0x42, "2", nullptr},
      {3, C::ColGroup, "7", -1, true, 0, "0", nullptr},  // no such choice
  };
  OpenPanel();
  GoToPattern(pattern.BankIndex, pattern.Number);
  for (const TCellInput& input : inputs) {
    SCOPED_TRACE(input.Typed);
    Form1->statusBar()->clearMessage();
    GoToCell(input.Row, input.Column);
    TypeInCell(input.Typed);
    const int base = input.Frame ? pattern.FrameOffset : pattern.AlignOffset;
    EXPECT_EQ(RomDocument.Image(), input.Offset < 0 ? Image : Expected({{base + input.Offset, input.Value}}));
    if (input.Shown) {
      EXPECT_EQ(Table()->item(input.Row, input.Column)->text().toStdString(), input.Shown);
    }
    const std::string said = Form1->statusBar()->currentMessage().toStdString();
    if (input.Said) {
      EXPECT_NE(said.find(input.Said), std::string::npos) << said;
    }
    while (Form1->RomUndoStack->canUndo()) Shortcut(Qt::Key_Z);
  }
}

TEST_F(EditPanelTest, FieldsShowTheRecordAgainWhenATextIsRefusedOnReturnOrFocusLoss) {
  OpenPanel();
  GoToPattern(DemoRom::FourFlips.BankIndex, DemoRom::FourFlips.Number);
  const auto erase = [](QLineEdit* Edit, const char* Typed) {
    QTest::mouseClick(Edit, Qt::LeftButton);
    QTest::keyClick(Edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Edit, Qt::Key_Backspace);
    QTest::keyClicks(Edit, Typed);
  };
  erase(Sprite().EditChrBank, "");
  QTest::keyClick(Sprite().EditChrBank, Qt::Key_Return);
  EXPECT_EQ(Text(Sprite().EditChrBank), Text(Form1->LblSCHRBank).substr(1));
  EXPECT_TRUE(Form1->statusBar()->currentMessage().startsWith("キャラクタバンク番号: 値が入力されていません"));
  erase(Sprite().EditAlign, "");
  GoToCell(0, 0);  // the focus goes to the table
  EXPECT_EQ(Text(Sprite().EditAlign), Text(Form1->LblSAlign).substr(1));

  Form1->PageControl1->setCurrentWidget(Form1->TabAnimation);
  QApplication::processEvents();
  for (const char* typed : {"0", ""}) {
    erase(Animation().EditTicks, typed);
    QTest::keyClick(Animation().EditTicks, Qt::Key_Return);
    EXPECT_EQ(Text(Animation().EditTicks), Text(Form1->LblATimer));
  }
  EXPECT_EQ(RomDocument.Image(), Image);
  EXPECT_EQ(Form1->RomUndoStack->count(), 0);
}

TEST_F(EditPanelTest, AFlipCellFlipsOnlyForAClickOnItsBoxOrSpace) {
  const auto& pattern = DemoRom::FourFlips;  // attributes $00, $40, $80, $C0
  OpenPanel();
  GoToPattern(pattern.BankIndex, pattern.Number);
  const QModelIndex cell = Table()->model()->index(1, TEditSpritePanel::ColVFlip);
  const QRect rect = Table()->visualRect(cell);
  QStyleOptionViewItem option;
  option.initFrom(Table());
  option.rect = rect;
  option.widget = Table();
  const QRect box = static_cast<TSpriteCellDelegate*>(Table()->itemDelegate())->CheckRect(option, cell);
  ASSERT_TRUE(rect.contains(box));
  ASSERT_LT(box.right() + 4, rect.right());
  QTest::mouseClick(Table()->viewport(), Qt::LeftButton, {}, {rect.right() - 2, rect.center().y()});
  EXPECT_EQ(Sprite().SelectedSprite(), 1);
  EXPECT_EQ(RomDocument.Image(), Image);
  // A drag from beside the box onto it flips nothing either.
  QTest::mousePress(Table()->viewport(), Qt::LeftButton, {}, {rect.right() - 2, rect.center().y()});
  QTest::mouseRelease(Table()->viewport(), Qt::LeftButton, {}, box.center());
  EXPECT_EQ(RomDocument.Image(), Image);
  QTest::mouseClick(Table()->viewport(), Qt::LeftButton, {}, box.center());
  const int attribute = pattern.FrameOffset + 4 + 2;
  EXPECT_EQ(RomDocument.Image(), Expected({{attribute, 0xC0}}));
  QTest::keyClick(Table(), Qt::Key_Space);
  EXPECT_EQ(RomDocument.Image(), Image);
  EXPECT_EQ(Form1->RomUndoStack->count(), 2);
}

TEST_F(EditPanelTest, AClickPicksTheTopmostSpriteByItsCell) {
  // Overlap: sprite 0 at ($F8, $F8) covers 120..127, sprite 1 at ($FC, $FC) covers 124..131, drawn over it.
  OpenPanel();
  GoToPattern(0, DemoRom::Overlap.Number);
  for (int zoom : {1, 2}) {
    Form1->SetZoom(zoom);
    for (int y = 118; y <= 133; ++y)
      for (int x = 118; x <= 133; ++x) {
        const auto in = [](int V, int From) { return V >= From && V < From + 8; };
        const int expected = in(x, 124) && in(y, 124) ? 1 : in(x, 120) && in(y, 120) ? 0 : -1;
        QTest::mouseClick(Form1->ImgSprite, Qt::LeftButton, {}, {x * zoom + zoom / 2, y * zoom + zoom / 2});
        ASSERT_EQ(Sprite().SelectedSprite(), expected) << x << "," << y << " x" << zoom;
      }
  }
  EXPECT_EQ(RomDocument.Image(), Image);
}

TEST_F(EditPanelTest, ThePictureNudgesOnlyWhileItHoldsTheFocusAndSaysSo) {
  const auto& pattern = DemoRom::FourFlips;  // four sprites
  OpenPanel();
  GoToPattern(pattern.BankIndex, pattern.Number);
  const std::string legend[2] = {Text(Form1->Label4), Text(Form1->Label5)};
  ASSERT_EQ(legend[0], "→←: +/- $01");
  GoToCell(1, 0);  // selected from the table: the table keeps the keys
  QTest::keyClick(Table(), Qt::Key_Down);
  EXPECT_EQ(Sprite().SelectedSprite(), 2);
  EXPECT_EQ(Text(Form1->Label4), legend[0]);
  EXPECT_EQ(RomDocument.Image(), Image);

  QTest::mouseClick(Form1->ImgSprite, Qt::LeftButton, {}, PointOf(0));
  ASSERT_TRUE(Form1->ImgSprite->hasFocus());
  EXPECT_NE(Text(Form1->Label4), legend[0]);
  EXPECT_NE(Text(Form1->Label5), legend[1]);
  struct TKey {
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    int Sprite;  // selected afterwards
  };
  const TKey keys[] = {
      {Qt::Key_Right, Qt::ShiftModifier, 0}, {Qt::Key_Up, Qt::ShiftModifier, 0}, {Qt::Key_Tab, {}, 1},
      {Qt::Key_Down, {}, 1},                 {Qt::Key_Tab, {}, 2},                {Qt::Key_Tab, {}, 3},
      {Qt::Key_Tab, {}, 0},                  {Qt::Key_Backtab, Qt::ShiftModifier, 3},
      {Qt::Key_Left, Qt::ShiftModifier, 3},
  };
  for (const TKey& key : keys) {
    QTest::keyClick(Form1->ImgSprite, key.Key, key.Modifiers);
    EXPECT_EQ(Sprite().SelectedSprite(), key.Sprite);
    EXPECT_TRUE(Form1->ImgSprite->hasFocus());
  }
  // Read off the table's own cells before the nudges: each a hand-counted step from there.
  const auto byte = [&](int Offset) { return Image[static_cast<std::size_t>(pattern.AlignOffset + Offset)]; };
  EXPECT_EQ(RomDocument.Image(), Expected({{pattern.AlignOffset + 0, (byte(0) - 8) & 0xFF},
                                           {pattern.AlignOffset + 1, (byte(1) + 8) & 0xFF},
                                           {pattern.AlignOffset + 2, (byte(2) + 1) & 0xFF},
                                           {pattern.AlignOffset + 7, (byte(7) - 8) & 0xFF}}));
  EXPECT_EQ(Text(Form1->EditSSpriteNum), Hex(pattern.Number & 0xFF, 2));
  // Elsewhere the arrows are the page's again, and the legend its own.
  QTest::mouseClick(Form1->TabSprite, Qt::LeftButton, {}, {4, 4});
  EXPECT_EQ(Text(Form1->Label4), legend[0]);
  EXPECT_EQ(Text(Form1->Label5), legend[1]);
  EXPECT_EQ(Form1->Label4->width(), 82);
  QTest::keyClick(Form1, Qt::Key_Right);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), Hex((pattern.Number + 1) & 0xFF, 2));
}

TEST_F(EditPanelTest, PencilColoursAreThePatternTablesWhicheverSpriteIsSelected) {
  // The pattern table is drawn in palette group 0: its colours 0..3 are entries 0..3.
  const std::vector<std::uint32_t> table = SpriteColors(NesMasterPalette());
  const auto shown = [](QWidget* Button, int X, int Y) { return Button->grab().toImage().pixel(X, Y) & 0xFFFFFFu; };
  // The colour most of a button shows: its background, whatever the style draws round it and its digit.
  const auto background = [](QWidget* Button) {
    const QImage image = Button->grab().toImage();
    std::map<std::uint32_t, int> count;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) ++count[image.pixel(x, y) & 0xFFFFFFu];
    return std::max_element(count.begin(), count.end(), [](auto A, auto B) { return A.second < B.second; })->first;
  };
  OpenPanel();
  GoToPattern(0, DemoRom::FourGroups.Number);  // palette groups 0..3
  for (int row = 0; row < 4; ++row) {
    GoToCell(row, 0);
    for (int c : {0, 2, 3})
      EXPECT_EQ(background(Sprite().Pencil->ColourButtons[static_cast<std::size_t>(c)]), table[static_cast<std::size_t>(c)])
          << row << " " << c;
  }
  QToolButton* pencil = Sprite().Pencil->PencilButton;
  EXPECT_NE(shown(pencil, 0, pencil->height() / 2), 0xFF00FFu);
  QTest::mouseClick(pencil, Qt::LeftButton);
  ASSERT_TRUE(pencil->isChecked());
  EXPECT_EQ(shown(pencil, 0, pencil->height() / 2), 0xFF00FFu);
}

TEST_F(EditPanelTest, SharedRecordsTakeALineEachAndAnEditSaysHowManyPatternsItChanges) {
  OpenPanel();
  // An unlisted pattern uses the bank's default records, as hundreds of others do.
  GoToPattern(0, 0x0F0);
  const QStringList lines = Sprite().SharedNotice->text().split('\n');
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_LE(lines.size(), 4);
  const QRegularExpression shortLine("^このパターン定義 \\(\\$[0-9A-F]{5}\\) は他の [1-9][0-9]{2} パターンでも使われています$");
  EXPECT_TRUE(shortLine.match(lines.front()).hasMatch()) << lines.front().toStdString();
  const QString list = Sprite().SharedNotice->toolTip();
  EXPECT_TRUE(list.contains("12-13:$000") || list.contains("12-13:$00D")) << list.toStdString();
  EXPECT_TRUE(list.contains(" ほか "));

  // Nudged, the alignment record four other patterns share: the status bar says so.
  GoToPattern(0, DemoRom::LoadOffset0.Number);
  QTest::mouseClick(Form1->ImgSprite, Qt::LeftButton, {}, PointOf(0));
  QTest::keyClick(Form1->ImgSprite, Qt::Key_Left);
  EXPECT_EQ(Form1->statusBar()->currentMessage().toStdString(),
            "スプライト配置データ $07 を書き換えました: 他の 4 パターンも変わります");
  // A record of its own: nothing to say.
  Form1->statusBar()->clearMessage();
  GoToPattern(0, DemoRom::FourFlips.Number);
  GoToCell(0, TEditSpritePanel::ColY);
  TypeInCell("-8");
  EXPECT_EQ(Form1->statusBar()->currentMessage().toStdString(), "");
}

TEST_F(EditPanelTest, OpeningOrClosingThePanelAtAnyZoomLeavesThePagesWholeWhereTheScreenAllows) {
  const int room = Form1->screen()->availableGeometry().width() - (Form1->frameGeometry().width() - Form1->width());
  // The pages' whole width, and whether it shows whole beside what docks there.
  const auto whole = [] {
    const auto* area = qobject_cast<QScrollArea*>(Form1->centralWidget());
    return !area || area->viewport()->width() >= Form1->PageControl1->width();
  };
  for (int zoom : {1, 2, 3, 1, 4}) {
    SCOPED_TRACE(zoom);
    Form1->SetZoom(zoom);
    QApplication::processEvents();
    const int pages = Form1->PageControl1->width();
    QTest::keyClick(Form1, Qt::Key_D, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_TRUE(Form1->EditPanel->isVisible());
    const int panel = Form1->width() - Form1->centralWidget()->width();
    EXPECT_GT(panel, 0);
    // At scale 1 the window takes the panel's width on whatever the screen, as it always has.
    if (pages + panel <= room || zoom == 1) {
      EXPECT_TRUE(whole());
    } else {
      EXPECT_EQ(Form1->width(), room);
    }
    // Zoomed with the panel open, the panel keeps its room too.
    Form1->SetZoom(zoom == 1 ? 2 : 1);
    QApplication::processEvents();
    if (Form1->PageControl1->width() + panel <= room) {
      EXPECT_TRUE(whole());
    }
    Form1->SetZoom(zoom);
    QApplication::processEvents();
    QTest::keyClick(Form1, Qt::Key_D, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_FALSE(Form1->EditPanel->isVisible());
    if (pages <= room) {
      EXPECT_TRUE(whole());
    } else {
      EXPECT_EQ(Form1->width(), room);
    }
  }
}

}  // namespace
}  // namespace viewer_test
