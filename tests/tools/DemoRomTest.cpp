#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

#include "tools/DemoRom.h"

namespace {

using TTile = std::array<std::array<int, 8>, 8>;

const std::vector<std::uint8_t>& Rom() {
  static const auto rom = MakeDemoRom();
  return rom;
}

TTile DecodeTile(int Bank, int Tile) {
  const auto* bytes = Rom().data() + DemoRom::ChrFileOffset + Bank * 0x400 + Tile * 16;
  TTile colours{};
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 8; ++c) colours[r][c] = ((bytes[r] >> (7 - c)) & 1) + 2 * ((bytes[r + 8] >> (7 - c)) & 1);
  }
  return colours;
}

TEST(DemoRom, HeaderAndSize) {
  ASSERT_EQ(Rom().size(), 524304u);
  const std::uint8_t signature[] = {0x4E, 0x45, 0x53, 0x1A};
  EXPECT_TRUE(std::equal(std::begin(signature), std::end(signature), Rom().begin()));
  EXPECT_EQ(Rom()[4] * 16 * 1024 + Rom()[5] * 8 * 1024 + 16, DemoRom::ImageSize);
  EXPECT_EQ(MakeDemoRom(), Rom());
}

TEST(DemoRom, EveryTileIsDistinctUsesAllColoursAndShowsItsFlips) {
  std::set<TTile> seen;
  for (int bank = 0; bank < 256; ++bank) {
    for (int t = 0; t < 64; ++t) {
      const auto tile = DecodeTile(bank, t);
      ASSERT_TRUE(seen.insert(tile).second) << "bank " << bank << " tile " << t;
      std::set<int> colours;
      TTile h{}, v{};
      for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) {
          colours.insert(tile[r][c]);
          h[r][7 - c] = tile[r][c];
          v[7 - r][c] = tile[r][c];
        }
      }
      ASSERT_TRUE(colours.count(1) && colours.count(2) && colours.count(3)) << bank << " " << t;
      ASSERT_NE(h, tile);
      ASSERT_NE(v, tile);
    }
  }
}

TEST(DemoRom, EveryTablePointerStaysInItsBankPairAndLeadsIntoPrg) {
  for (const int base : DemoRom::BankBases) {
    for (const int low : {0x000, 0x100, 0x400, 0x600}) {
      const int high = low == 0x000 || low == 0x100 ? low + 0x200 : low + 0x100;
      for (int i = 0; i < 256; ++i) {
        const int pointer = Rom()[static_cast<std::size_t>(base + low + i)] + 256 * Rom()[static_cast<std::size_t>(base + high + i)];
        ASSERT_GE(pointer, 0x8800) << std::hex << base << " " << low << " " << i;
        ASSERT_LE(pointer, 0xBFFF);
        // A record of up to 515 bytes there stays well inside PRG.
        ASSERT_LE(base + pointer - 0x8000 + 515, 0x40010);
      }
    }
  }
}

}  // namespace
