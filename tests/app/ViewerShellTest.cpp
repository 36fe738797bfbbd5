// The main window: start-up, the open command in all its outcomes, key
// routing, focus and the combo boxes.

#include <QKeyEvent>
#include <QMouseEvent>

#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

const std::string HeaderBad = "ヘッダが異常です";
const std::string SizeBad = "ファイルサイズが異常です";

std::string CannotOpen(const std::string& Path) { return "ファイル " + Path + " は開けません"; }

// ---- Start-up ----

using ViewerStartTest = ViewerTest;

TEST_F(ViewerStartTest, WindowStartsEmptyWithTheAnimationPageActive) {
  EXPECT_FALSE(Form1->PageControl1->isVisible());
  EXPECT_FALSE(Form1->PageControl1->isVisibleTo(Form1));
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer");
  EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabAnimation);
  EXPECT_EQ(SpriteDrawer, nullptr);
  EXPECT_NE(FcPalette, nullptr);
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(TimerRanAtStart);
  EXPECT_EQ(TimerIntervalAtStart, 16);
}

TEST_F(ViewerStartTest, ArrowKeysReachTheHiddenAnimationPageAndWorkOnZeroedBuffers) {
  Key(VK_RIGHT);
  EXPECT_EQ(Text(Form1->EditAAnimationNum), "01");
  EXPECT_EQ(AnimationPage.AnimationNumber, 1);
  // Every pointer of the zeroed tables leads to the bank base minus $8000.
  EXPECT_EQ(Text(Form1->LblADataAddress), "$1C010");
  EXPECT_EQ(Text(Form1->LblAnFrame), "1");
  EXPECT_EQ(Text(Form1->LblATimer), "1");
  EXPECT_EQ(Text(Form1->EditAData), "00 00 00 ");
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "0");
  EXPECT_EQ(Text(Form1->LblAFrameMax), "0");
  EXPECT_EQ(Form1->SBAFrame->maximum(), 0);

  // Frame byte 0 makes an empty picture on the next tick, without a renderer.
  Tick();
  const TShown shown = ShownBy(Form1->ImgAnimation);
  EXPECT_EQ(shown.Width, 256);
  EXPECT_TRUE(shown.Uniform(0));
  EXPECT_FALSE(AnimationPage.Playing);
  EXPECT_TRUE(Shown().empty());
}

TEST_F(ViewerStartTest, CancelledOpenChangesNothing) {
  Form1->ROMOpenDialog = [] { return std::optional<std::string>(); };
  Form1->Open1Click();
  EXPECT_FALSE(Form1->PageControl1->isVisibleTo(Form1));
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer");
  EXPECT_EQ(SpriteDrawer, nullptr);
  EXPECT_TRUE(Shown().empty());
}

TEST_F(ViewerStartTest, PicturesAreColouredFromThePaletteFile) {
  OpenDemo();
  Tick();
  const auto expected = SpriteColors(NesMasterPalette());
  EXPECT_EQ(ShownBy(Form1->ImgSprite).Colors, expected);
  EXPECT_EQ(ShownBy(Form1->ImgPatternTable).Colors, expected);
  EXPECT_EQ(ShownBy(Form1->ImgAnimation).Colors, expected);
}

// A palette file whose colours differ from the built-in ones shows which one the pictures use.
class ViewerOwnPaletteTest : public ViewerTest {
protected:
  static std::array<std::uint8_t, 192> Inverted() {
    std::array<std::uint8_t, 192> bytes = NesMasterPalette();
    for (auto& b : bytes) b = static_cast<std::uint8_t>(255 - b);
    return bytes;
  }
  std::optional<std::vector<std::uint8_t>> PaletteFile() const override {
    const auto bytes = Inverted();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  }
};

TEST_F(ViewerOwnPaletteTest, PicturesTakeTheFilesColours) {
  OpenDemo();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(ShownBy(Form1->ImgSprite).Colors, SpriteColors(Inverted()));
  EXPECT_NE(SpriteColors(Inverted()), SpriteColors(NesMasterPalette()));
}

class ViewerNoPaletteTest : public ViewerTest {
protected:
  std::optional<std::vector<std::uint8_t>> PaletteFile() const override { return std::nullopt; }
};

TEST_F(ViewerNoPaletteTest, MissingPaletteFileIsReportedAtWindowCreation) {
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].Caption, "TARVELIN Sprite Viewer");
  EXPECT_EQ(Shown()[0].Text, "ファイル fcpalette.pal は開けません");
  EXPECT_EQ(Shown()[0].Kind, TMessageKind::Error);
  EXPECT_EQ(FcPalette, nullptr);
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer");
}

