// The window driven as the user drives it: mouse clicks on the tabs, the page
// backgrounds and the buttons, keys through the window to whatever holds the
// focus, and the running 16 ms timer.

#include <QTabBar>
#include <QTest>

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

}  // namespace
}  // namespace viewer_test
