// The window driven as the user drives it: mouse clicks on the tabs, the page
// backgrounds and the buttons, keys through the window to whatever holds the
// focus, and the running 16 ms timer.

#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <functional>

#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

class ViewerEventsTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    OpenDemoInActiveWindow();
  }

  QTabBar* Tabs() const { return Form1->PageControl1->tabBar(); }
  void ClickTab(int Index) { QTest::mouseClick(Tabs(), Qt::LeftButton, {}, Tabs()->tabRect(Index).center()); }
  // A spot of each page that no control covers.
  void ClickBackground(QWidget* Page) { QTest::mouseClick(Page, Qt::LeftButton, {}, QPoint(290, 200)); }
  // Through the window, so the key goes where the focus is.
  void Press(Qt::Key Key) { QTest::keyClick(Form1->windowHandle(), Key); }
  QWidget* Focused() const { return QApplication::focusWidget(); }
  void Click(QWidget* Control) { QTest::mouseClick(Control, Qt::LeftButton); }
  // The add-line arrow at the right end of the frame scroll bar, a square as high as the bar.
  void ClickFrameArrow() {
    QScrollBar* bar = Form1->SBAFrame;
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - bar->height() / 2, bar->height() / 2));
  }
};

TEST_F(ViewerEventsTest, ClickedTabKeepsTheFocusAndItsArrowsSwitchPages) {
  ClickBackground(Form1->TabAnimation);
  ASSERT_EQ(Focused(), Form1);
  ClickTab(1);
  EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabSprite);
  EXPECT_EQ(Focused(), Tabs());
  // The tab holds the focus: no arrow key reaches a page's number.
  Press(Qt::Key_Right);
  Press(Qt::Key_Up);
  EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabSprite);
  Press(Qt::Key_Left);
  EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabAnimation);
  Press(Qt::Key_Down);
  EXPECT_EQ(Focused(), Tabs());
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "00");
  EXPECT_EQ(Text(Form1->EditAAnimationNum), "00");
}

TEST_F(ViewerEventsTest, PageBackgroundTakesTheFocusFromTheTab) {
  const struct {
    int Tab;
    QWidget* Page;
    QLineEdit* Number;
  } pages[] = {{1, Form1->TabSprite, Form1->EditSSpriteNum}, {0, Form1->TabAnimation, Form1->EditAAnimationNum}};
  for (const auto& page : pages) {
    SCOPED_TRACE(page.Page->objectName().toStdString());
    ClickTab(page.Tab);
    ASSERT_EQ(Focused(), Tabs());
    ClickBackground(page.Page);
    EXPECT_EQ(Focused(), Form1);
    Press(Qt::Key_Up);
    EXPECT_EQ(Text(page.Number), "10");
  }
}

TEST_F(ViewerEventsTest, ChoosingAnItemWithTheKeyboardRunsTheBoxsHandler) {
  const int base0 = DemoRom::BankBases[0], base1 = DemoRom::BankBases[1];
  const struct {
    QComboBox* Box;
    QWidget* Page;
    int SpriteFrame;     // FrameData shown for pattern $03 (or $103) afterwards
    int Animation;       // AnimationData shown afterwards
    bool KeepsTheFocus;  // a bank box keeps it; the high-part box gives it to the window
  } cases[] = {
      {Form1->CmbABankSelect, Form1->TabAnimation, FrameOffsetIn(Image, base0, 0x03), AnimationOffsetIn(Image, base1, 0), true},
      {Form1->CmbSBankSelect, Form1->TabSprite, FrameOffsetIn(Image, base1, 0x03), AnimationOffsetIn(Image, base0, 0), true},
      {Form1->CmbSSpriteNumHigh, Form1->TabSprite, FrameOffsetIn(Image, base0, 0x103), AnimationOffsetIn(Image, base0, 5), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Box->objectName().toStdString());
    for (auto* box : {Form1->CmbABankSelect, Form1->CmbSBankSelect, Form1->CmbSSpriteNumHigh}) box->setCurrentIndex(0);
    ShowAnimationPage();
    Form1->EditAAnimationNum->setText("05");
    Key(VK_SPACE);
    GoToPattern(0, 0x03);
    const TGraphic* sprite = ShownBy(Form1->ImgSprite).Graphic;
    Form1->PageControl1->setCurrentWidget(c.Page);
    c.Box->setFocus();
    ASSERT_EQ(Focused(), c.Box);

    Press(Qt::Key_Down);

    EXPECT_EQ(c.Box->currentIndex(), 1);
    EXPECT_NE(ShownBy(Form1->ImgSprite).Graphic, sprite);
    EXPECT_EQ(Text(Form1->LblSFrameAddress), Address(c.SpriteFrame));
    EXPECT_EQ(Text(Form1->LblADataAddress), Address(c.Animation));
    EXPECT_EQ(Text(Form1->EditAAnimationNum), c.KeepsTheFocus ? "00" : "05");
    EXPECT_EQ(Focused(), c.KeepsTheFocus ? static_cast<QWidget*>(c.Box) : Form1);
  }
}

TEST_F(ViewerEventsTest, PlayAndStopButtonsStartAndStopPlayback) {
  const struct {
    QPushButton* Button;
    bool Playing;
  } clicks[] = {{Form1->btnAnimationPlay, true}, {Form1->btnAnimationStop, false}, {Form1->btnAnimationPlay, true}};
  for (const auto& click : clicks) {
    SCOPED_TRACE(click.Button->objectName().toStdString());
    QTest::mouseClick(click.Button, Qt::LeftButton);
    EXPECT_EQ(AnimationPage.Playing, click.Playing);
    EXPECT_EQ(Form1->btnAnimationPlay->isEnabled(), !click.Playing);
    EXPECT_EQ(Form1->btnAnimationStop->isEnabled(), click.Playing);
  }
}

