// The animation page: number stepping, its labels, and playback under driven timer ticks.

#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

class ViewerAnimationTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    OpenDemo();
  }

  int At(int Offset) const { return Image[static_cast<std::size_t>(Offset)]; }
  int LastFrame(const DemoRom::TAnimation& A) const { return At(A.Offset) & 0x7F; }
  int Ticks(const DemoRom::TAnimation& A) const { return At(A.Offset + 1) + 1; }
  // Picture of frame k as the rules give it: the pattern its byte names, with the record's high bit.
  TShown FramePicture(const DemoRom::TAnimation& A, int Frame) const {
    const int b = At(A.Offset + 2 + Frame);
    return Reference(A.BankIndex, b + 256 * (At(A.Offset) >> 7));
  }
  // The frame playback shows at tick t (t >= 1) after Play from frame 0 with no tick counted.
  int FrameAtTick(const DemoRom::TAnimation& A, int Tick) const { return Tick / Ticks(A) % (LastFrame(A) + 1); }

  TShown Showing() const { return ShownBy(Form1->ImgAnimation); }
  void Play() { ::btnAnimationPlayClick(); }
  void Stop() { ::btnAnimationStopClick(); }
  void ExpectButtons(bool Playing) {
    EXPECT_EQ(AnimationPage.Playing, Playing);
    EXPECT_EQ(Form1->btnAnimationPlay->isEnabled(), !Playing);
    EXPECT_EQ(Form1->btnAnimationStop->isEnabled(), Playing);
  }
  void ExpectStep(const std::string& From, int VirtualKey, const std::string& To) {
    SCOPED_TRACE(From + " key " + Hex(VirtualKey, 2));
    Form1->EditAAnimationNum->setText(QString::fromStdString(From));
    Key(VirtualKey);
    EXPECT_EQ(Text(Form1->EditAAnimationNum), To);
    EXPECT_EQ(Hex(AnimationPage.AnimationNumber, 2), To);
    EXPECT_EQ(Text(Form1->LblADataAddress),
              Address(AnimationOffsetIn(Image, DemoRom::BankBases[0], std::stoi(To, nullptr, 16))));
  }
};

// ---- Numbers and labels ----

TEST_F(ViewerAnimationTest, ArrowKeysStepAndWrapTheNumber) {
  ExpectStep("FF", VK_RIGHT, "00");
  ExpectStep("00", VK_LEFT, "FF");
  ExpectStep("F8", VK_UP, "08");
  ExpectStep("05", VK_DOWN, "F5");
  ExpectStep("10", VK_DOWN, "00");
  ExpectStep("03", VK_RIGHT, "04");
}

TEST_F(ViewerAnimationTest, UnreadableNumberBoxCountsAsZero) {
  ExpectStep("ZZ", VK_RIGHT, "01");
  ExpectStep("", VK_SPACE, "00");
}

TEST_F(ViewerAnimationTest, ThreeFramesShowsItsRecord) {
  EXPECT_EQ(Text(Form1->EditAAnimationNum), "00");
  EXPECT_EQ(Text(Form1->LblADataAddress), Address(DemoRom::ThreeFrames.Offset));
  EXPECT_EQ(Text(Form1->LblAnFrame), "3");
  EXPECT_EQ(Text(Form1->LblATimer), "4");
  EXPECT_EQ(Text(Form1->EditAData), "02 03 10 11 12 ");
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "0");
  EXPECT_EQ(Text(Form1->LblAFrameMax), "2");
  EXPECT_EQ(Form1->SBAFrame->minimum(), 0);
  EXPECT_EQ(Form1->SBAFrame->maximum(), 2);
  EXPECT_EQ(Form1->SBAFrame->value(), 0);
  ExpectButtons(false);
}

