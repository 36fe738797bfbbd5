// The sprite pattern page: number stepping and what it shows for a pattern.

#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

class ViewerSpritePageTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    OpenDemo();
    ShowSpritePage();
  }

  // Every label and dump as the rules give them for a pattern of the demo ROM.
  void ExpectShows(const DemoRom::TPattern& Pattern) {
    SCOPED_TRACE(Pattern.Exercises);
    const auto at = [this](int Offset) { return Image[static_cast<std::size_t>(Offset)]; };
    const int count = at(Pattern.FrameOffset + 1) + 1;
    EXPECT_EQ(Text(Form1->LblSFrameAddress), Address(Pattern.FrameOffset));
    EXPECT_EQ(Text(Form1->LblSAlignAddress), Address(Pattern.AlignOffset));
    EXPECT_EQ(Text(Form1->LblSnSprite), std::to_string(count));
    EXPECT_EQ(Text(Form1->LblSAlign), Hex(Pattern.AlignNumber, 2, "$"));
    EXPECT_EQ(Text(Form1->LblSCHRBank), Hex(Pattern.ChrBank, 2, "$"));
    EXPECT_EQ(Text(Form1->LblSCHRBankAddress), Address(Pattern.ChrBank * 0x400 + 0x40010));
    EXPECT_EQ(Text(Form1->LblSCHRLoadOffset), Hex(at(Pattern.FrameOffset + 3) >> 6, 2, " "));
    const std::span<const std::uint8_t> image(Image);
    EXPECT_EQ(Text(Form1->EditSFrameData), Dump(image.subspan(static_cast<std::size_t>(Pattern.FrameOffset), 3u + 2u * count)));
    EXPECT_EQ(Text(Form1->EditSAlignData), Dump(image.subspan(static_cast<std::size_t>(Pattern.AlignOffset), 2u * count)));
  }

  // Steps from Number with Key and checks the boxes and the pattern reached.
  void ExpectStep(int Number, int VirtualKey, int Expected) {
    SCOPED_TRACE("from $" + Hex(Number, 3) + " key " + Hex(VirtualKey, 2));
    GoToPattern(0, Number);
    Key(VirtualKey);
    EXPECT_EQ(Form1->CmbSSpriteNumHigh->currentIndex(), Expected >> 8);
    EXPECT_EQ(Form1->CmbSSpriteNumHigh->currentText().toStdString(), std::to_string(Expected >> 8));
    EXPECT_EQ(Text(Form1->EditSSpriteNum), Hex(Expected & 0xFF, 2));
    EXPECT_EQ(SpritePage.SpriteNumLow, Expected & 0xFF);
    EXPECT_EQ(Text(Form1->LblSFrameAddress), Address(FrameOffsetIn(Image, DemoRom::BankBases[0], Expected)));
  }
};

TEST_F(ViewerSpritePageTest, ArrowKeysStepAndWrapTheNinebitNumber) {
  ExpectStep(0x1FF, VK_RIGHT, 0x000);
  ExpectStep(0x000, VK_LEFT, 0x1FF);
  ExpectStep(0x1F5, VK_UP, 0x005);
  ExpectStep(0x005, VK_DOWN, 0x1F5);
  ExpectStep(0x0F8, VK_UP, 0x108);
  ExpectStep(0x0FF, VK_RIGHT, 0x100);
  ExpectStep(0x100, VK_LEFT, 0x0FF);
  ExpectStep(0x10A, VK_DOWN, 0x0FA);
  ExpectStep(0x000, VK_RIGHT, 0x001);
}

TEST_F(ViewerSpritePageTest, WrappedNumbersLandOnTheirPatterns) {
  GoToPattern(0, 0x000);
  Key(VK_LEFT);
  ExpectShows(DemoRom::LastPattern);
  Key(VK_RIGHT);
  ExpectShows(DemoRom::OneSprite);
}

TEST_F(ViewerSpritePageTest, OtherKeysRedrawWithoutStepping) {
  for (const int key : {VK_SPACE, VK_A, 0x10}) {
    SCOPED_TRACE(key);
    GoToPattern(0, DemoRom::LoadOffset2.Number);
    const TShown sprite = ShownBy(Form1->ImgSprite);
    const TShown table = ShownBy(Form1->ImgPatternTable);
    Key(key);
    EXPECT_EQ(Text(Form1->EditSSpriteNum), "08");
    EXPECT_EQ(Form1->CmbSSpriteNumHigh->currentIndex(), 0);
    const TShown spriteAfter = ShownBy(Form1->ImgSprite);
    const TShown tableAfter = ShownBy(Form1->ImgPatternTable);
    EXPECT_NE(spriteAfter.Graphic, sprite.Graphic);
    EXPECT_NE(tableAfter.Graphic, table.Graphic);
    EXPECT_TRUE(spriteAfter.SamePicture(sprite));
    EXPECT_TRUE(tableAfter.SamePicture(table));
    ExpectShows(DemoRom::LoadOffset2);
  }
}

TEST_F(ViewerSpritePageTest, UnreadableNumberBoxCountsAsZero) {
  GoToPattern(0, DemoRom::AllSprites.Number);
  Form1->EditSSpriteNum->setText("G1");
  Key(VK_RIGHT);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "01");
  Form1->EditSSpriteNum->setText("");
  Key(VK_SPACE);
  EXPECT_EQ(Text(Form1->EditSSpriteNum), "00");
  ExpectShows(DemoRom::OneSprite);
}

