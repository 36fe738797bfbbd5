// Hand-worked relocations over the shared test ROM, with records added in bank
// "16" (base $2C010) and bank "12-13" (base $24010); every expected byte was
// worked out by hand from the layout.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "rom/TarvelinRelocate.h"
#include "tests/rom/RomTestSupport.h"
#include "tests/support/FileTestSupport.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

class RelocateCaseTest : public testing::Test {
protected:
  void SetUp() override {
    Rom = MakeTestRom();
    // Bank "16": pattern $010 -> $8900 = $2C910: 07 01 05 | 10 00 11 01; alignment 5 -> $8A00 = $2CA10: 00 00 08 00.
    Put(0x2C010 + 0x010, {0x00}), Put(0x2C010 + 0x210, {0x89});
    Put(0x2C910, {0x07, 0x01, 0x05, 0x10, 0x00, 0x11, 0x01});
    Put(0x2C010 + 0x405, {0x00}), Put(0x2C010 + 0x505, {0x8A});
    Put(0x2CA10, {0x00, 0x00, 0x08, 0x00});
    Fill(0x2C917, 0x2C920, 0xFF), Fill(0x2CA14, 0x2CA20, 0xFF), Fill(0x2CE00, 0x2CE40, 0xFF);
  }
  void Load() { ASSERT_TRUE(Document.Load(Dir.Write("case.nes", Rom))); }
  void Put(int At, std::initializer_list<int> Bytes) {
    for (const int byte : Bytes) Rom[static_cast<std::size_t>(At++)] = static_cast<std::uint8_t>(byte);
  }
  void Fill(int First, int End, int Value) {
    for (int i = First; i < End; ++i) Rom[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(Value);
  }
  static std::string Written(const TRomChange& Change) {
    std::string text;
    char item[32];
    for (const auto& w : Change.Writes) {
      std::snprintf(item, sizeof item, "%05X:%02X>%02X ", static_cast<unsigned>(w.Offset), w.Old, w.New);
      text += item;
    }
    return text;
  }
  static std::string Ranges(const TFreeMap& Free) {
    std::string text;
    for (const TFileRange& r : Free.Ranges()) text += FormatRange(r) + " ";
    return text;
  }
  // The refusal's message; the document and the map are left as they were.
  template <typename TPlan>
  std::string Refusal(TPlan Plan) {
    const TBytes before = Document.Image();
    try {
      Plan();
    } catch (const ERomEditError& Error) {
      EXPECT_EQ(Document.Image(), before);
      return Error.what();
    }
    ADD_FAILURE() << "not refused";
    return "";
  }

  TTestDirectory Dir;
  TMessageCapture Messages;
  TBytes Rom;
  std::unique_ptr<TPrgData> Prg = std::make_unique<TPrgData>();
  std::unique_ptr<TChrData> Chr = std::make_unique<TChrData>();
  TRomDocument Document{*Prg, *Chr};
};

constexpr TPatternRef P16{2, 0x010};
constexpr TSpriteEntry NewSprite{0x12, 0x02, 0x10, 0x00};

TEST_F(RelocateCaseTest, GrowsInPlaceIntoTheFreeBytesAfterIt) {
  Load();
  const TFreeMap free({{0x2C917, 0x2C920}, {0x2CA14, 0x2CA20}});
  const TRomPlan plan = InsertSprite(Document, free, P16, 2, NewSprite);
  EXPECT_EQ(Written(plan.Change), "2C911:01>02 2C917:FF>12 2C918:FF>02 2CA14:FF>10 2CA15:FF>00 ");
  EXPECT_EQ(Ranges(plan.FreeAfter), "$2C919-$2C91F $2CA16-$2CA1F ");
  // And back: the tail pairs are free again, their bytes untouched.
  Document.Apply(plan.Change);
  const TRomPlan back = RemoveSprite(Document, plan.FreeAfter, P16, 2);
  EXPECT_EQ(Written(back.Change), "2C911:02>01 ");
  EXPECT_EQ(back.FreeAfter, free);
}

TEST_F(RelocateCaseTest, MovesWhenTheBytesAfterItAreNotFree) {
  Load();
  // Sprite inserted first: 07 02 05 | 12 02 10 00 11 01 at $2CE00 (CPU $8DF0); pairs 10 00 00 00 08 00 at $2CE09
  // ($8DF9).
  const TRomPlan plan = InsertSprite(Document, TFreeMap({{0x2CE00, 0x2CE40}}), P16, 0, NewSprite);
  EXPECT_EQ(Written(plan.Change),
            "2C020:00>F0 2C220:89>8D 2C415:00>F9 2C515:8A>8D "
            "2CE00:FF>07 2CE01:FF>02 2CE02:FF>05 2CE03:FF>12 2CE04:FF>02 2CE05:FF>10 2CE06:FF>00 2CE07:FF>11 "
            "2CE08:FF>01 2CE09:FF>10 2CE0A:FF>00 2CE0B:FF>00 2CE0C:FF>00 2CE0D:FF>08 2CE0E:FF>00 ");
  // No pointer reaches the old records any more.
  EXPECT_EQ(Ranges(plan.FreeAfter), "$2C910-$2C916 $2CA10-$2CA13 $2CE0F-$2CE3F ");
}

TEST_F(RelocateCaseTest, PlacesARecordUpToTheLastByteOfTheReachAndNoFurther) {
  // Bank "12-13" pattern $020 -> $8C00 = $24C10, 3 sprites (9 bytes); $021 -> $8D00 = $24D10, 5 sprites (13 bytes).
  Put(0x24010 + 0x020, {0x00}), Put(0x24010 + 0x220, {0x8C});
  Put(0x24C10, {0x01, 0x02, 0x06, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6});
  Put(0x24010 + 0x021, {0x00}), Put(0x24010 + 0x221, {0x8D});
  Put(0x24D10, {0x01, 0x04, 0x06});
  Load();
  // 11 free bytes before the reach ends at $2800F, more past it.
  const TFreeMap free({{0x28005, 0x28030}});
  const TRomPlan plan = DetachFrameData(Document, free, {0, 0x020});
  EXPECT_EQ(Written(plan.Change),
            "24030:00>F5 24230:8C>BF 28005:00>01 28006:00>02 28007:00>06 28008:00>A1 28009:00>A2 2800A:00>A3 "
            "2800B:00>A4 2800C:00>A5 2800D:00>A6 ");
  EXPECT_EQ(Ranges(plan.FreeAfter), "$24C10-$24C18 $2800E-$2802F ");
  EXPECT_EQ(Refusal([&] {
              DetachFrameData(Document, free, {0, 0x021});
            }),
            "空き領域が足りません: 13 バイトが $24010-$2800F の中に要ります");
  // Bank "16" reaches $2C010-$2E00F only: 6 free bytes before its end are too few for 7.
  EXPECT_EQ(Refusal([&] {
              DetachFrameData(Document, TFreeMap({{0x2E00A, 0x2E100}}), P16);
            }),
            "空き領域が足りません: 7 バイトが $2C010-$2E00F の中に要ります");
}

TEST_F(RelocateCaseTest, ARecordOfTwoBanksGrowsForBothOrNotAtAll) {
  // Animation 5 of "12-13" ($8B00 = $24B10: 01 00 | 07 08) is animation 5 of "14-15" too ($4B00).
  Put(0x24010 + 0x605, {0x00}), Put(0x24010 + 0x705, {0x8B});
  Put(0x28010 + 0x605, {0x00}), Put(0x28010 + 0x705, {0x4B});
  Put(0x24B10, {0x01, 0x00, 0x07, 0x08});
  Fill(0x24B14, 0x24B20, 0xFF);
  Load();
  // No two banks' reaches meet, so it cannot move.
  EXPECT_EQ(Refusal([&] {
              InsertAnimationFrame(Document, TFreeMap({{0x26000, 0x26100}}), {0, 5}, 2, 0x09);
            }),
            "空き領域が足りません: 5 バイトが $24010-$2800F と $28010-$2C00F の中に要ります");
  const TRomPlan plan = InsertAnimationFrame(Document, TFreeMap({{0x24B14, 0x24B20}}), {1, 5}, 1, 0x09);
  EXPECT_EQ(Written(plan.Change), "24B10:01>02 24B13:08>09 24B14:FF>08 ");
  EXPECT_EQ(Ranges(plan.FreeAfter), "$24B15-$24B1F ");
}

TEST_F(RelocateCaseTest, FreesTheOldBytesOnlyWhenNoPointerReachesThem) {
  // Pattern $011 of "16" shares $2C910 with $010.
  Put(0x2C010 + 0x011, {0x00}), Put(0x2C010 + 0x211, {0x89});
  Load();
  const TFreeMap free({{0x2CE00, 0x2CE40}});
  const TRomPlan first = DetachFrameData(Document, free, P16);
  EXPECT_EQ(Written(first.Change),
            "2C020:00>F0 2C220:89>8D 2CE00:FF>07 2CE01:FF>01 2CE02:FF>05 2CE03:FF>10 2CE04:FF>00 2CE05:FF>11 "
            "2CE06:FF>01 ");
  EXPECT_EQ(Ranges(first.FreeAfter), "$2CE07-$2CE3F ");
  Document.Apply(first.Change);
  const TRomPlan second = DetachFrameData(Document, first.FreeAfter, {2, 0x011});
  EXPECT_EQ(Written(second.Change),
            "2C021:00>F7 2C221:89>8D 2CE07:FF>07 2CE08:FF>01 2CE09:FF>05 2CE0A:FF>10 2CE0B:FF>00 2CE0C:FF>11 "
            "2CE0D:FF>01 ");
  EXPECT_EQ(Ranges(second.FreeAfter), "$2C910-$2C916 $2CE0E-$2CE3F ");
}

TEST_F(RelocateCaseTest, RefusesWhenAnotherPatternReadsOnlyOneOfTheRecords) {
  Load();
  // Pattern $000 of "12-13" and $005 of "14-15" read AlignData $24910 with different FrameData.
  EXPECT_EQ(Refusal([&] {
              InsertSprite(Document, TFreeMap({{0x26000, 0x26100}}), {0, 0x000}, 0, NewSprite);
            }),
            "パターン 14-15 の $005 が 配置データ $24910 だけを共有しています。先に切り離してください");
  EXPECT_EQ(Refusal([&] { RemoveSprite(Document, {}, {2, 0x100}, 0); }), "最後のスプライトは消せません");
  // Declared, but the neutral FrameData at $2D010-$2D014 is read: 4 and 3 bytes are left, too few for 7.
  EXPECT_EQ(Refusal([&] {
              DetachFrameData(Document, TFreeMap({{0x2D00C, 0x2D018}}), P16);
            }),
            "空き領域が足りません: 7 バイトが $2C010-$2E00F の中に要ります");
  EXPECT_EQ(Refusal([&] {
              InsertAnimationFrame(Document, {}, {0, 0}, 0, 1);
            }),
            "空き領域が足りません: 7 バイトが $24010-$2800F の中に要ります");
}

}  // namespace

