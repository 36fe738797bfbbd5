// The demo image's catalogue, checked through the viewer's own address rules.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "rom/TarvelinFileIO.h"
#include "tests/support/FileTestSupport.h"
#include "tools/DemoRom.h"

namespace {

namespace D = DemoRom;

class DemoRomLayout : public testing::Test {
protected:
  static void SetUpTestSuite() {
    TTestDirectory dir("DemoRomLayout");
    TMessageCapture messages;
    Prg = new TPrgData{};
    Chr = new TChrData{};
    Loaded = LoadRomImage(dir.Write("demo.nes", MakeDemoRom()), *Prg, *Chr);
    Silent = messages.Shown().empty();
  }
  static void TearDownTestSuite() {
    delete Prg;
    delete Chr;
  }

  static std::uint8_t P(int Offset) { return Prg->at(static_cast<std::size_t>(Offset)); }
  static int Count(const D::TPattern& Pattern) { return P(Pattern.FrameOffset + 1) + 1; }
  static int Bank(const D::TPattern& Pattern) { return SpriteBanks[static_cast<std::size_t>(Pattern.BankIndex)]; }
  static bool IsCatalogued(int BankIndex, int Number) {
    return std::any_of(D::Patterns.begin(), D::Patterns.end(),
                       [&](const auto& p) { return p.BankIndex == BankIndex && p.Number == Number; });
  }

