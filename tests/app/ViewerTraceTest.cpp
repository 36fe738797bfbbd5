// The status bar's pixel trace and the click from an animation frame to its
// pattern, driven by real mouse moves and clicks over hand-built records.

#include <QScrollArea>
#include <QStatusBar>
#include <QTest>

#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

// Bank "12-13": pattern $0D and animation $07 point at these records.
constexpr int Base = 0x24010;
constexpr int Frame = 0x27E10;      // CPU $BE00
constexpr int Align = 0x27F10;      // CPU $BF00, alignment number $F0
constexpr int Animation = 0x27D10;  // CPU $BD00
constexpr int ChrWindow = 0x2F;       // CHR bank $30 less the first tile's $41 / 64

class ViewerTraceTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    auto put = [this](int Offset, std::initializer_list<int> Bytes) {
      for (int b : Bytes) Image[static_cast<std::size_t>(Offset++)] = static_cast<std::uint8_t>(b);
    };
    auto pointer = [&](int Low, int High, int Cpu) {
      put(Base + Low, {Cpu & 0xFF});
      put(Base + High, {Cpu >> 8});
    };
    pointer(0x0D, 0x20D, 0xBE00);
    pointer(0x4F0, 0x5F0, 0xBF00);
    pointer(0x607, 0x707, 0xBD00);
    // Three sprites: solid colour 1 at the centre; left half colour 2, mirrored,
    // group 3, over its lower right; top half colour 3, upside down, group 1,
    // across both edges.
    put(Frame, {0x30, 2, 0xF0, 0x41, 0x00, 0x42, 0x43, 0xC3, 0x81});
    put(Align, {0x00, 0x00, 0x04, 0x04, 0x7C, 0x7C});
    put(Animation, {0x00, 0x07, 0x0D});
    auto tile = [&](int Tile, std::initializer_list<int> Bytes) {
      put(ChrDataFileOffset + ChrWindow * 1024 + Tile * 16, Bytes);
    };
    tile(0x41, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0});
    tile(0x42, {0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0});
    tile(0xC3, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0});
    Dir.Write("demo.nes", Image);
    OpenDemoInActiveWindow();
  }

  void ScrollTo(QWidget* Control, QPoint At) {
    // A zoom may have moved the window; the platform catches up in the event loop.
    QTest::qWait(20);
    if (auto* area = Form1->findChild<QScrollArea*>()) {
      const QPoint inPages = Control->mapTo(Form1->PageControl1, At);
      area->ensureVisible(inPages.x(), inPages.y(), 20, 20);
    }
  }
  std::string Status() const { return Form1->statusBar()->currentMessage().toStdString(); }
  // Scrolled into view first where the zoomed pages are larger than the window.
  std::string MoveTo(QWidget* Control, QPoint At) {
    ScrollTo(Control, At);
    QTest::mouseMove(Control, At);
    return Status();
  }
};

// Worked out by hand from the records above.
const struct {
  QPoint At;
  const char* Text;
} SpritePixels[] = {
    {{130, 130}, "(130,130) 色$01 NES$0F スプライト$00 定義$27E13 配置$27F10 タイル$41 パレット0 CHR$4C020"},
    // Sprite 1 covers this pixel with its colour 0, so sprite 0 shows.
    {{133, 133}, "(133,133) 色$01 NES$0F スプライト$00 定義$27E13 配置$27F10 タイル$41 パレット0 CHR$4C020"},
    {{137, 134}, "(137,134) 色$0E NES$20 スプライト$01 定義$27E15 配置$27F12 タイル$42 左右反転 パレット3 CHR$4C030"},
    {{137, 129}, "(137,129) 色$00 NES$0F 透明"},
    // Sprite 2 starts at (252, 252); upside down, its colour lies in rows 0..3.
    {{1, 3}, "(1,3) 色$07 NES$37 スプライト$02 定義$27E17 配置$27F14 タイル$C3 上下反転 パレット1 CHR$4C840"},
    {{254, 253}, "(254,253) 色$00 NES$0F 透明"},
};

TEST_F(ViewerTraceTest, StatusBarTracesTheSpritePixelToItsRomBytes) {
  GoToPattern(0, 0x0D);
  GoToAnimation(7);
  Tick();
  for (QWidget* page : {static_cast<QWidget*>(Form1->TabSprite), static_cast<QWidget*>(Form1->TabAnimation)}) {
    Form1->PageControl1->setCurrentWidget(page);
    TImageEx* image = page == Form1->TabSprite ? Form1->ImgSprite : Form1->ImgAnimation;
    for (const auto& pixel : SpritePixels) EXPECT_EQ(MoveTo(image, pixel.At), pixel.Text) << image->objectName().toStdString();
    // Leaving the picture clears the trace.
    MoveTo(page, QPoint(290, 200));
    EXPECT_EQ(Status(), "");
  }
}

