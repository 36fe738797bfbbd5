// Whatever bytes a ROM holds, every page shows something and nothing reads or
// writes outside the buffers or the pictures (the sanitizer build checks the latter).

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "sprite/TarvelinDrawSprite.h"
#include "app/window/TarvelinTabAnimation.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/TarvelinViewer.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"
#include "host/Application.h"
#include "tests/app/AppTestApplication.h"

namespace {

class RandomRom : public ::testing::TestWithParam<unsigned> {
protected:
  void SetUp() override {
    AppTestApplication();
    FPreviousBoxes = Application.SetMessageBoxes(FBoxes);
    std::mt19937 random(GetParam());
    std::uniform_int_distribution<int> byte(0, 255);
    for (auto& b : PrgData) b = static_cast<std::uint8_t>(byte(random));
    for (auto& b : ChrData) b = static_cast<std::uint8_t>(byte(random));
    FWindow = CreateViewerWindow();
    Form1 = FWindow.get();
    FWindow->AnimationTimer.stop();
    // Only what the pages do counts: the palette file may be missing where the tests run.
    FBoxes->Shown.clear();
    SpriteDrawer = std::make_unique<TDrawSprite>(ChrData, FcPalette.get());
  }

  void TearDown() override {
    SpritePage = {};
    AnimationPage = {};
    SpriteDrawer.reset();
    FcPalette.reset();
    FWindow.reset();
    Form1 = nullptr;
    ClearPrgData(PrgData);
    ClearChrData(ChrData);
    Application.SetMessageBoxes(FPreviousBoxes);
  }

  std::unique_ptr<TForm1> FWindow;
  std::shared_ptr<TRecordingMessageBoxes> FBoxes = std::make_shared<TRecordingMessageBoxes>();
  std::shared_ptr<IMessageBoxes> FPreviousBoxes;
};

TEST_P(RandomRom, EveryPatternOfEveryBankRefreshes) {
  for (int bank = 0; bank < 3; ++bank) {
    FWindow->CmbSBankSelect->setCurrentIndex(bank);
    for (int n = 0; n < 512; ++n) {
      FWindow->CmbSSpriteNumHigh->setCurrentIndex(n / 256);
      SpritePage.SpriteNumLow = n % 256;
      RefreshSpritePage();
      const int count = PrgData[static_cast<std::size_t>(SpritePage.FrameAddress) + 1] + 1;
      // Every dump byte is two digits and a space.
      ASSERT_EQ(FWindow->EditSFrameData->text().size(), 3 * (3 + 2 * count)) << bank << " " << n;
      ASSERT_EQ(FWindow->EditSAlignData->text().size(), 3 * 2 * count) << bank << " " << n;
      ASSERT_LT(SpritePage.FrameAddress + 3 + 2 * count, static_cast<int>(PrgData.size()));
    }
  }
  EXPECT_TRUE(FBoxes->Shown.empty());
}

TEST_P(RandomRom, EveryAnimationOfEveryBankPlays) {
  for (int bank = 0; bank < 3; ++bank) {
    FWindow->CmbABankSelect->setCurrentIndex(bank);
    ResetAnimationPage();
    for (int m = 0; m < 256; ++m) {
      AnimationPageKeyDown(VK_RIGHT);
      btnAnimationPlayClick();
      for (int tick = 0; tick < 6; ++tick) {
        StepAnimation();
        const int last = PrgData[static_cast<std::size_t>(AnimationPage.AnimationAddress)] & 0x7F;
        ASSERT_GE(AnimationPage.CurrentFrame, 0);
        ASSERT_LE(AnimationPage.CurrentFrame, last);
      }
      int position = FWindow->SBAFrame->maximum();
      StopAnimation();
      SBAFrameScroll(position);
      ASSERT_NE(FWindow->ImgAnimation->GetPicture().GetGraphic(), nullptr);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomRom, ::testing::Values(1u, 2u));

}  // namespace