  static inline TPrgData* Prg = nullptr;
  static inline TChrData* Chr = nullptr;
  static inline bool Loaded = false;
  static inline bool Silent = false;
};

TEST_F(DemoRomLayout, ImageHasTheFullSizeAndLoads) {
  EXPECT_EQ(MakeDemoRom().size(), 524304u);
  EXPECT_TRUE(Loaded);
  EXPECT_TRUE(Silent);
  ASSERT_EQ(D::BankBases.size(), SpriteBanks.size());
  EXPECT_TRUE(std::equal(D::BankBases.begin(), D::BankBases.end(), SpriteBanks.begin()));
}

TEST_F(DemoRomLayout, EveryCataloguedPatternResolvesToItsRecords) {
  for (const auto& p : D::Patterns) {
    SCOPED_TRACE(p.Exercises);
    const int f = FrameDataOffset(*Prg, Bank(p), p.Number);
    EXPECT_EQ(f, p.FrameOffset);
    EXPECT_EQ(P(f), p.ChrBank);
    EXPECT_EQ(P(f + 2), p.AlignNumber);
    EXPECT_EQ(AlignDataOffset(*Prg, Bank(p), P(f + 2)), p.AlignOffset);
    EXPECT_NE(p.FrameOffset, D::DefaultFrameOffsets[static_cast<std::size_t>(p.BankIndex)]);
  }
}

TEST_F(DemoRomLayout, UnlistedPointersLeadToTheHarmlessDefaults) {
  for (int b = 0; b < 3; ++b) {
    const int base = SpriteBanks[static_cast<std::size_t>(b)];
    const int frame = D::DefaultFrameOffsets[static_cast<std::size_t>(b)];
    for (int n = 0; n < 0x200; ++n) {
      if (!IsCatalogued(b, n)) {
        ASSERT_EQ(FrameDataOffset(*Prg, base, n), frame) << b << " " << n;
      }
    }
    EXPECT_EQ(Count(D::TPattern{b, 0, 0, 0, frame, 0, ""}), 1);
    EXPECT_EQ(AlignDataOffset(*Prg, base, P(frame + 2)), D::DefaultAlignOffsets[static_cast<std::size_t>(b)]);
    EXPECT_EQ(AnimationDataOffset(*Prg, base, 0x80), D::DefaultAnimationOffsets[static_cast<std::size_t>(b)]);
    // The default animation shows one frame of an unlisted pattern.
    const int a = D::DefaultAnimationOffsets[static_cast<std::size_t>(b)];
    EXPECT_EQ(P(a) & 0x7F, 0);
    EXPECT_NE(P(a + 2), 0);
    EXPECT_EQ(FrameDataOffset(*Prg, base, 256 * (P(a) >> 7) + P(a + 2)), frame);
  }
}

TEST_F(DemoRomLayout, PatternsExerciseWhatTheySayTheyDo) {
  EXPECT_EQ(Count(D::OneSprite), 1);
  EXPECT_EQ(P(D::AllSprites.FrameOffset + 1), 0xFF);
  EXPECT_GE(D::AllSprites.FrameOffset, Bank(D::AllSprites) + 0x2000) << "lies in the second bank of the pair";

  const D::TPattern offsets[] = {D::LoadOffset0, D::LoadOffset1, D::LoadOffset2, D::LoadOffset3};
  for (int k = 0; k < 4; ++k) EXPECT_EQ(P(offsets[k].FrameOffset + 3) >> 6, k);

  // Window bank = CHR bank - load offset; some sprite's tile falls before CHR.
  const auto window = [](const D::TPattern& p) { return P(p.FrameOffset) - (P(p.FrameOffset + 3) >> 6); };
  const auto tileOffsets = [&](const D::TPattern& p) {
    std::vector<int> result;
    for (int i = 0; i < Count(p); ++i) result.push_back(window(p) * 1024 + P(p.FrameOffset + 3 + 2 * i) * 16);
    return result;
  };
  EXPECT_EQ(window(D::WindowBelowBank0), -2);
  const auto below = tileOffsets(D::WindowBelowBank0);
  EXPECT_TRUE(std::any_of(below.begin(), below.end(), [](int o) { return o < 0; }));
  EXPECT_TRUE(std::any_of(below.begin(), below.end(), [](int o) { return o >= 0; }));
  EXPECT_EQ(P(D::WindowPastLastBank.FrameOffset), 0xFF);
  EXPECT_EQ(P(D::WindowPastLastBank.FrameOffset + 3) >> 6, 2);
  const auto past = tileOffsets(D::WindowPastLastBank);
  EXPECT_TRUE(std::any_of(past.begin(), past.end(), [](int o) { return o + 16 > 0x40000; }));

  const auto attributes = [](const D::TPattern& p, int Mask) {
    std::set<int> seen;
    for (int i = 0; i < Count(p); ++i) seen.insert(P(p.FrameOffset + 4 + 2 * i) & Mask);
    return seen;
  };
  EXPECT_EQ(attributes(D::FourFlips, 0xC0), (std::set<int>{0x00, 0x40, 0x80, 0xC0}));
  EXPECT_EQ(attributes(D::FourGroups, 0x03), (std::set<int>{0, 1, 2, 3}));
  EXPECT_EQ(attributes(D::AllSprites, 0x03), (std::set<int>{0, 1, 2, 3}));
  EXPECT_NE(attributes(D::IgnoredAttributeBits, 0x3C), std::set<int>{0});

  // The two sprites of Overlap cover a common 8x8 area in part.
  ASSERT_EQ(Count(D::Overlap), 2);
  const int a = D::Overlap.AlignOffset;
  const auto signedByte = [](std::uint8_t v) { return v < 0x80 ? v : v - 256; };
  EXPECT_LT(std::abs(signedByte(P(a)) - signedByte(P(a + 2))), 8);
  EXPECT_LT(std::abs(signedByte(P(a + 1)) - signedByte(P(a + 3))), 8);

  EXPECT_GE(D::FirstHighPattern.Number, 0x100);
  EXPECT_EQ(D::LastPattern.Number, 0x1FF);
  EXPECT_EQ(D::Bank16LastPattern.BankIndex, 2);
  EXPECT_EQ(D::Bank16LastPattern.Number, 0x1FF);
}

TEST_F(DemoRomLayout, AnimationsResolveAndTheirFramesAreCataloguedPatterns) {
  for (const auto& m : D::Animations) {
    SCOPED_TRACE(m.Exercises);
    const int base = AnimationBanks[static_cast<std::size_t>(m.BankIndex)];
    const int a = AnimationDataOffset(*Prg, base, m.Number);
    ASSERT_EQ(a, m.Offset);
    const int last = P(a) & 0x7F;
    for (int k = 0; k <= last; ++k) {
      const int b = P(a + 2 + k);
      if (b == 0) continue;
      EXPECT_TRUE(IsCatalogued(m.BankIndex, 256 * (P(a) >> 7) + b)) << "frame " << k;
    }
  }
  const auto bytes = [](const D::TAnimation& m) {
    std::vector<std::uint8_t> record;
    for (int i = 0; i < (P(m.Offset) & 0x7F) + 3; ++i) record.push_back(P(m.Offset + i));
    return record;
  };
  EXPECT_EQ(bytes(D::ThreeFrames), (std::vector<std::uint8_t>{0x02, 0x03, 0x10, 0x11, 0x12}));
  EXPECT_EQ(HexDump(bytes(D::ThreeFrames)), "02 03 10 11 12 ");
  EXPECT_EQ(FrameDataOffset(*Prg, AnimationBanks[0], 0x010), D::WalkFrame0.FrameOffset);
  EXPECT_EQ(P(D::HighBit.Offset), 0x82);
  EXPECT_EQ(FrameDataOffset(*Prg, AnimationBanks[0], 0x100 + P(D::HighBit.Offset + 2)), D::HighWalkFrame0.FrameOffset);
  EXPECT_EQ(P(D::OneTickFrames.Offset + 1), 0);
  EXPECT_EQ(P(D::OneFrame.Offset) & 0x7F, 0);
  const auto ending = bytes(D::EndsWithZero);
  EXPECT_EQ(ending.back(), 0);
  EXPECT_TRUE(std::all_of(ending.begin() + 2, ending.end() - 1, [](auto b) { return b != 0; }));
  EXPECT_EQ(FrameDataOffset(*Prg, AnimationBanks[2], 256 * (P(D::Bank16Animation.Offset) >> 7) + P(D::Bank16Animation.Offset + 2)),
            D::Bank16LastPattern.FrameOffset);
}

}  // namespace