TEST_F(ViewerNoPaletteTest, WindowStillWorksWithTheBuiltInPalette) {
  OpenDemo();
  Tick();
  EXPECT_EQ(Shown().size(), 1u);
  EXPECT_TRUE(Form1->PageControl1->isVisibleTo(Form1));
  const auto expected = SpriteColors(NesMasterPalette());
  const TShown sprite = ShownBy(Form1->ImgSprite);
  EXPECT_EQ(sprite.Colors, expected);
  EXPECT_EQ(ShownBy(Form1->ImgAnimation).Colors, expected);
  EXPECT_FALSE(sprite.Uniform(0));
}

// ---- The open command ----

using ViewerOpenTest = ViewerTest;

TEST_F(ViewerOpenTest, GoodOpenShowsTheAnimationPageWithThePathInTheCaption) {
  OpenDemo();
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(Form1->PageControl1->isVisibleTo(Form1));
  EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabAnimation);
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer - " + RomPath);
  EXPECT_EQ(Application.GetTitle(), "TARVELIN Sprite Viewer");
  EXPECT_NE(SpriteDrawer, nullptr);
  EXPECT_TRUE(BuffersHoldDemo());
  // Both pages show the first record of bank "12-13".
  EXPECT_EQ(Text(Form1->LblSFrameAddress), Address(DemoRom::OneSprite.FrameOffset));
  EXPECT_EQ(Text(Form1->LblADataAddress), Address(DemoRom::ThreeFrames.Offset));
}

TEST_F(ViewerOpenTest, GoodOpenResetsTheLowPartAndKeepsTheHighPart) {
  Form1->CmbSSpriteNumHigh->setCurrentIndex(1);
  Form1->EditSSpriteNum->setText("5A");
  SpritePage.SpriteNumLow = 0x5A;
  OpenDemo();
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "00");
  EXPECT_EQ(SpritePage.SpriteNumLow, 0);
  EXPECT_EQ(Form1->CmbSSpriteNumHigh->currentIndex(), 1);
  EXPECT_EQ(Text(Form1->LblSFrameAddress), Address(DemoRom::FirstHighPattern.FrameOffset));
  EXPECT_EQ(Text(Form1->LblSCHRBank), Hex(DemoRom::FirstHighPattern.ChrBank, 2, "$"));
}

TEST_F(ViewerOpenTest, SecondGoodOpenReplacesTheFirst) {
  OpenDemo();
  GoToPattern(0, DemoRom::LastPattern.Number);
  GoToAnimation(DemoRom::Tour.Number);
  ::btnAnimationPlayClick();
  Tick(40);
  auto other = Image;
  other[static_cast<std::size_t>(DemoRom::LastPattern.FrameOffset + 1)] = 0x02;  // three sprites
  const std::string otherPath = Dir.Write("other.nes", other);
  Open(otherPath);
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer - " + otherPath);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "00");
  EXPECT_EQ(Form1->CmbSSpriteNumHigh->currentIndex(), 1);
  EXPECT_EQ(Text(Form1->LblSFrameAddress), Address(DemoRom::FirstHighPattern.FrameOffset));
  EXPECT_FALSE(AnimationPage.Playing);
  EXPECT_EQ(Text(Form1->EditAAnimationNum), "00");
  EXPECT_EQ(Text(Form1->LblADataAddress), Address(DemoRom::ThreeFrames.Offset));
  // The page that was active stays active.
  EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabAnimation);
  GoToPattern(0, DemoRom::LastPattern.Number);
  EXPECT_EQ(Text(Form1->LblSnSprite), "3");
}

// A rejected file after a good one: the box, zeroed buffers, and the good one's screen kept.
class ViewerBadOpenTest : public ViewerTest, public testing::WithParamInterface<int> {
protected:
  std::vector<std::uint8_t> BadFile() const {
    if (GetParam() == 0) {
      auto bytes = Image;
      bytes[3] = 0x1B;
      return bytes;
    }
    return std::vector<std::uint8_t>(Image.begin(), Image.begin() + 15);
  }
  std::string Message() const { return GetParam() == 0 ? HeaderBad : SizeBad; }
};