TEST_F(ViewerAnimationTest, EveryDemoAnimationShowsItsRecord) {
  for (const auto& animation : DemoRom::Animations) {
    SCOPED_TRACE(animation.Exercises);
    Form1->CmbABankSelect->setCurrentIndex(animation.BankIndex);
    Form1->CmbSBankSelectChange();
    Form1->EditAAnimationNum->setText(QString::fromStdString(Hex(animation.Number, 2)));
    Key(VK_SPACE);
    const int last = LastFrame(animation);
    EXPECT_EQ(Text(Form1->LblADataAddress), Address(animation.Offset));
    EXPECT_EQ(Text(Form1->LblAnFrame), std::to_string(last + 1));
    EXPECT_EQ(Text(Form1->LblATimer), std::to_string(Ticks(animation)));
    EXPECT_EQ(Text(Form1->EditAData),
              Dump(std::span<const std::uint8_t>(Image).subspan(static_cast<std::size_t>(animation.Offset), 3u + last)));
    EXPECT_EQ(Text(Form1->LblAFrameMax), std::to_string(last));
    EXPECT_EQ(Form1->SBAFrame->maximum(), last);
  }
}

TEST_F(ViewerAnimationTest, TourCountsInDecimal) {
  GoToAnimation(DemoRom::Tour.Number);
  EXPECT_EQ(Text(Form1->LblAnFrame), "12");
  EXPECT_EQ(Text(Form1->LblATimer), "16");
  EXPECT_EQ(Text(Form1->LblAFrameMax), "11");
}

TEST_F(ViewerAnimationTest, OneFrameHasAScrollRangeOfZero) {
  GoToAnimation(DemoRom::OneFrame.Number);
  EXPECT_EQ(Form1->SBAFrame->maximum(), 0);
  EXPECT_EQ(Text(Form1->LblAFrameMax), "0");
  EXPECT_EQ(Text(Form1->LblAnFrame), "1");
}

// ---- Drawing while stopped ----

TEST_F(ViewerAnimationTest, FirstTickAfterOpenDrawsFrameZeroOnlyOnce) {
  EXPECT_EQ(Form1->ImgAnimation->GetPicture().GetGraphic(), nullptr);
  Tick();
  const TShown first = Showing();
  EXPECT_TRUE(first.SamePicture(FramePicture(DemoRom::ThreeFrames, 0)));
  Tick(10);
  EXPECT_EQ(Showing().Graphic, first.Graphic);
}

TEST_F(ViewerAnimationTest, OtherKeysRewindAndRedrawFrameZero) {
  for (const int key : {VK_SPACE, VK_A}) {
    SCOPED_TRACE(key);
    GoToAnimation(0);
    Tick();
    const TShown before = Showing();
    Key(key);
    EXPECT_EQ(Text(Form1->EditAAnimationNum), "00");
    Tick();
    EXPECT_NE(Showing().Graphic, before.Graphic);
    EXPECT_TRUE(Showing().SamePicture(FramePicture(DemoRom::ThreeFrames, 0)));
  }
}

// ---- Playback ----

struct TTimingCase {
  const DemoRom::TAnimation* Animation;
  const char* Name;
};

class ViewerPlaybackTimingTest : public ViewerAnimationTest, public testing::WithParamInterface<TTimingCase> {};

TEST_P(ViewerPlaybackTimingTest, EachTickShowsTheFrameTheRulesGive) {
  const auto& animation = *GetParam().Animation;
  GoToAnimation(animation.Number);
  std::vector<TShown> frames;
  for (int k = 0; k <= LastFrame(animation); ++k) frames.push_back(FramePicture(animation, k));
  for (std::size_t i = 0; i < frames.size(); ++i)
    for (std::size_t j = i + 1; j < frames.size(); ++j) ASSERT_FALSE(frames[i].SamePicture(frames[j])) << i << " " << j;

  Play();
  ExpectButtons(true);
  const TGraphic* previous = nullptr;
  int previousFrame = -1;
  for (int t = 1; t <= 4 * Ticks(animation) * (LastFrame(animation) + 1); ++t) {
    SCOPED_TRACE("tick " + std::to_string(t));
    Tick();
    const int frame = FrameAtTick(animation, t);
    const TShown shown = Showing();
    EXPECT_TRUE(shown.SamePicture(frames[static_cast<std::size_t>(frame)]));
    EXPECT_EQ(Text(Form1->LblACurrentFrame), std::to_string(frame));
    EXPECT_EQ(Form1->SBAFrame->value(), frame);
    // A frame is drawn once, when it comes up.
    if (frame == previousFrame) EXPECT_EQ(shown.Graphic, previous);
    else EXPECT_NE(shown.Graphic, previous);
    previous = shown.Graphic;
    previousFrame = frame;
  }
  ExpectButtons(true);
}

