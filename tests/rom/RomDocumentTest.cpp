#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "rom/TarvelinRomDocument.h"
#include "rom/TarvelinRomEdits.h"
#include "rom/TarvelinRomUsage.h"
#include "tests/support/FileTestSupport.h"
#include "tests/rom/RomTestSupport.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

class RomDocumentTest : public testing::Test {
protected:
  void SetUp() override {
    Rom = MakeTestRom();
    RomPath = Dir.Write("test.nes", Rom);
    ASSERT_TRUE(Document.Load(RomPath));
  }
  std::string Written(const TRomChange& Change) {
    std::string text;
    char item[32];
    for (const auto& w : Change.Writes) {
      std::snprintf(item, sizeof item, "%05X:%02X>%02X ", static_cast<unsigned>(w.Offset), w.Old, w.New);
      text += item;
    }
    return text;
  }

  TTestDirectory Dir;
  TMessageCapture Messages;
  TBytes Rom;
  std::string RomPath;
  std::unique_ptr<TPrgData> Prg = std::make_unique<TPrgData>();
  std::unique_ptr<TChrData> Chr = std::make_unique<TChrData>();
  TRomDocument Document{*Prg, *Chr};
};

constexpr TPatternRef P000{0, 0x000}, P101{0, 0x101};
constexpr TAnimationRef A0{0, 0};

TEST_F(RomDocumentTest, EachEditWritesTheBytesOfItsRecord) {
  // FrameData $24810: 05 01 00 | 03 00 | 44 5D; AlignData $24910: F8 F0 00 08;
  // AnimationData $24A10: 03 01 01 00 02 00; CHR bank 5 tile 3 row 1 at $41441 / $41449: 00 / FF.
  const struct {
    const char* Name;
    TRomChange Change;
    const char* Writes;
  } cases[] = {
      {"CHR bank", SetPatternChrBank(Document, P000, 0x12), "24810:05>12 "},
      {"alignment number", SetPatternAlignNumber(Document, P000, 0x01), "24812:00>01 "},
      {"one sprite fewer", SetPatternSpriteCount(Document, P000, 1), "24811:01>00 "},
      {"the same count", SetPatternSpriteCount(Document, P000, 2), "24811:01>01 "},
      {"tile of sprite 1", SetSpriteTile(Document, P000, 1, 0x99), "24815:44>99 "},
      {"pattern $101's tile", SetSpriteTile(Document, P101, 0, 0x80), "24823:43>80 "},
      {"vertical flip keeps bits 5-2", SetSpriteFlips(Document, P000, 1, true, false), "24816:5D>9D "},
      {"both flips", SetSpriteFlips(Document, P000, 0, true, true), "24814:00>C0 "},
      {"palette group keeps bits 7-2", SetSpritePaletteGroup(Document, P000, 1, 2), "24816:5D>5E "},
      {"(Y, X) wraps mod 256", SetSpritePosition(Document, P000, 1, -1, 0x105), "24912:00>FF 24913:08>05 "},
      {"animation high bit", SetAnimationHighBit(Document, A0, true), "24A10:03>83 "},
      {"ticks per frame", SetAnimationTicks(Document, A0, 4), "24A11:01>03 "},
      {"256 ticks", SetAnimationTicks(Document, A0, 256), "24A11:01>FF "},
      {"two frames fewer", SetAnimationFrameCount(Document, A0, 2), "24A10:03>01 "},
      {"frame 2's pattern", SetAnimationFrame(Document, A0, 2, 0x33), "24A14:02>33 "},
      {"pixel colour 3", SetChrPixel(Document, 5, 3, 2, 1, 3), "41441:00>20 41449:FF>FF "},
      {"pixel colour 0", SetChrPixel(Document, 5, 3, 0, 1, 0), "41441:00>00 41449:FF>7F "},
      {"pixel colour 1, last column", SetChrPixel(Document, 5, 3, 7, 1, 1), "41441:00>01 41449:FF>FE "},
  };
  for (const auto& c : cases) EXPECT_EQ(Written(c.Change), c.Writes) << c.Name;
  EXPECT_EQ(Document.Image(), Rom) << "planning an edit writes nothing";
}