TEST_P(ViewerBadOpenTest, KeepsCaptionAndPicturesAndZeroesTheBuffers) {
  OpenDemo();
  GoToPattern(0, DemoRom::FourGroups.Number);
  ShowAnimationPage();
  Tick();
  const TShown sprite = ShownBy(Form1->ImgSprite);
  const TShown table = ShownBy(Form1->ImgPatternTable);
  const TShown animation = ShownBy(Form1->ImgAnimation);
  const std::string frameAddress = Text(Form1->LblSFrameAddress);
  const std::string animationData = Text(Form1->EditAData);
  const TDrawSprite* drawer = SpriteDrawer.get();

  Open(Dir.Write("bad.nes", BadFile()));

  Messages->ExpectOnly(Message());
  EXPECT_TRUE(BuffersZero());
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer - " + RomPath);
  EXPECT_TRUE(Form1->PageControl1->isVisibleTo(Form1));
  EXPECT_EQ(SpriteDrawer.get(), drawer);
  const TShown spriteAfter = ShownBy(Form1->ImgSprite);
  const TShown tableAfter = ShownBy(Form1->ImgPatternTable);
  const TShown animationAfter = ShownBy(Form1->ImgAnimation);
  EXPECT_EQ(spriteAfter.Graphic, sprite.Graphic);
  EXPECT_EQ(tableAfter.Graphic, table.Graphic);
  EXPECT_EQ(animationAfter.Graphic, animation.Graphic);
  EXPECT_TRUE(spriteAfter.SamePicture(sprite));
  EXPECT_TRUE(tableAfter.SamePicture(table));
  EXPECT_TRUE(animationAfter.SamePicture(animation));
  EXPECT_EQ(Text(Form1->LblSFrameAddress), frameAddress);
  EXPECT_EQ(Text(Form1->EditAData), animationData);
  EXPECT_FALSE(sprite.Uniform(0));
}

TEST_P(ViewerBadOpenTest, NextKeyRedrawsFromZeroedBuffers) {
  OpenDemo();
  GoToPattern(0, DemoRom::AllSprites.Number);
  Open(Dir.Write("bad.nes", BadFile()));

  Key(VK_SPACE);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "05");
  EXPECT_EQ(Text(Form1->LblSFrameAddress), "$1C010");
  EXPECT_EQ(Text(Form1->LblSAlignAddress), "$1C010");
  EXPECT_EQ(Text(Form1->LblSnSprite), "1");
  EXPECT_EQ(Text(Form1->LblSCHRBank), "$00");
  EXPECT_EQ(Text(Form1->EditSFrameData), "00 00 00 00 00 ");
  EXPECT_EQ(Text(Form1->EditSAlignData), "00 00 ");
  // The kept renderer reads the zeroed CHR data: nothing but colour 0.
  EXPECT_TRUE(ShownBy(Form1->ImgSprite).Uniform(0));
  EXPECT_TRUE(ShownBy(Form1->ImgPatternTable).Uniform(0));

  ShowAnimationPage();
  Key(VK_SPACE);
  EXPECT_EQ(Text(Form1->LblADataAddress), "$1C010");
  EXPECT_EQ(Text(Form1->EditAData), "00 00 00 ");
  Tick();
  EXPECT_TRUE(ShownBy(Form1->ImgAnimation).Uniform(0));
}

TEST_P(ViewerBadOpenTest, InTheEmptyStateLeavesItEmpty) {
  Open(Dir.Write("bad.nes", BadFile()));
  Messages->ExpectOnly(Message());
  EXPECT_TRUE(BuffersZero());
  EXPECT_FALSE(Form1->PageControl1->isVisibleTo(Form1));
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer");
  EXPECT_EQ(SpriteDrawer, nullptr);
}

INSTANTIATE_TEST_SUITE_P(HeaderAndSize, ViewerBadOpenTest, testing::Values(0, 1),
                         [](const testing::TestParamInfo<int>& Info) {
                           return std::string(Info.param == 0 ? "FourthByte1B" : "FifteenBytes");
                         });

// Timer ticks go on while a load's message box is up, before the buffers are cleared.
class TTickingMessageBoxes : public IMessageBoxes {
public:
  void Show(const std::string& Caption, const std::string& Text, TMessageKind) override {
    Shown.push_back(Caption + ": " + Text);
    for (int i = 0; i < 40; ++i) Form1->AnimationTimerTimer();
  }
  std::vector<std::string> Shown;
};