TEST_F(ViewerTraceTest, TraceFollowsAPictureRedrawnUnderAStillPointer) {
  GoToPattern(0, 0x0D);
  GoToAnimation(7);
  Tick();
  ASSERT_EQ(MoveTo(Form1->ImgAnimation, SpritePixels[4].At), SpritePixels[4].Text);
  // Animation $08 shows the demo's default record; the text must be the one a fresh move gives.
  Key(VK_RIGHT);
  Tick();
  const std::string redrawn = Status();
  MoveTo(Form1->TabAnimation, QPoint(290, 200));
  EXPECT_NE(redrawn, SpritePixels[4].Text);
  EXPECT_EQ(MoveTo(Form1->ImgAnimation, SpritePixels[4].At), redrawn);
  ShowSpritePage();
  ASSERT_EQ(MoveTo(Form1->ImgSprite, SpritePixels[0].At), SpritePixels[0].Text);
  Key(VK_LEFT);
  const std::string pattern0C = Status();
  MoveTo(Form1->TabSprite, QPoint(290, 200));
  EXPECT_EQ(MoveTo(Form1->ImgSprite, SpritePixels[0].At), pattern0C);
  EXPECT_NE(pattern0C, SpritePixels[0].Text);
}

TEST_F(ViewerTraceTest, TheLongestTraceFitsTheStatusBarAtTheDesignedWidth) {
  const QString longest =
      "(255,255) 色$0F NES$2A スプライト$FF 定義$3FFFF 配置$3FFFF タイル$FF 上下左右反転 パレット3 CHR$7FFF0";
  const QStatusBar* bar = Form1->statusBar();
  EXPECT_LT(QFontMetrics(bar->font()).horizontalAdvance(longest), bar->width() - 16);
}

TEST_F(ViewerTraceTest, StatusBarNamesThePatternTableTile) {
  GoToPattern(0, 0x0D);
  // The control shows the 128 x 128 table at twice its size; band 1 holds CHR bank $30.
  EXPECT_EQ(MoveTo(Form1->ImgPatternTable, QPoint(20, 70)), "タイル$41 CHR$4C020");
  EXPECT_EQ(MoveTo(Form1->ImgPatternTable, QPoint(255, 127)), "タイル$7F CHR$4C400");
  EXPECT_EQ(MoveTo(Form1->ImgPatternTable, QPoint(250, 200)), "タイル$CF 読み込みなし");
}

TEST_F(ViewerTraceTest, TraceFollowsTheZoom) {
  GoToPattern(0, 0x0D);
  GoToAnimation(7);
  Tick();
  Form1->SetZoom(3);
  ShowSpritePage();
  const auto& pixel = SpritePixels[2];
  // Any of the 3 x 3 control pixels of picture pixel (137, 134).
  EXPECT_EQ(MoveTo(Form1->ImgSprite, pixel.At * 3 + QPoint(2, 1)), pixel.Text);
  EXPECT_EQ(MoveTo(Form1->ImgPatternTable, QPoint(60, 210)), "タイル$41 CHR$4C020");
  ShowAnimationPage();
  ScrollTo(Form1->ImgAnimation, SpritePixels[4].At * 3);
  QTest::mouseClick(Form1->ImgAnimation, Qt::LeftButton, {}, SpritePixels[4].At * 3);
  EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabSprite);
}

TEST_F(ViewerTraceTest, ClickOnASpriteOfTheFrameOpensItsPattern) {
  Form1->CmbSBankSelect->setCurrentIndex(2);
  GoToPattern(2, 0x1FF);
  GoToAnimation(7);
  Tick();
  // A transparent pixel opens nothing.
  QTest::mouseClick(Form1->ImgAnimation, Qt::LeftButton, {}, QPoint(254, 253));
  EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabAnimation);
  QTest::mouseClick(Form1->ImgAnimation, Qt::LeftButton, {}, QPoint(1, 3));
  EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabSprite);
  EXPECT_EQ(Form1->CmbSBankSelect->currentIndex(), 0);
  EXPECT_EQ(Form1->CmbSSpriteNumHigh->currentIndex(), 0);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "0D");
  EXPECT_EQ(Text(Form1->LblSFrameAddress), Address(Frame));
  EXPECT_EQ(Text(Form1->LblSAlignAddress), Address(Align));
  // The animation page was not reset, and the click gave the focus to the window as a page click does.
  EXPECT_EQ(Text(Form1->EditAAnimationNum), "07");
  EXPECT_EQ(QApplication::focusWidget(), Form1);
}

}  // namespace
}  // namespace viewer_test
