#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "sprite/NesPalette.h"

namespace {

struct TRgb {
  int R, G, B;
};

TRgb Entry(int n) {
  const auto& p = NesMasterPalette();
  return {p[3 * n], p[3 * n + 1], p[3 * n + 2]};
}

TEST(NesMasterPalette, KeyColoursLookRight) {
  const auto black = Entry(0x0F);
  EXPECT_EQ(black.R + black.G + black.B, 0);
  const auto white = Entry(0x20);
  EXPECT_GE(std::min({white.R, white.G, white.B}), 0xD0);
  const auto cyan = Entry(0x2C);
  EXPECT_GT(cyan.B, cyan.R + 0x40);
  EXPECT_GT(cyan.G, cyan.R + 0x40);
  // The sprite palette's other colours: $11 blue, $27 orange, $2A green.
  EXPECT_GT(Entry(0x11).B, Entry(0x11).R);
  EXPECT_GT(Entry(0x27).R, Entry(0x27).B);
  EXPECT_GT(Entry(0x2A).G, Entry(0x2A).R);
}

TEST(NesMasterPalette, ShippedFileIsTheBuiltInCopy) {
  const auto path = std::filesystem::path(TARVELIN_SOURCE_DIR) / "fcpalette.pal";
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << path;
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_EQ(bytes.size(), 192u);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), NesMasterPalette().begin(),
                         [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }));
}

}  // namespace