TEST_F(ViewerOpenTest, TicksDuringTheMessageOfARejectedFileStayInsideTheBuffers) {
  OpenDemo();
  Form1->CmbABankSelect->setCurrentIndex(2);
  Form1->CmbSBankSelectChange();
  ::btnAnimationPlayClick();
  Tick();
  // Every pointer $FFFF and every count at its largest: the farthest reads the layout allows.
  std::vector<std::uint8_t> bad(static_cast<std::size_t>(RomImageSize), 0xFF);
  bad[0] = 'N';
  bad[1] = 'E';
  bad[2] = 'S';
  bad[3] = 0x1B;
  const std::string path = Dir.Write("bad.nes", bad);
  for (const int number : {0x00, 0xFF}) {
    Form1->EditAAnimationNum->setText(QString::fromStdString(Hex(number, 2)));
    Key(VK_SPACE);
    auto ticking = std::make_shared<TTickingMessageBoxes>();
    const auto previous = Application.SetMessageBoxes(ticking);
    Open(path);
    Application.SetMessageBoxes(previous);
    ASSERT_EQ(ticking->Shown.size(), 1u);
    EXPECT_EQ(ticking->Shown[0], "TARVELIN Sprite Viewer: " + HeaderBad);
    EXPECT_TRUE(BuffersZero());
    OpenDemo();
    Form1->CmbABankSelect->setCurrentIndex(2);
    Form1->CmbSBankSelectChange();
    ::btnAnimationPlayClick();
  }
}

// A path the load cannot open: the general error handler's box, and no change at all.
class ViewerUnreadableOpenTest : public ViewerTest, public testing::WithParamInterface<bool> {
protected:
  std::string UnreadablePath() const {
    if (GetParam()) return (Dir.Path() / "missing.nes").string();
    const auto directory = Dir.Path() / "folder.nes";
    std::filesystem::create_directory(directory);
    return directory.string();
  }
};

TEST_P(ViewerUnreadableOpenTest, ShowsTheErrorAndChangesNothing) {
  OpenDemo();
  GoToPattern(0, DemoRom::LoadOffset3.Number);
  const TShown sprite = ShownBy(Form1->ImgSprite);
  const TDrawSprite* drawer = SpriteDrawer.get();
  const std::string path = UnreadablePath();

  OpenFromMenu(path);

  Messages->ExpectOnly(CannotOpen(path));
  EXPECT_EQ(Shown().at(0).Kind, TMessageKind::Error);
  EXPECT_TRUE(BuffersHoldDemo());
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer - " + RomPath);
  EXPECT_EQ(SpriteDrawer.get(), drawer);
  EXPECT_EQ(ShownBy(Form1->ImgSprite).Graphic, sprite.Graphic);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "09");
  EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabSprite);
}

TEST_P(ViewerUnreadableOpenTest, InTheEmptyStateLeavesItEmpty) {
  const std::string path = UnreadablePath();
  OpenFromMenu(path);
  Messages->ExpectOnly(CannotOpen(path));
  EXPECT_FALSE(Form1->PageControl1->isVisibleTo(Form1));
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer");
  EXPECT_EQ(SpriteDrawer, nullptr);
}

INSTANTIATE_TEST_SUITE_P(MissingAndDirectory, ViewerUnreadableOpenTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& Info) {
                           return std::string(Info.param ? "MissingFile" : "Directory");
                         });

// ---- Routing, focus and the combo boxes ----

using ViewerRoutingTest = ViewerTest;

TEST_F(ViewerRoutingTest, KeysGoToTheActivePageOnly) {
  OpenDemo();
  ShowSpritePage();
  Key(VK_RIGHT);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "01");
  EXPECT_EQ(Text(Form1->EditAAnimationNum), "00");
  ShowAnimationPage();
  Key(VK_LEFT);
  EXPECT_EQ(Text(Form1->EditAAnimationNum), "FF");
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "01");
}

// The window on screen and active, so focus moves as it does for the user.
class ViewerFocusTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    Form1->show();
    Form1->activateWindow();
    QApplication::processEvents();
  }
  void PressOnFocus(int QtKey) {
    QKeyEvent press(QEvent::KeyPress, QtKey, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &press);
  }
};

TEST_F(ViewerFocusTest, ChoosingHighPartOneShowsPattern100PlusLowAndGivesFocusBack) {
  OpenDemo();
  ShowSpritePage();
  Form1->EditSSpriteNum->setText(QString::fromStdString(Hex(DemoRom::HighWalkFrame1.Number & 0xFF, 2)));
  Key(VK_SPACE);
  Form1->CmbSSpriteNumHigh->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::focusWidget(), Form1->CmbSSpriteNumHigh);

  Form1->CmbSSpriteNumHigh->setCurrentIndex(1);
  Form1->CmbSSpriteNumHighChange();

  EXPECT_EQ(Text(Form1->LblSFrameAddress), Address(DemoRom::HighWalkFrame1.FrameOffset));
  EXPECT_EQ(Text(Form1->LblSAlignAddress), Address(DemoRom::HighWalkFrame1.AlignOffset));
  EXPECT_EQ(Text(Form1->LblSCHRBank), Hex(DemoRom::HighWalkFrame1.ChrBank, 2, "$"));
  EXPECT_EQ(QApplication::focusWidget(), Form1);
  // An arrow key now reaches the page at once.
  PressOnFocus(Qt::Key_Right);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), Hex((DemoRom::HighWalkFrame2.Number & 0xFF), 2));
  EXPECT_EQ(Text(Form1->LblSFrameAddress), Address(DemoRom::HighWalkFrame2.FrameOffset));
}