TEST_F(ViewerSpritePageTest, PatternsOfTheDemoRomShowTheirRecords) {
  for (const auto& pattern : DemoRom::Patterns) {
    GoToPattern(pattern.BankIndex, pattern.Number);
    ExpectShows(pattern);
  }
}

TEST_F(ViewerSpritePageTest, OneSpritePattern) {
  GoToPattern(0, DemoRom::OneSprite.Number);
  EXPECT_EQ(Text(Form1->LblSnSprite), "1");
  EXPECT_EQ(Text(Form1->EditSFrameData).size(), 5u * 3u);
  EXPECT_EQ(Text(Form1->EditSAlignData).size(), 2u * 3u);
}

TEST_F(ViewerSpritePageTest, TwoHundredFiftySixSprites) {
  GoToPattern(0, DemoRom::AllSprites.Number);
  EXPECT_EQ(Text(Form1->LblSnSprite), "256");
  EXPECT_EQ(Text(Form1->EditSFrameData).size(), 515u * 3u);
  EXPECT_EQ(Text(Form1->EditSAlignData).size(), 512u * 3u);
  // Both dumps are shown from their first byte.
  EXPECT_EQ(Form1->EditSFrameData->cursorPosition(), 0);
  EXPECT_EQ(Form1->EditSAlignData->cursorPosition(), 0);
  ExpectShows(DemoRom::AllSprites);
}

TEST_F(ViewerSpritePageTest, LoadOffsetThreeShowsWithASpace) {
  GoToPattern(0, DemoRom::LoadOffset3.Number);
  EXPECT_EQ(Text(Form1->LblSCHRLoadOffset), " 03");
  EXPECT_EQ(SpritePage.CHRLoadOffset, 3);
}

TEST_F(ViewerSpritePageTest, ChrBankAddresses) {
  GoToPattern(0, DemoRom::WindowPastLastBank.Number);
  EXPECT_EQ(Text(Form1->LblSCHRBank), "$FF");
  EXPECT_EQ(Text(Form1->LblSCHRBankAddress), "$7FC10");
  GoToPattern(0, DemoRom::OneSprite.Number);
  EXPECT_EQ(Text(Form1->LblSCHRBankAddress), "$40010");
  GoToPattern(2, DemoRom::Bank16LastPattern.Number);
  EXPECT_EQ(Text(Form1->LblSCHRBankAddress), Address(DemoRom::Bank16LastPattern.ChrBank * 0x400 + 0x40010));
}

TEST_F(ViewerSpritePageTest, PicturesAreTheRenderersDrawingAtTheirSizes) {
  GoToPattern(0, DemoRom::FourFlips.Number);
  const TShown sprite = ShownBy(Form1->ImgSprite);
  EXPECT_TRUE(sprite.SamePicture(Reference(0, DemoRom::FourFlips.Number)));
  EXPECT_EQ(ShownBy(Form1->ImgPatternTable).Width, 128);
  EXPECT_EQ(ShownBy(Form1->ImgPatternTable).Height, 128);
  EXPECT_FALSE(ShownBy(Form1->ImgPatternTable).Uniform(0));
  EXPECT_TRUE(Form1->ImgSprite->GetStretch());
  EXPECT_TRUE(Form1->ImgPatternTable->GetStretch());
  // The controls hold their own copies, not the page's pictures.
  EXPECT_NE(ShownBy(Form1->ImgSprite).Graphic, SpritePage.SpriteDIB.get());
  EXPECT_NE(ShownBy(Form1->ImgPatternTable).Graphic, SpritePage.PatternTableDIB.get());
}

// Before any ROM the page works on zeroed buffers without a renderer.
using ViewerSpritePageEmptyTest = ViewerTest;

TEST_F(ViewerSpritePageEmptyTest, ZeroedBuffersShowTheBankBaseRecords) {
  ShowSpritePage();
  Key(VK_SPACE);
  EXPECT_EQ(Text(Form1->LblSFrameAddress), "$1C010");
  EXPECT_EQ(Text(Form1->LblSAlignAddress), "$1C010");
  EXPECT_EQ(Text(Form1->LblSnSprite), "1");
  EXPECT_EQ(Text(Form1->LblSAlign), "$00");
  EXPECT_EQ(Text(Form1->LblSCHRBank), "$00");
  EXPECT_EQ(Text(Form1->LblSCHRBankAddress), "$40010");
  EXPECT_EQ(Text(Form1->LblSCHRLoadOffset), " 00");
  EXPECT_EQ(Text(Form1->EditSFrameData), "00 00 00 00 00 ");
  EXPECT_EQ(Text(Form1->EditSAlignData), "00 00 ");
  EXPECT_TRUE(ShownBy(Form1->ImgSprite).Uniform(0));
  EXPECT_TRUE(ShownBy(Form1->ImgPatternTable).Uniform(0));
}

TEST_F(ViewerSpritePageEmptyTest, BanksOfZeroedBuffersLeadBelowTheirBases) {
  ShowSpritePage();
  for (int bank = 0; bank < 3; ++bank) {
    Form1->CmbSBankSelect->setCurrentIndex(bank);
    Form1->CmbSBankSelectChange();
    EXPECT_EQ(Text(Form1->LblSFrameAddress), Address(DemoRom::BankBases[static_cast<std::size_t>(bank)] - 0x8000));
  }
}

}  // namespace
}  // namespace viewer_test