TEST_F(RomDocumentTest, EditsTheRecordCannotTakeAreRefused) {
  const struct {
    const char* Name;
    std::function<TRomChange()> Edit;
    const char* Message;
  } cases[] = {
      {"a third sprite", [&] { return SetPatternSpriteCount(Document, P000, 3); }, "減らすことしか"},
      {"no sprites", [&] { return SetPatternSpriteCount(Document, P000, 0); }, "減らすことしか"},
      {"sprite 2 of two", [&] { return SetSpriteTile(Document, P000, 2, 0); }, "スプライト 2 はありません (2 個)"},
      {"its position", [&] { return SetSpritePosition(Document, P000, 2, 0, 0); }, "スプライト 2 はありません"},
      {"a tile number past a byte", [&] { return SetSpriteTile(Document, P000, 0, 0x100); }, "$00-$FF"},
      {"palette group 4", [&] { return SetSpritePaletteGroup(Document, P000, 0, 4); }, "0-3"},
      {"a fifth frame", [&] { return SetAnimationFrameCount(Document, A0, 5); }, "減らすことしか"},
      {"frame 4 of four", [&] { return SetAnimationFrame(Document, A0, 4, 1); }, "フレーム 4 はありません (4 枚)"},
      {"no ticks", [&] { return SetAnimationTicks(Document, A0, 0); }, "1-256"},
      {"a pixel past the tile", [&] { return SetChrPixel(Document, 5, 3, 8, 0, 1); }, "タイルの点"},
      {"a fourth bank", [&] { return SetSpriteTile(Document, {3, 0}, 0, 0); }, "バンク"},
  };
  for (const auto& c : cases) {
    try {
      c.Edit();
      ADD_FAILURE() << c.Name << ": accepted";
    } catch (const ERomEditError& E) {
      EXPECT_NE(E.Message().find(c.Message), std::string::npos) << c.Name << ": " << E.Message();
    }
  }
}

TEST_F(RomDocumentTest, HeaderAndBytesPastTheFileAreNeverWritten) {
  std::vector<TRomChange> heard;
  Document.Subscribe([&](const TRomChange& Change) { heard.push_back(Change); });
  // A change reaching the header is refused whole, its other byte included.
  const TRomChange header{{{0x24810, 0x05, 0x06}, {0x0F, 0x00, 0x01}}};
  EXPECT_THROW(Document.Apply(header), ERomEditError);
  EXPECT_EQ(Document.Image(), Rom);
  EXPECT_TRUE(heard.empty());

  // A file that ends with its PRG-ROM: its CHR bytes are not part of it.
  const TBytes shortRom(Rom.begin(), Rom.begin() + 0x40010);
  ASSERT_TRUE(Document.Load(Dir.Write("short.nes", shortRom)));
  EXPECT_EQ(Document.Size(), 0x40010u);
  try {
    SetChrPixel(Document, 0, 0, 0, 0, 1);
    ADD_FAILURE() << "accepted";
  } catch (const ERomEditError& E) {
    EXPECT_EQ(E.Message(), "$40010 は読み込んだファイルの終わりより後ろです");
  }
  EXPECT_THROW(Document.Apply(TRomChange{{{0x40010, 0x00, 0x01}}}), ERomEditError);
  EXPECT_NO_THROW(Document.Apply(TRomChange{{{0x4000F, Document.Byte(0x4000F), 0x01}}}));
  EXPECT_EQ(Document.Image().size(), 0x40010u);
}

TEST_F(RomDocumentTest, UndoingEveryEditGivesBackTheFile) {
  int heard = 0;
  Document.Subscribe([&](const TRomChange&) { ++heard; });
  const TRomChange move = SetSpritePosition(Document, P000, 0, 0x10, 0x20);
  Document.Apply(move);
  EXPECT_TRUE(Document.IsModified());
  EXPECT_EQ(Document.Byte(0x24910), 0x10);
  EXPECT_EQ((*Prg)[0x24911], 0x20);
  const TRomChange pixel = SetChrPixel(Document, 5, 3, 2, 1, 3);
  Document.Apply(pixel);
  EXPECT_EQ((*Chr)[0x41441 - ChrDataFileOffset], 0x20);
  EXPECT_EQ(Document.ChangedRanges(), (std::vector<std::pair<int, int>>{{0x24910, 0x24912}, {0x41441, 0x41442}}));
  // A change that does not match the bytes it expects is a fault of the caller.
  EXPECT_THROW(Document.Apply(move), EAssertionFailed);
  Document.Revert(pixel);
  Document.Revert(move);
  EXPECT_FALSE(Document.IsModified());
  EXPECT_TRUE(Document.ChangedRanges().empty());
  EXPECT_EQ(Document.Image(), Rom);
  EXPECT_EQ(heard, 4);

  // Saved, the image is the file: the same bytes no longer count as modified.
  Document.Apply(move);
  Document.Saved(Dir.Path() / "saved.nes");
  EXPECT_FALSE(Document.IsModified());
  Document.Revert(move);
  EXPECT_TRUE(Document.IsModified());
}

