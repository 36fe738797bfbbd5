// The tile editor's whole-tile operations on hand-drawn 8 x 8 tiles, one digit a pixel.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "rom/TarvelinChrTile.h"

namespace {

using TPicture = std::array<const char*, 8>;

TTilePixels Pixels(const TPicture& Rows) {
  TTilePixels pixels{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) TilePixel(pixels, x, y) = static_cast<std::uint8_t>(Rows[static_cast<std::size_t>(y)][x] - '0');
  return pixels;
}

std::string Text(const TTilePixels& Pixels) {
  std::string text;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) text += static_cast<char>('0' + Pixels[static_cast<std::size_t>(8 * y + x)]);
    text += '\n';
  }
  return text;
}

constexpr TPicture Diagonal = {"00000001", "00000010", "00000100", "00001000",
                               "00010000", "00100000", "01000000", "10000000"};
constexpr TPicture Corner = {"11100000", "10000000", "10000000", "00000002",
                             "00000000", "00000000", "00000000", "30000000"};
constexpr TPicture Rows = {"12300003", "00000000", "00000000", "00000000",
                           "00000000", "00000000", "00000000", "22200000"};

struct TCase {
  const char* Name;
  TPicture Before;
  std::function<void(TTilePixels&)> Operation;
  TPicture After;
};

TEST(ChrTileTest, OperationsGiveTheHandWorkedTiles) {
  const TCase cases[] = {
      // A diagonal passes no 4-connected fill: only the triangle above it.
      {"fill stops at a diagonal", Diagonal, [](TTilePixels& P) { FillTile(P, 0, 0, 3); },
       {"33333331", "33333310", "33333100", "33331000", "33310000", "33100000", "31000000", "10000000"}},
      {"fill from below the diagonal", Diagonal, [](TTilePixels& P) { FillTile(P, 7, 7, 2); },
       {"00000001", "00000012", "00000122", "00001222", "00012222", "00122222", "01222222", "12222222"}},
      // The diagonal's pixels touch only at corners: each is an area of its own.
      {"fill on one pixel of the diagonal", Diagonal, [](TTilePixels& P) { FillTile(P, 3, 4, 2); },
       {"00000001", "00000010", "00000100", "00001000", "00020000", "00100000", "01000000", "10000000"}},
      {"fill with the colour already there", Diagonal, [](TTilePixels& P) { FillTile(P, 0, 0, 0); }, Diagonal},
      {"fill behind a wall of two lines", {"00001000", "00001000", "00001000", "11111000", "00000000", "00000000", "00000000", "00000000"},
       [](TTilePixels& P) { FillTile(P, 1, 1, 2); },
       {"22221000", "22221000", "22221000", "11111000", "00000000", "00000000", "00000000", "00000000"}},
      {"fill round a wall", Corner, [](TTilePixels& P) { FillTile(P, 7, 0, 1); },
       {"11111111", "11111111", "11111111", "11111112", "11111111", "11111111", "11111111", "31111111"}},
      {"flip left to right", Corner, FlipTileHorizontal,
       {"00000111", "00000001", "00000001", "20000000", "00000000", "00000000", "00000000", "00000003"}},
      {"flip top to bottom", Corner, FlipTileVertical,
       {"30000000", "00000000", "00000000", "00000000", "00000002", "10000000", "10000000", "11100000"}},
      {"shift left wraps to the right edge", Rows, [](TTilePixels& P) { ShiftTile(P, -1, 0); },
       {"23000031", "00000000", "00000000", "00000000", "00000000", "00000000", "00000000", "22000002"}},
      {"shift right wraps to the left edge", Rows, [](TTilePixels& P) { ShiftTile(P, 1, 0); },
       {"31230000", "00000000", "00000000", "00000000", "00000000", "00000000", "00000000", "02220000"}},
      {"shift up wraps to the bottom", Rows, [](TTilePixels& P) { ShiftTile(P, 0, -1); },
       {"00000000", "00000000", "00000000", "00000000", "00000000", "00000000", "22200000", "12300003"}},
      {"shift down wraps to the top", Rows, [](TTilePixels& P) { ShiftTile(P, 0, 1); },
       {"22200000", "12300003", "00000000", "00000000", "00000000", "00000000", "00000000", "00000000"}},
      {"eight shifts are none", Corner, [](TTilePixels& P) { for (int i = 0; i < 8; ++i) ShiftTile(P, 1, 1); }, Corner},
      {"a line from corner to corner", Rows, [](TTilePixels& P) { DrawTileLine(P, 0, 7, 7, 0, 1); },
       {"12300001", "00000010", "00000100", "00001000", "00010000", "00100000", "01000000", "12200000"}},
      {"a line past the edge stops there", Rows, [](TTilePixels& P) { DrawTileLine(P, 5, 3, 8, 3, 2); },
       {"12300003", "00000000", "00000000", "00000222", "00000000", "00000000", "00000000", "22200000"}},
  };
  for (const TCase& c : cases) {
    TTilePixels pixels = Pixels(c.Before);
    c.Operation(pixels);
    EXPECT_EQ(Text(pixels), Text(Pixels(c.After))) << c.Name;
    // Every tile packs to 16 bytes and back unchanged.
    EXPECT_EQ(Text(UnpackTile(PackTile(pixels))), Text(pixels)) << c.Name;
  }
}

TEST(ChrTileTest, PacksIntoTwoPlanesLeftmostPixelInBitSeven) {
  // Row 0: colours 0 1 2 3 0 0 0 1; row 7: colour 3 everywhere.
  const TTilePixels pixels = Pixels({"01230001", "00000000", "00000000", "00000000", "00000000", "00000000", "00000000", "33333333"});
  const TChrTileBytes expected = {0x51, 0, 0, 0, 0, 0, 0, 0xFF, 0x30, 0, 0, 0, 0, 0, 0, 0xFF};
  EXPECT_EQ(PackTile(pixels), expected);
  EXPECT_EQ(Text(UnpackTile(expected)), Text(pixels));
  EXPECT_FALSE(ChrTileFrom(std::span(expected).first(15)));
  EXPECT_EQ(ChrTileFrom(expected), expected);
}

}  // namespace