const TTimingCase TimingCases[] = {
    {&DemoRom::ThreeFrames, "ThreeFrames"},
    {&DemoRom::OneTickFrames, "OneTickFrames"},
    {&DemoRom::HighBit, "HighBit"},
};

INSTANTIATE_TEST_SUITE_P(DemoAnimations, ViewerPlaybackTimingTest, testing::ValuesIn(TimingCases),
                         [](const testing::TestParamInfo<TTimingCase>& Info) { return std::string(Info.param.Name); });

TEST_F(ViewerAnimationTest, ThreeFramesShowsEachPatternForFourTicks) {
  std::vector<TShown> patterns = {Reference(0, DemoRom::WalkFrame0.Number), Reference(0, DemoRom::WalkFrame1.Number),
                                  Reference(0, DemoRom::WalkFrame2.Number)};
  // One tick before Play shows frame 0, so every frame then stands for whole periods.
  Tick();
  Play();
  std::vector<int> seen;
  for (int t = 0; t < 24; ++t) {
    Tick();
    const TShown shown = Showing();
    int which = -1;
    for (std::size_t k = 0; k < patterns.size(); ++k)
      if (shown.SamePicture(patterns[k])) which = static_cast<int>(k);
    seen.push_back(which);
  }
  const std::vector<int> expected = {0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 0};
  EXPECT_EQ(seen, expected);
}

TEST_F(ViewerAnimationTest, HighBitPlaysTheHighPatterns) {
  GoToAnimation(DemoRom::HighBit.Number);
  Play();
  const DemoRom::TPattern highs[] = {DemoRom::HighWalkFrame0, DemoRom::HighWalkFrame1, DemoRom::HighWalkFrame2};
  for (int k = 0; k < 3; ++k) {
    Tick(k == 0 ? 1 : Ticks(DemoRom::HighBit));
    EXPECT_TRUE(Showing().SamePicture(Reference(0, highs[k].Number))) << k;
    EXPECT_FALSE(Showing().SamePicture(Reference(0, highs[k].Number & 0xFF))) << k;
  }
}

TEST_F(ViewerAnimationTest, OneTickFramesChangeOnEveryTick) {
  GoToAnimation(DemoRom::OneTickFrames.Number);
  Tick();
  Play();
  TShown previous = Showing();
  for (int t = 0; t < 9; ++t) {
    Tick();
    const TShown shown = Showing();
    EXPECT_FALSE(shown.SamePicture(previous)) << t;
    previous = shown;
  }
}

TEST_F(ViewerAnimationTest, OneFrameNeverRedrawsAfterTheFirstFrame) {
  GoToAnimation(DemoRom::OneFrame.Number);
  Play();
  Tick();
  const TShown first = Showing();
  EXPECT_TRUE(first.SamePicture(FramePicture(DemoRom::OneFrame, 0)));
  for (int t = 0; t < 5 * Ticks(DemoRom::OneFrame); ++t) {
    Tick();
    ASSERT_EQ(Showing().Graphic, first.Graphic) << t;
  }
  ExpectButtons(true);
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "0");
}

TEST_F(ViewerAnimationTest, ZeroFrameEndsPlaybackWithAnEmptyPicture) {
  const auto& animation = DemoRom::EndsWithZero;
  const int zeroFrame = LastFrame(animation);
  ASSERT_EQ(At(animation.Offset + 2 + zeroFrame), 0);
  GoToAnimation(animation.Number);
  Play();
  Tick(zeroFrame * Ticks(animation) - 1);
  EXPECT_EQ(Text(Form1->LblACurrentFrame), std::to_string(zeroFrame - 1));
  ExpectButtons(true);

  Tick();
  const TShown empty = Showing();
  EXPECT_EQ(empty.Width, 256);
  EXPECT_EQ(empty.Height, 256);
  EXPECT_TRUE(empty.Uniform(0));
  EXPECT_EQ(empty.Colors[0], SpriteColors(NesMasterPalette())[0]);
  ExpectButtons(false);
  EXPECT_EQ(Form1->SBAFrame->value(), 0);
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "0");

  // Ended: the empty picture stays.
  Tick(3 * Ticks(animation));
  EXPECT_EQ(Showing().Graphic, empty.Graphic);

  // Play again: frame 1 comes after one frame's ticks, frame 0 is not redrawn.
  Play();
  Tick(Ticks(animation) - 1);
  EXPECT_EQ(Showing().Graphic, empty.Graphic);
  Tick();
  EXPECT_TRUE(Showing().SamePicture(FramePicture(animation, 1)));
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "1");
}

