// The sheet's thumbnail square over hand-placed drawn areas.

#include <gtest/gtest.h>

#include <vector>

#include "sprite/TarvelinThumbnail.h"

namespace {

struct TCase {
  int X, Y, W, H;  // the drawn rectangle; W = 0: nothing drawn
  TThumbnailFrame Expected;
};

TEST(ThumbnailFrame, TheDrawnAreaScaledByAWholeFactor) {
  const TCase cases[] = {
      {120, 120, 16, 16, {120, 120, 16, 8}},   // a 16-pixel sprite: x8
      {124, 124, 8, 8, {124, 124, 8, 16}},     // one sprite: x16
      {100, 50, 24, 10, {99, 42, 26, 5}},      // 128 / 24 = 5, ceil(128 / 5) = 26, centred
      {0, 0, 16, 16, {0, 0, 16, 8}},           // at the corner
      {254, 254, 2, 2, {254, 254, 2, 64}},     // 2 pixels: x64
      {253, 250, 3, 3, {252, 250, 4, 42}},     // ceil(128 / 42) = 4, kept inside the picture
      {60, 60, 128, 20, {60, 6, 128, 1}},      // exactly the size: x1
      {10, 10, 129, 5, {}},                    // larger: the whole picture, shrunk
      {0, 0, 0, 0, {}},                        // nothing drawn
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.X << "," << c.Y << " " << c.W << "x" << c.H);
    std::vector<std::uint8_t> pixels(260 * 256, 0);  // a stride past the width
    for (int y = c.Y; y < c.Y + c.H; ++y)
      for (int x = c.X; x < c.X + c.W; ++x)
        // Only the rectangle's edges: the inside plays no part.
        if (x == c.X || y == c.Y || x == c.X + c.W - 1 || y == c.Y + c.H - 1) pixels[static_cast<std::size_t>(y * 260 + x)] = 5;
    const TThumbnailFrame got = ThumbnailFrame(pixels, 256, 256, 260, 128);
    EXPECT_EQ(got.Left, c.Expected.Left);
    EXPECT_EQ(got.Top, c.Expected.Top);
    EXPECT_EQ(got.Side, c.Expected.Side);
    EXPECT_EQ(got.Factor, c.Expected.Factor);
  }
}

}  // namespace