TEST_F(ViewerFocusTest, PageBackgroundClickTakesFocusOffTheControls) {
  OpenDemo();
  Form1->CmbABankSelect->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::focusWidget(), Form1->CmbABankSelect);
  const QPointF spot(400, 300);
  QMouseEvent press(QEvent::MouseButtonPress, spot, Form1->TabAnimation->mapToGlobal(spot), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Form1->TabAnimation, &press);
  EXPECT_EQ(QApplication::focusWidget(), Form1);
  PressOnFocus(Qt::Key_Up);
  EXPECT_EQ(Text(Form1->EditAAnimationNum), "10");
}

TEST_F(ViewerFocusTest, SpritePageBackgroundTakesFocusOffTheBankBox) {
  OpenDemo();
  ShowSpritePage();
  Form1->CmbSBankSelect->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::focusWidget(), Form1->CmbSBankSelect);
  Form1->TabPageMouseDown();
  EXPECT_EQ(QApplication::focusWidget(), Form1);
  PressOnFocus(Qt::Key_Down);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "F0");
  EXPECT_EQ(Form1->CmbSSpriteNumHigh->currentIndex(), 1);
}

TEST_F(ViewerFocusTest, BankBoxKeepsTheFocusAfterAChange) {
  OpenDemo();
  Form1->CmbABankSelect->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::focusWidget(), Form1->CmbABankSelect);
  Form1->CmbABankSelect->setCurrentIndex(1);
  Form1->CmbSBankSelectChange();
  EXPECT_EQ(QApplication::focusWidget(), Form1->CmbABankSelect);
}

TEST_F(ViewerFocusTest, ArrowKeysOnAFocusedControlDoNotReachThePage) {
  OpenDemo();
  Form1->btnAnimationPlay->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::focusWidget(), Form1->btnAnimationPlay);
  PressOnFocus(Qt::Key_Right);
  EXPECT_EQ(Text(Form1->EditAAnimationNum), "00");
}

using ViewerBankTest = ViewerTest;

TEST_F(ViewerBankTest, SpriteBankChangeKeepsTheNumberAndResetsTheAnimationPage) {
  OpenDemo();
  GoToAnimation(DemoRom::Tour.Number);
  GoToPattern(0, DemoRom::LastPattern.Number);
  Form1->CmbSBankSelect->setCurrentIndex(DemoRom::Bank16LastPattern.BankIndex);
  Form1->CmbSBankSelectChange();
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "FF");
  EXPECT_EQ(Form1->CmbSSpriteNumHigh->currentIndex(), 1);
  EXPECT_EQ(Text(Form1->LblSFrameAddress), Address(DemoRom::Bank16LastPattern.FrameOffset));
  EXPECT_EQ(Text(Form1->LblSCHRBank), Hex(DemoRom::Bank16LastPattern.ChrBank, 2, "$"));
  // The animation page still reads its own box, "12-13".
  EXPECT_EQ(Text(Form1->EditAAnimationNum), "00");
  EXPECT_EQ(Text(Form1->LblADataAddress), Address(DemoRom::ThreeFrames.Offset));
}

TEST_F(ViewerBankTest, AnimationBankChangeAlsoRedrawsTheSpritePage) {
  OpenDemo();
  GoToPattern(0, DemoRom::Overlap.Number);
  const TShown before = ShownBy(Form1->ImgSprite);
  Form1->CmbABankSelect->setCurrentIndex(DemoRom::Bank16Animation.BankIndex);
  Form1->CmbSBankSelectChange();
  EXPECT_NE(ShownBy(Form1->ImgSprite).Graphic, before.Graphic);
  EXPECT_EQ(Text(Form1->LblSFrameAddress), Address(DemoRom::Overlap.FrameOffset));
  EXPECT_EQ(Text(Form1->LblADataAddress),
            Address(AnimationOffsetIn(Image, DemoRom::BankBases[DemoRom::Bank16Animation.BankIndex], 0)));
  ShowAnimationPage();
  Key(VK_LEFT);
  EXPECT_EQ(Text(Form1->LblADataAddress), Address(DemoRom::Bank16Animation.Offset));
}

}  // namespace
}  // namespace viewer_test