TEST_F(ViewerAnimationTest, StopOnFrameThreeDrawsFrameZeroOnTheNextTick) {
  const auto& animation = DemoRom::Tour;
  GoToAnimation(animation.Number);
  Play();
  Tick(3 * Ticks(animation) + 2);
  ASSERT_EQ(Text(Form1->LblACurrentFrame), "3");
  ASSERT_TRUE(Showing().SamePicture(FramePicture(animation, 3)));

  Stop();
  ExpectButtons(false);
  EXPECT_EQ(Form1->SBAFrame->value(), 0);
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "0");
  Tick();
  EXPECT_TRUE(Showing().SamePicture(FramePicture(animation, 0)));
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "0");
  EXPECT_EQ(Form1->SBAFrame->value(), 0);
}

TEST_F(ViewerAnimationTest, KeyWhilePlayingGoesOnFromFrameZeroOfTheNewAnimation) {
  Play();
  Tick(Ticks(DemoRom::ThreeFrames) + 1);
  ASSERT_EQ(Text(Form1->LblACurrentFrame), "1");
  Key(VK_RIGHT);
  ExpectButtons(true);
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "0");
  Tick();
  EXPECT_TRUE(Showing().SamePicture(FramePicture(DemoRom::HighBit, 0)));
  Tick(Ticks(DemoRom::HighBit) - 1);
  EXPECT_TRUE(Showing().SamePicture(FramePicture(DemoRom::HighBit, 1)));
}

// ---- The scroll bar ----

TEST_F(ViewerAnimationTest, ScrollWhilePlayingIsRefused) {
  Play();
  Tick(Ticks(DemoRom::ThreeFrames) + 1);
  const TShown before = Showing();
  int position = 2;
  ::SBAFrameScroll(position);
  EXPECT_EQ(position, 1);
  EXPECT_EQ(Form1->SBAFrame->value(), 1);
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "1");
  EXPECT_EQ(Showing().Graphic, before.Graphic);
}

TEST_F(ViewerAnimationTest, ScrollBarDragWhilePlayingLeavesTheThumb) {
  Play();
  Tick(Ticks(DemoRom::ThreeFrames) + 1);
  Form1->SBAFrame->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(Form1->SBAFrame->value(), 1);
  Form1->SBAFrame->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(Form1->SBAFrame->value(), 1);
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "1");
}

TEST_F(ViewerAnimationTest, ScrollWhileStoppedShowsTheFrameWithoutMovingPlayback) {
  Tick();
  int position = 2;
  ::SBAFrameScroll(position);
  EXPECT_EQ(position, 2);
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "2");
  EXPECT_TRUE(Showing().SamePicture(FramePicture(DemoRom::ThreeFrames, 2)));
  EXPECT_EQ(AnimationPage.CurrentFrame, 0);
  EXPECT_EQ(AnimationPage.DrawnFrame, 0);
  // Stopped ticks do not redraw: current and drawn frame agree.
  const TShown scrolled = Showing();
  Tick(5);
  EXPECT_EQ(Showing().Graphic, scrolled.Graphic);

  // Play goes on from frame 0, so the next frame drawn is frame 1.
  Form1->SBAFrame->setValue(position);
  Play();
  Tick(Ticks(DemoRom::ThreeFrames) - 1);
  EXPECT_EQ(Showing().Graphic, scrolled.Graphic);
  Tick();
  EXPECT_TRUE(Showing().SamePicture(FramePicture(DemoRom::ThreeFrames, 1)));
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "1");
  EXPECT_EQ(Form1->SBAFrame->value(), 1);
}