TEST_F(RomDocumentTest, MergedChangesKeepTheFirstOldAndTheLastNewBytes) {
  TRomChange drag = SetSpritePosition(Document, P000, 0, 0x01, 0x02);
  Document.Apply(drag);
  for (int step = 2; step <= 4; ++step) {
    const TRomChange next = SetSpritePosition(Document, P000, 0, step, step + 1);
    Document.Apply(next);
    drag.Merge(next);
  }
  EXPECT_EQ(Written(drag), "24910:F8>04 24911:F0>05 ");
  Document.Revert(drag);
  EXPECT_EQ(Document.Image(), Rom);
  // Dragged back where it started, the gesture changes nothing.
  TRomChange back = SetSpritePosition(Document, P000, 0, 0x30, 0x30);
  Document.Apply(back);
  const TRomChange home = SetSpritePosition(Document, P000, 0, 0xF8, 0xF0);
  Document.Apply(home);
  back.Merge(home);
  EXPECT_TRUE(back.Idle());
}

TEST_F(RomDocumentTest, RandomEditsRoundTripThroughPatchesAndUndo) {
  std::mt19937 random(20);
  std::vector<TRomChange> done;
  for (int i = 0; i < 300; ++i) {
    const TPatternRef pattern = random() % 2 ? P000 : P101;
    const int sprite = pattern.Number == 0 ? static_cast<int>(random() % 2) : 0;
    const int value = static_cast<int>(random() % 256);
    TRomChange change;
    switch (random() % 8) {
      case 0: change = SetPatternChrBank(Document, pattern, value); break;
      case 1: change = SetSpriteTile(Document, pattern, sprite, value); break;
      case 2: change = SetSpriteFlips(Document, pattern, sprite, value & 1, value & 2); break;
      case 3: change = SetSpritePaletteGroup(Document, pattern, sprite, value & 3); break;
      case 4: change = SetSpritePosition(Document, pattern, sprite, value, value * 7); break;
      case 5: change = SetAnimationFrame(Document, A0, value & 3, value); break;
      case 6: change = SetAnimationTicks(Document, A0, value + 1); break;
      default: change = SetChrPixel(Document, value, value % 64, value % 8, value / 32, value % 4); break;
    }
    Document.Apply(change);
    done.push_back(change);
    if (i % 50 == 49) {
      const TBytes image = Document.Image();
      for (const auto format : {TPatchFormat::Ips, TPatchFormat::Bps})
        ASSERT_EQ(ApplyPatch(Document.Original(), Document.CreatePatch(format), RomImageSize), image);
    }
  }
  for (auto change = done.rbegin(); change != done.rend(); ++change) Document.Revert(*change);
  EXPECT_EQ(Document.Image(), Rom);
  EXPECT_FALSE(Document.IsModified());
}

TEST_F(RomDocumentTest, UsageNamesEveryPatternAndAnimationThatSharesARecord) {
  using TRefs = std::vector<TPatternRef>;
  const TPrgData& prg = Document.Prg();
  EXPECT_EQ(PatternsUsingFrame(prg, 0x24810), (TRefs{{0, 0x000}, {0, 0x001}}));
  // Bank 1's alignment 0 points back into bank 0.
  EXPECT_EQ(PatternsUsingAlign(prg, 0x24910), (TRefs{{0, 0x000}, {0, 0x001}, {1, 0x005}}));
  EXPECT_EQ(PatternsUsingTile(prg, 5 * 0x400 + 3 * 16), (TRefs{{0, 0x000}, {0, 0x001}}));
  EXPECT_EQ(PatternsUsingTile(prg, 6 * 0x400 + 4 * 16), (TRefs{{0, 0x000}, {0, 0x001}}));
  EXPECT_EQ(PatternsUsingTile(prg, 6 * 0x400 + 3 * 16), (TRefs{{0, 0x101}}));
  EXPECT_TRUE(PatternsUsingTile(prg, 5 * 0x400 + 4 * 16).empty());
  EXPECT_EQ(PatternsUsingChrBank(prg, 5), (TRefs{{0, 0x000}, {0, 0x001}, {1, 0x005}}));
  EXPECT_EQ(PatternsUsingChrBank(prg, 6), (TRefs{{0, 0x000}, {0, 0x001}, {0, 0x101}}));
  EXPECT_TRUE(PatternsUsingChrBank(prg, 7).empty());
  EXPECT_EQ(AnimationsShowing(prg, 0x24810),
            (std::vector<TAnimationFrameRef>{{{0, 0}, 0}, {{0, 3}, 1}}));
  // An edit changes what is shared: pattern $101 now takes alignment 0 as well.
  Document.Apply(SetPatternAlignNumber(Document, P101, 0));
  EXPECT_EQ(PatternsUsingAlign(prg, 0x24910), (TRefs{{0, 0x000}, {0, 0x001}, {0, 0x101}, {1, 0x005}}));
}