TEST_F(ViewerEventsTest, RunningTimerPlaysTheAnimation) {
  // One tick per frame: frames 0, 1, 2 show on three consecutive ticks.
  GoToAnimation(DemoRom::OneTickFrames.Number);
  Form1->AnimationTimer.start();
  QTest::mouseClick(Form1->btnAnimationPlay, Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([this] { return Text(Form1->LblACurrentFrame) == "2"; }, 5000));
  EXPECT_TRUE(AnimationPage.Playing);
  EXPECT_EQ(Form1->SBAFrame->value(), AnimationPage.CurrentFrame);
}

// The frame scroll bar is the page's tab stop after the dump box and takes the
// focus from a click on its arrow; its arrow keys then step frames through the
// scroll handler, which refuses every move while playing.
TEST_F(ViewerEventsTest, FrameScrollBarTakesTheFocusAndItsArrowKeysStepFrames) {
  // Animation $00: 02 03 10 11 12, frames 0..2 showing patterns $010..$012, 4 ticks each.
  Tick();
  QWidget* bar = Form1->SBAFrame;
  const struct {
    const char* What;
    std::function<void()> Do;
    QWidget* Focus;
    int Frame;  // the thumb and the frame label; the picture too while stopped
  } steps[] = {
      {"click the number box", [&] { Click(Form1->EditAAnimationNum); }, Form1->EditAAnimationNum, 0},
      {"Tab", [&] { Press(Qt::Key_Tab); }, Form1->btnAnimationPlay, 0},
      {"Tab past the disabled Stop", [&] { Press(Qt::Key_Tab); }, Form1->EditAData, 0},
      {"Tab", [&] { Press(Qt::Key_Tab); }, bar, 0},
      {"Right", [&] { Press(Qt::Key_Right); }, bar, 1},
      {"Right", [&] { Press(Qt::Key_Right); }, bar, 2},
      {"Right at the end", [&] { Press(Qt::Key_Right); }, bar, 2},
      {"Left", [&] { Press(Qt::Key_Left); }, bar, 1},
      {"Up", [&] { Press(Qt::Key_Up); }, bar, 0},
      {"Down", [&] { Press(Qt::Key_Down); }, bar, 1},
      {"Shift+Tab", [&] { QTest::keyClick(Form1->windowHandle(), Qt::Key_Backtab, Qt::ShiftModifier); }, Form1->EditAData, 1},
      {"page background", [&] { ClickBackground(Form1->TabAnimation); }, Form1, 1},
      {"click the arrow", [&] { ClickFrameArrow(); }, bar, 2},
      {"Left", [&] { Press(Qt::Key_Left); }, bar, 1},
      // Play goes on from frame 0 and reaches frame 1 on the fourth tick.
      {"Play, four ticks", [&] { Click(Form1->btnAnimationPlay); Tick(4); }, Form1, 1},
      {"click the arrow while playing", [&] { ClickFrameArrow(); }, bar, 1},
      {"Right while playing", [&] { Press(Qt::Key_Right); }, bar, 1},
      {"Left while playing", [&] { Press(Qt::Key_Left); }, bar, 1},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.What);
    step.Do();
    EXPECT_EQ(Focused(), step.Focus) << (Focused() ? Focused()->objectName().toStdString() : "none");
    EXPECT_EQ(Form1->SBAFrame->value(), step.Frame);
    EXPECT_EQ(Text(Form1->LblACurrentFrame), std::to_string(step.Frame));
    if (!AnimationPage.Playing) {
      EXPECT_TRUE(ShownBy(Form1->ImgAnimation).SamePicture(Reference(0, 0x10 + step.Frame)));
    }
    EXPECT_EQ(Text(Form1->EditAAnimationNum), "00");
  }
}

// A button that disables itself while it holds the focus (Play when clicked, Stop
// when clicked or when a $00 frame ends playback) gives the focus to the window,
// so the next arrow key steps the animation number.
TEST_F(ViewerEventsTest, ButtonDisablingItselfGivesTheFocusToTheWindow) {
  const auto playUntilStopped = [&] {
    Click(Form1->btnAnimationPlay);
    Form1->btnAnimationStop->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(Focused(), Form1->btnAnimationStop);
    for (int tick = 0; tick < 1000 && AnimationPage.Playing; ++tick) Tick();
  };
  const struct {
    const char* What;
    std::function<void()> Do;
    const char* Number;  // after Right
  } steps[] = {
      {"click Play", [&] { Click(Form1->btnAnimationPlay); }, "01"},
      {"click Stop", [&] { Click(Form1->btnAnimationStop); }, "02"},
      // Animation $04 ends with a $00 frame, reached while Stop holds the focus.
      {"a $00 frame", [&] { Press(Qt::Key_Right); Press(Qt::Key_Right); playUntilStopped(); }, "05"},
  };
  Tick();
  for (const auto& step : steps) {
    SCOPED_TRACE(step.What);
    step.Do();
    EXPECT_EQ(Focused(), Form1) << (Focused() ? Focused()->objectName().toStdString() : "none");
    Press(Qt::Key_Right);
    EXPECT_EQ(Text(Form1->EditAAnimationNum), step.Number);
  }
  EXPECT_FALSE(AnimationPage.Playing);
}

}  // namespace
}  // namespace viewer_test
