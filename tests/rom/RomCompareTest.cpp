#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "rom/TarvelinRomCompare.h"
#include "tests/rom/RomTestSupport.h"

namespace {

struct TImage {
  TPrgData Prg{};
  TChrData Chr{};
  explicit TImage(const std::vector<std::uint8_t>& Rom) {
    std::copy_n(Rom.begin(), Prg.size(), Prg.begin());
    std::copy_n(Rom.begin() + static_cast<std::ptrdiff_t>(Prg.size()), Chr.size(), Chr.begin());
  }
};

constexpr auto Pattern = TDifferenceKind::Pattern, Alignment = TDifferenceKind::Alignment,
               Animation = TDifferenceKind::Animation, Tile = TDifferenceKind::Tile;

TEST(RomCompareTest, HandMadePairsListExactlyTheItemsChanged) {
  // Offsets from the layout drawn in RomTestSupport.h.
  const struct {
    const char* Name;
    std::vector<std::pair<int, int>> Writes;  // file offset, new byte
    std::vector<TRomDifference> Expected;
  } cases[] = {
      {"nothing", {}, {}},
      {"header and free space", {{4, 0x20}, {0x30000, 0x99}}, {}},
      {"a sprite byte of a FrameData two patterns share",
       {{0x24815, 0x45}},
       {{Pattern, 0, 0x000, 0x24810, 0x24810}, {Pattern, 0, 0x001, 0x24810, 0x24810}}},
      {"a sprite count: the record grows", {{0x24821, 0x01}}, {{Pattern, 0, 0x101, 0x24820, 0x24820}}},
      {"the last pair of an AlignData only bank 12-13's two-sprite pattern reads",
       {{0x24912, 0x01}},
       {{Alignment, 0, 0, 0x24910, 0x24910}}},
      {"the first pair, which bank 14-15 reaches too",
       {{0x24910, 0xF9}},
       {{Alignment, 0, 0, 0x24910, 0x24910}, {Alignment, 1, 0, 0x24910, 0x24910}}},
      {"a frame of an animation", {{0x24A13, 0x02}}, {{Animation, 0, 0, 0x24A10, 0x24A10}}},
      {"one CHR tile", {{ChrDataFileOffset + 5 * 0x400 + 3 * 16 + 1, 0x80}},
       {{Tile, 5, 3, ChrDataFileOffset + 0x1430, ChrDataFileOffset + 0x1430}}},
      {"the last CHR tile", {{RomImageSize - 1, 0x01}}, {{Tile, 0xFF, 0x3F, 0x80000, 0x80000}}},
      {"a moved pointer", {{0x24010 + 0x101, 0x00}}, {{Pattern, 0, 0x101, 0x24820, 0x24810}}},
      {"a moved animation pointer in bank 16",
       {{0x2C010 + 0x605, 0x21}},
       {{Animation, 2, 5, 0x2C010 + 0x1020, 0x2C010 + 0x1021}}},
      {"one of each",
       {{0x24A13, 0x02}, {0x24815, 0x45}, {ChrDataFileOffset, 0x01}, {0x24912, 0x01}},
       {{Pattern, 0, 0x000, 0x24810, 0x24810},
        {Pattern, 0, 0x001, 0x24810, 0x24810},
        {Alignment, 0, 0, 0x24910, 0x24910},
        {Animation, 0, 0, 0x24A10, 0x24A10},
        {Tile, 0, 0, ChrDataFileOffset, ChrDataFileOffset}}},
  };
  const auto base = MakeTestRom();
  const auto old = std::make_unique<TImage>(base);
  for (const auto& c : cases) {
    auto changed = base;
    for (const auto& [at, value] : c.Writes) changed[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(value);
    const auto now = std::make_unique<TImage>(changed);
    EXPECT_EQ(CompareRomImages({old->Prg, old->Chr}, {now->Prg, now->Chr}), c.Expected) << c.Name;
  }
}

TEST(RomCompareTest, CsvRowsNameBanksAsTheBoxesDo) {
  EXPECT_EQ(DifferenceCsvRow({Pattern, 1, 0x1FF, 0x28810, 0x28820}), "pattern,14-15,1FF,28810,28820\n");
  EXPECT_EQ(DifferenceCsvRow({Tile, 0xA0, 0x3F, 0x68400, 0x68400}), "tile,A0,3F,68400,68400\n");
}

}  // namespace

namespace {

TEST(RomCompareTest, PicturesFollowTilesAndAlignmentsToPatternsAndAnimations) {
  const auto rom = std::make_unique<TImage>(MakeTestRom());
  const struct {
    const char* Name;
    std::vector<TRomDifference> Differences;
    std::vector<TPatternRef> Patterns;
    std::vector<TAnimationRef> Animations;
  } cases[] = {
      {"nothing", {}, {}, {}},
      // Bank 5 tile 3 is the first sprite of $24810; animations 0 and 3 show pattern 1.
      {"a tile", {{Tile, 5, 3, 0, 0}}, {{0, 0}, {0, 1}}, {{0, 0}, {0, 3}}},
      // $28810 names alignment 0; no animation of bank 14-15 shows it.
      {"an alignment", {{Alignment, 1, 0, 0, 0}}, {{1, 5}}, {}},
      {"an animation alone", {{Animation, 2, 7, 0, 0}}, {}, {{2, 7}}},
      {"a pattern no animation shows", {{Pattern, 0, 0x101, 0, 0}}, {{0, 0x101}}, {}},
  };
  for (const auto& c : cases) {
    const auto changed = PicturesChangedBy(rom->Prg, c.Differences);
    EXPECT_EQ(changed.Patterns, c.Patterns) << c.Name;
    EXPECT_EQ(changed.Animations, c.Animations) << c.Name;
  }
}

}  // namespace