TEST_F(ViewerAnimationTest, ScrollBarDragWhileStoppedShowsTheFrame) {
  Tick();
  Form1->SBAFrame->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(Form1->SBAFrame->value(), 2);
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "2");
  EXPECT_TRUE(Showing().SamePicture(FramePicture(DemoRom::ThreeFrames, 2)));
}

TEST_F(ViewerAnimationTest, ScrollingOntoAZeroFrameShowsTheEmptyPicture) {
  GoToAnimation(DemoRom::EndsWithZero.Number);
  Tick();
  int position = LastFrame(DemoRom::EndsWithZero);
  ::SBAFrameScroll(position);
  EXPECT_TRUE(Showing().Uniform(0));
  ExpectButtons(false);
}

// ---- Resets and pausing ----

TEST_F(ViewerAnimationTest, BankChangeWhilePlayingStopsAndSelectsZero) {
  GoToAnimation(DemoRom::Tour.Number);
  Play();
  Tick(2 * Ticks(DemoRom::Tour) + 3);
  Form1->CmbABankSelect->setCurrentIndex(DemoRom::Bank16Animation.BankIndex);
  Form1->CmbSBankSelectChange();
  ExpectButtons(false);
  EXPECT_EQ(Text(Form1->EditAAnimationNum), "00");
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "0");
  EXPECT_EQ(Form1->SBAFrame->value(), 0);
  const int address = AnimationOffsetIn(Image, DemoRom::BankBases[DemoRom::Bank16Animation.BankIndex], 0);
  EXPECT_EQ(Text(Form1->LblADataAddress), Address(address));
  // The picture follows on the next tick.
  const TShown before = Showing();
  Tick();
  EXPECT_NE(Showing().Graphic, before.Graphic);
  const int b = At(address + 2);
  EXPECT_TRUE(Showing().SamePicture(Reference(DemoRom::Bank16Animation.BankIndex, b + 256 * (At(address) >> 7))));
}

TEST_F(ViewerAnimationTest, SpriteBankChangeWhilePlayingStopsToo) {
  GoToAnimation(DemoRom::ThreeFrames.Number + 2);
  Play();
  Tick(3);
  Form1->CmbSBankSelect->setCurrentIndex(1);
  Form1->CmbSBankSelectChange();
  ExpectButtons(false);
  EXPECT_EQ(Text(Form1->EditAAnimationNum), "00");
  EXPECT_EQ(Text(Form1->LblADataAddress), Address(DemoRom::ThreeFrames.Offset));
}

TEST_F(ViewerAnimationTest, NewRomWhilePlayingStopsAndSelectsZero) {
  GoToAnimation(DemoRom::Tour.Number);
  Play();
  Tick(Ticks(DemoRom::Tour) + 1);
  OpenDemo();
  ExpectButtons(false);
  EXPECT_EQ(Text(Form1->EditAAnimationNum), "00");
  EXPECT_EQ(Text(Form1->LblADataAddress), Address(DemoRom::ThreeFrames.Offset));
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "0");
  Tick();
  EXPECT_TRUE(Showing().SamePicture(FramePicture(DemoRom::ThreeFrames, 0)));
}

TEST_F(ViewerAnimationTest, PlaybackPausesWhileTheSpritePageIsActive) {
  const auto& animation = DemoRom::ThreeFrames;
  Play();
  Tick(Ticks(animation) + 2);  // frame 1, two ticks in
  const TShown before = Showing();
  const int frame = AnimationPage.CurrentFrame;
  const int ticks = AnimationPage.FrameTicks;

  ShowSpritePage();
  Tick(50);
  EXPECT_EQ(AnimationPage.CurrentFrame, frame);
  EXPECT_EQ(AnimationPage.FrameTicks, ticks);
  EXPECT_EQ(Showing().Graphic, before.Graphic);
  EXPECT_EQ(Text(Form1->LblACurrentFrame), "1");

  // Resumed, it goes on as if the paused ticks had not happened.
  ShowAnimationPage();
  for (int t = Ticks(animation) + 3; t <= 3 * Ticks(animation) * 2; ++t) {
    Tick();
    EXPECT_TRUE(Showing().SamePicture(FramePicture(animation, FrameAtTick(animation, t)))) << t;
  }
}

}  // namespace
}  // namespace viewer_test