TEST_F(RomDocumentTest, APatchedFileOpensUnmodifiedAgainstThePatchedBytes) {
  TBytes hack = Rom;
  hack[0x24810] = 0x07;
  const auto ips = Dir.Write("hack.ips", CreatePatch(TPatchFormat::Ips, Rom, hack));
  ASSERT_TRUE(Document.LoadPatched(RomPath, ips));
  EXPECT_EQ(Document.Image(), hack);
  EXPECT_FALSE(Document.IsModified());
  EXPECT_EQ(Document.GetPatchName(), ips);
  EXPECT_EQ(Document.GetFileName(), RomPath);

  // A BPS for another base ROM is refused before anything is touched.
  TBytes other = Rom;
  other[0x30000] = 0x99;
  const auto bps = Dir.Write("other.bps", CreatePatch(TPatchFormat::Bps, other, hack));
  Document.Apply(SetPatternChrBank(Document, P000, 0x09));
  try {
    Document.LoadPatched(RomPath, bps);
    ADD_FAILURE() << "accepted";
  } catch (const EPatchError& E) {
    EXPECT_NE(E.Message().find("元のROMの CRC"), std::string::npos) << E.Message();
  }
  EXPECT_EQ(Document.Byte(0x24810), 0x09);
  EXPECT_TRUE(Document.IsModified());
  EXPECT_EQ(Document.GetPatchName(), ips);

  // A result with a bad header meets the loader's own check and message.
  TBytes broken = Rom;
  broken[3] = 0x1B;
  EXPECT_FALSE(Document.LoadPatched(RomPath, Dir.Write("broken.ips", CreatePatch(TPatchFormat::Ips, Rom, broken))));
  Messages.ExpectOnly("ヘッダが異常です");
  EXPECT_FALSE(Document.IsLoaded());
}

TEST_F(RomDocumentTest, SavingMovesTheUnsavedMarkButNotThePatchBase) {
  Document.Apply(SetSpriteTile(Document, P000, 1, 0x99));
  Document.Saved((Dir.Path() / "saved.nes").string());
  EXPECT_FALSE(Document.IsModified());
  Document.Apply(SetSpritePosition(Document, P000, 0, 0x10, 0x20));
  // $24815 from the first edit, $24910-$24911 from the second: both against the file as opened.
  EXPECT_EQ(Document.RangesFromOriginal(), (std::vector<std::pair<int, int>>{{0x24815, 0x24816}, {0x24910, 0x24912}}));
  EXPECT_EQ(Document.ChangedRanges(), (std::vector<std::pair<int, int>>{{0x24910, 0x24912}}));
  TBytes expected = Rom;
  expected[0x24815] = 0x99, expected[0x24910] = 0x10, expected[0x24911] = 0x20;
  for (const auto format : {TPatchFormat::Ips, TPatchFormat::Bps})
    EXPECT_EQ(ApplyPatch(Rom, Document.CreatePatch(format), RomImageSize), expected);
  EXPECT_EQ(Document.GetBaseName(), RomPath);

  // Opened with a patch, the base is the file beneath it.
  TBytes hack = Rom;
  hack[0x24820] = 0x07;
  ASSERT_TRUE(Document.LoadPatched(RomPath, Dir.Write("hack.ips", CreatePatch(TPatchFormat::Ips, Rom, hack))));
  EXPECT_EQ(Document.RangesFromOriginal(), (std::vector<std::pair<int, int>>{{0x24820, 0x24821}}));
  EXPECT_FALSE(Document.IsModified());
  EXPECT_EQ(ApplyPatch(Rom, Document.CreatePatch(TPatchFormat::Bps), RomImageSize), hack);

  // One offset written twice in one change could never be reverted: refused whole.
  const TBytes before = Document.Image();
  try {
    Document.Apply(TRomChange{{{0x24810, 0x05, 0x06}, {0x24811, 0x01, 0x02}, {0x24810, 0x06, 0x07}}});
    ADD_FAILURE() << "accepted";
  } catch (const ERomEditError& E) {
    EXPECT_EQ(E.Message(), "$24810 への書き込みが一つの変更に二つあります");
  }
  EXPECT_EQ(Document.Image(), before);
}

}  // namespace