namespace {

TEST_F(RelocateCaseTest, ARecordGivenWholeMovesWithEveryPointerTheFirstChangeLeavesNamingIt) {
  Load();
  // First: pattern $011 of "16" names $8900 too. Then the pairs gain a pair in place (into $2CA14),
  // and the FrameData a sprite: 9 bytes, with no room after it, to the lowest free bytes left, $2CA16
  // (CPU $8A06), for both numbers.
  char old[2][8];
  std::snprintf(old[0], sizeof old[0], "%02X", Document.Byte(0x2C021));
  std::snprintf(old[1], sizeof old[1], "%02X", Document.Byte(0x2C221));
  const TRomChange first{{{0x2C021, Document.Byte(0x2C021), 0x00}, {0x2C221, Document.Byte(0x2C221), 0x89}}};
  const std::vector<TRecordRewrite> records = {
      {TRecordTable::Frame, 0x2C910, 7, {0x07, 0x02, 0x05, 0x10, 0x00, 0x11, 0x01, 0x12, 0x02}},
      {TRecordTable::Align, 0x2CA10, 4, {0x00, 0x00, 0x08, 0x00, 0x10, 0x00}},
  };
  const TFreeMap free({{0x2CA14, 0x2CA20}, {0x2CE00, 0x2CE40}});
  const TRomPlan plan = RewriteRecords(Document, free, first, records);
  EXPECT_EQ(Written(plan.Change), std::string("2C020:00>06 2C021:") + old[0] + ">06 2C220:89>8A 2C221:" + old[1] +
                                      ">8A 2CA14:FF>10 2CA15:FF>00 2CA16:FF>07 2CA17:FF>02 2CA18:FF>05 2CA19:FF>10 "
                                      "2CA1A:FF>00 2CA1B:FF>11 2CA1C:FF>01 2CA1D:FF>12 2CA1E:FF>02 ");
  EXPECT_EQ(Ranges(plan.FreeAfter), "$2C910-$2C916 $2CA1F-$2CA1F $2CE00-$2CE3F ");
  // Too little room: nothing, and what was wanted where.
  try {
    RewriteRecords(Document, TFreeMap({{0x2CA14, 0x2CA16}, {0x2CE00, 0x2CE08}}), first, records);
    ADD_FAILURE() << "not refused";
  } catch (const ENoFreeSpace& Error) {
    EXPECT_EQ(Error.Size(), 9);
    EXPECT_EQ(Error.Reaches(), (std::vector<TFileRange>{{0x2C010, 0x2E010}}));
  }
}

}  // namespace
