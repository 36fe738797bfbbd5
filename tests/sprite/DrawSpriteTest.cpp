// Sprite rendering checked pixel by pixel against tiles built from the NES
// 2-bit planar format, independently of the renderer's own decoding.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "sprite/TarvelinDrawSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"
#include "tools/DemoRom.h"
#include "sprite/NesPalette.h"

namespace {

using TTile = std::array<std::array<std::uint8_t, 8>, 8>;  // colour number [row][column]
using TBytes = std::vector<std::uint8_t>;

// Colour numbers to the 16 bytes of a tile: bit 7 is column 0, plane 1 holds the high bit.
void PutTile(TChrData& Chr, std::size_t Offset, const TTile& Tile) {
  for (int r = 0; r < 8; ++r) {
    std::uint8_t plane0 = 0, plane1 = 0;
    for (int c = 0; c < 8; ++c) {
      const std::uint8_t colour = Tile[r][c];
      plane0 |= static_cast<std::uint8_t>((colour & 1) << (7 - c));
      plane1 |= static_cast<std::uint8_t>(((colour >> 1) & 1) << (7 - c));
    }
    Chr[Offset + r] = plane0;
    Chr[Offset + 8 + r] = plane1;
  }
}

void PutPlanes(TChrData& Chr, std::size_t Offset, std::uint8_t Plane0, std::uint8_t Plane1) {
  std::fill_n(Chr.begin() + static_cast<std::ptrdiff_t>(Offset), 8, Plane0);
  std::fill_n(Chr.begin() + static_cast<std::ptrdiff_t>(Offset) + 8, 8, Plane1);
}

constexpr std::size_t TileAt(int Bank, int Tile) { return static_cast<std::size_t>(Bank * 1024 + Tile * 16); }

TTile Solid(std::uint8_t Colour) {
  TTile t{};
  for (auto& row : t) row.fill(Colour);
  return t;
}

// No two rows or columns alike and every colour present, so each flip shows.
TTile Asymmetric() {
  TTile t{};
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) t[r][c] = static_cast<std::uint8_t>((r * r + 3 * c + (c > r ? 1 : 0)) % 4);
  return t;
}

// FrameData: bank, count - 1, alignment number 0, then (tile, attribute) pairs.
TBytes Frame(std::uint8_t Bank, const std::vector<std::pair<std::uint8_t, std::uint8_t>>& Sprites,
             int CountByte = -1) {
  TBytes bytes = {Bank, static_cast<std::uint8_t>(CountByte >= 0 ? CountByte : static_cast<int>(Sprites.size()) - 1), 0};
  for (auto [tile, attribute] : Sprites) {
    bytes.push_back(tile);
    bytes.push_back(attribute);
  }
  return bytes;
}

// AlignData from top-left picture positions: stored v lands at (v + 128) mod 256.
TBytes Align(const std::vector<std::pair<int, int>>& TopLefts) {
  TBytes bytes;
  for (auto [x, y] : TopLefts) {
    bytes.push_back(static_cast<std::uint8_t>(y - 128));
    bytes.push_back(static_cast<std::uint8_t>(x - 128));
  }
  return bytes;
}

std::uint8_t Pixel(TZrDIB& Picture, int X, int Y) { return Picture.GetScanLine(Y)[static_cast<std::size_t>(X)]; }

// Compares every pixel and reports the first mismatch only.
void ExpectPicture(TZrDIB& Picture, const std::function<int(int, int)>& Expected) {
  for (int y = 0; y < Picture.GetHeight(); ++y) {
    const auto row = Picture.GetScanLine(y);
    for (int x = 0; x < Picture.GetWidth(); ++x)
      if (row[static_cast<std::size_t>(x)] != Expected(x, y)) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << int{row[static_cast<std::size_t>(x)]}
                      << ", expected " << Expected(x, y);
        return;
      }
  }
}

bool In(int V, int Low, int High) { return V >= Low && V <= High; }

class DrawSpriteTest : public testing::Test {
protected:
  std::unique_ptr<TZrDIB> DrawFrame(const TBytes& FrameBytes, const TBytes& AlignBytes) {
    auto picture = CreatePageDIB(256, 256);
    Drawer.DrawFrame(*picture, FrameBytes, AlignBytes);
    return picture;
  }

  std::unique_ptr<TChrData> Chr = std::make_unique<TChrData>();
  TDrawSprite Drawer{*Chr, nullptr};
};

// ---- Tile format ----

TEST_F(DrawSpriteTest, PlaneCombinationsGiveColoursOneTwoThree) {
  PutPlanes(*Chr, TileAt(0, 1), 0xFF, 0x00);
  PutPlanes(*Chr, TileAt(0, 2), 0x00, 0xFF);
  PutPlanes(*Chr, TileAt(0, 3), 0xFF, 0xFF);
  const auto picture = DrawFrame(Frame(0, {{1, 0}, {2, 0}, {3, 0}}), Align({{0, 0}, {16, 0}, {32, 0}}));
  ExpectPicture(*picture, [](int x, int y) {
    if (!In(y, 0, 7)) return 0;
    if (In(x, 0, 7)) return 1;
    if (In(x, 16, 23)) return 2;
    if (In(x, 32, 39)) return 3;
    return 0;
  });
}

TEST_F(DrawSpriteTest, BitSevenIsTheLeftmostPixelAndRowZeroTheTop) {
  (*Chr)[TileAt(0, 1) + 0] = 0x80;  // plane 0, row 0: column 0 only
  (*Chr)[TileAt(0, 1) + 8 + 7] = 0x01;  // plane 1, row 7: column 7 only
  const auto picture = DrawFrame(Frame(0, {{1, 0}}), Align({{128, 128}}));
  ExpectPicture(*picture, [](int x, int y) { return x == 128 && y == 128 ? 1 : x == 135 && y == 135 ? 2 : 0; });
}

// ---- Attributes ----

TEST_F(DrawSpriteTest, AttributesSelectGroupAndFlips) {
  const TTile tile = Asymmetric();
  PutTile(*Chr, TileAt(0, 7), tile);
  struct TCase {
    std::uint8_t Attribute;
    int Group;
    bool H, V;
  };
  for (const TCase k : {TCase{0x00, 0, false, false}, TCase{0x43, 3, true, false}, TCase{0x80, 0, false, true},
                        TCase{0xC0, 0, true, true}, TCase{0x3C, 0, false, false}, TCase{0x01, 1, false, false}}) {
    SCOPED_TRACE(testing::Message() << "attribute " << int{k.Attribute});
    const auto picture = DrawFrame(Frame(0, {{7, k.Attribute}}), Align({{40, 60}}));
    ExpectPicture(*picture, [&](int x, int y) {
      if (!In(x, 40, 47) || !In(y, 60, 67)) return 0;
      const int r = k.V ? 7 - (y - 60) : y - 60, c = k.H ? 7 - (x - 40) : x - 40;
      const int colour = tile[r][c];
      return colour ? 4 * k.Group + colour : 0;
    });
  }
}

TEST_F(DrawSpriteTest, AttributeFortyThreeUsesOnlyIndexesThirteenToFifteen) {
  PutTile(*Chr, TileAt(0, 7), Asymmetric());
  const auto picture = DrawFrame(Frame(0, {{7, 0x43}}), Align({{0, 0}}));
  std::set<int> seen;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) seen.insert(Pixel(*picture, x, y));
  EXPECT_EQ(seen, (std::set<int>{0, 13, 14, 15}));
}

// ---- Alignment and wrapping ----

TEST_F(DrawSpriteTest, AlignmentIsAnOffsetFromTheCentre) {
  PutTile(*Chr, TileAt(0, 1), Solid(3));
  struct TCase {
    std::uint8_t Y, X;
    int Left, Top;
  };
  for (const TCase k : {TCase{0x00, 0x00, 128, 128}, TCase{0xF8, 0xF8, 120, 120}, TCase{0x80, 0x7F, 255, 0}}) {
    SCOPED_TRACE(testing::Message() << "(Y, X) = (" << int{k.Y} << ", " << int{k.X} << ")");
    const auto picture = DrawFrame(Frame(0, {{1, 0}}), {k.Y, k.X});
    ExpectPicture(*picture, [&](int x, int y) {
      const bool column = ((x - k.Left) & 0xFF) < 8, row = ((y - k.Top) & 0xFF) < 8;
      return column && row ? 3 : 0;
    });
  }
}

TEST_F(DrawSpriteTest, SpritesRunningOverAnEdgeContinueAtTheOpposite) {
  PutTile(*Chr, TileAt(0, 1), Asymmetric());
  const TTile tile = Asymmetric();
  // X = $7C: columns 252..255 then 0..3 of rows 128..135.
  auto right = DrawFrame(Frame(0, {{1, 0}}), {0x00, 0x7C});
  ExpectPicture(*right, [&](int x, int y) {
    if (!In(y, 128, 135) || !(In(x, 252, 255) || In(x, 0, 3))) return 0;
    return int{tile[y - 128][(x - 252) & 0xFF]};
  });
  // Y = $7C: rows 252..255 then 0..3 of columns 128..135.
  auto bottom = DrawFrame(Frame(0, {{1, 0}}), {0x7C, 0x00});
  ExpectPicture(*bottom, [&](int x, int y) {
    if (!In(x, 128, 135) || !(In(y, 252, 255) || In(y, 0, 3))) return 0;
    return int{tile[(y - 252) & 0xFF][x - 128]};
  });
  // Both: the four corners.
  auto corners = DrawFrame(Frame(0, {{1, 0}}), {0x7C, 0x7C});
  EXPECT_EQ(Pixel(*corners, 252, 252), tile[0][0]);
  EXPECT_EQ(Pixel(*corners, 3, 252), tile[0][7]);
  EXPECT_EQ(Pixel(*corners, 252, 3), tile[7][0]);
  EXPECT_EQ(Pixel(*corners, 3, 3), tile[7][7]);
  EXPECT_EQ(Pixel(*corners, 4, 4), 0);
}

// ---- Sprite counts and records ----

TEST_F(DrawSpriteTest, CountByteZeroDrawsOneSprite) {
  PutTile(*Chr, TileAt(0, 1), Solid(1));
  PutTile(*Chr, TileAt(0, 2), Solid(2));
  const auto picture = DrawFrame(Frame(0, {{1, 0}, {2, 0}}, 0x00), Align({{0, 0}, {100, 100}}));
  ExpectPicture(*picture, [](int x, int y) { return x < 8 && y < 8 ? 1 : 0; });
}

TEST_F(DrawSpriteTest, CountByteFFDrawsAllTwoHundredFiftySixSprites) {
  // Tile t of the four-bank window is solid colour t % 3 + 1; sprite i shows
  // tile i in group i / 64 at cell i of a 16 x 16 grid of 16-pixel cells.
  for (int t = 0; t < 256; ++t) PutTile(*Chr, TileAt(4, t), Solid(static_cast<std::uint8_t>(t % 3 + 1)));
  std::vector<std::pair<std::uint8_t, std::uint8_t>> sprites;
  std::vector<std::pair<int, int>> cells;
  for (int i = 0; i < 256; ++i) {
    sprites.emplace_back(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i / 64));
    cells.emplace_back(16 * (i % 16), 16 * (i / 16));
  }
  const TBytes frame = Frame(4, sprites);
  ASSERT_EQ(frame[1], 0xFF);
  const auto picture = DrawFrame(frame, Align(cells));
  ExpectPicture(*picture, [](int x, int y) {
    if (x % 16 >= 8 || y % 16 >= 8) return 0;
    const int i = (y / 16) * 16 + x / 16;
    return 4 * (i / 64) + i % 3 + 1;
  });
}

TEST_F(DrawSpriteTest, RecordsShorterThanTheirCountDrawOnlyTheSpritesTheyHold) {
  PutTile(*Chr, TileAt(0, 1), Solid(1));
  PutTile(*Chr, TileAt(0, 2), Solid(2));
  PutTile(*Chr, TileAt(0, 3), Solid(3));
  const TBytes frame = Frame(0, {{1, 0}, {2, 0}, {3, 0}}, 0x09);  // claims ten sprites
  const TBytes align = Align({{0, 0}, {16, 0}, {32, 0}});
  ExpectPicture(*DrawFrame(frame, align), [](int x, int y) { return y < 8 && x < 40 && x % 16 < 8 ? x / 16 + 1 : 0; });

  // The frame record ends inside sprite 2's attribute; the alignment record holds two pairs.
  const TBytes cutFrame(frame.begin(), frame.end() - 1);
  ExpectPicture(*DrawFrame(cutFrame, align), [](int x, int y) { return y < 8 && x < 24 && x % 16 < 8 ? x / 16 + 1 : 0; });
  const TBytes cutAlign(align.begin(), align.begin() + 4);
  ExpectPicture(*DrawFrame(frame, cutAlign), [](int x, int y) { return y < 8 && x < 24 && x % 16 < 8 ? x / 16 + 1 : 0; });
  // A frame record without its first sprite draws nothing.
  ExpectPicture(*DrawFrame(TBytes(frame.begin(), frame.begin() + 3), align), [](int, int) { return 0; });
}

// ---- The tile window ----

TEST_F(DrawSpriteTest, WindowBelowBankZeroSkipsTilesBeforeTheChrData) {
  // Bytes 0 and 3 = ($01, $C0): window bank -2, tile $C0 is bank 1 tile 0.
  PutTile(*Chr, TileAt(1, 0), Solid(1));
  PutTile(*Chr, TileAt(1, 1), Solid(2));
  // Where offset -1792 would land if it wrapped round the end or were taken unsigned.
  PutTile(*Chr, Chr->size() - 1792, Solid(3));
  PutTile(*Chr, TileAt(0, 16), Solid(3));
  const auto picture = DrawFrame(Frame(0x01, {{0xC0, 0}, {0x10, 0}, {0xC1, 0}}), Align({{0, 0}, {16, 0}, {32, 0}}));
  ExpectPicture(*picture, [](int x, int y) {
    if (y >= 8) return 0;
    if (In(x, 0, 7)) return 1;
    if (In(x, 32, 39)) return 2;
    return 0;
  });
}

TEST_F(DrawSpriteTest, WindowPastTheLastBankSkipsTilesBeyondTheChrData) {
  // Bank $FF at load offset 2: window bank 253; tile $80 is bank $FF tile 0, tile $C5 would be bank 256.
  PutTile(*Chr, TileAt(0xFF, 0), Solid(2));
  PutTile(*Chr, TileAt(0, 5), Solid(3));
  PutTile(*Chr, TileAt(0xFF, 63), Solid(1));  // the last tile of CHR is still inside
  const auto picture = DrawFrame(Frame(0xFF, {{0x80, 0}, {0xC5, 0}, {0xBF, 0}}), Align({{0, 0}, {16, 0}, {32, 0}}));
  ExpectPicture(*picture, [](int x, int y) {
    if (y >= 8) return 0;
    if (In(x, 0, 7)) return 2;
    if (In(x, 32, 39)) return 1;
    return 0;
  });
}

// ---- Layering ----

TEST_F(DrawSpriteTest, LaterSpritesCoverEarlierOnesExceptWhereTheirColourIsZero) {
  TTile checker{};
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) checker[r][c] = (r + c) % 2 ? 0 : 2;
  PutTile(*Chr, TileAt(0, 1), Solid(1));
  PutTile(*Chr, TileAt(0, 2), checker);
  const auto inA = [](int x, int y) { return In(x, 128, 135) && In(y, 128, 135); };
  const auto inB = [](int x, int y) { return In(x, 132, 139) && In(y, 132, 139); };

  // Solid group 1 first, checker group 2 on top.
  const auto solidBelow = DrawFrame(Frame(0, {{1, 1}, {2, 2}}), Align({{128, 128}, {132, 132}}));
  ExpectPicture(*solidBelow, [&](int x, int y) {
    if (inB(x, y) && (x + y) % 2 == 0) return 10;
    return inA(x, y) ? 5 : 0;
  });
  // The other order: the solid sprite hides the checker wholly where they meet.
  const auto solidAbove = DrawFrame(Frame(0, {{2, 2}, {1, 1}}), Align({{132, 132}, {128, 128}}));
  ExpectPicture(*solidAbove, [&](int x, int y) {
    if (inA(x, y)) return 5;
    return inB(x, y) && (x + y) % 2 == 0 ? 10 : 0;
  });
}

TEST_F(DrawSpriteTest, SpriteColourZeroLeavesWhatThePictureHeld) {
  TTile dots{};
  dots[0][0] = dots[7][7] = 3;
  PutTile(*Chr, TileAt(0, 1), dots);
  auto picture = CreatePageDIB(256, 256);
  for (int y = 0; y < 256; ++y) std::ranges::fill(picture->GetScanLine(y).first(256), 9);
  Drawer.DrawFrame(*picture, Frame(0, {{1, 0}}), Align({{10, 20}}));
  ExpectPicture(*picture, [](int x, int y) { return (x == 10 && y == 20) || (x == 17 && y == 27) ? 3 : 9; });
}

// ---- Pattern table ----

// Colour of pixel (r, c) of tile k in bank b: every bank and tile differs and all colours occur.
int BankColour(int Bank, int Tile, int R, int C) { return (Bank + Tile + R * 3 + C + (C > R ? 1 : 0)) % 4; }

class PatternTableTest : public DrawSpriteTest {
protected:
  void SetUp() override {
    for (int b = 0; b < 256; ++b)
      for (int k = 0; k < 64; ++k) {
        TTile t{};
        for (int r = 0; r < 8; ++r)
          for (int c = 0; c < 8; ++c) t[r][c] = static_cast<std::uint8_t>(BankColour(b, k, r, c));
        PutTile(*Chr, TileAt(b, k), t);
      }
  }

  // The index at (x, y) of a band showing Bank in Group.
  static int BandPixel(int Bank, int Band, int Group, int X, int Y) {
    const int k = ((Y - 32 * Band) / 8) * 16 + X / 8;
    return 4 * Group + BankColour(Bank, k, Y % 8, X % 8);
  }
};

TEST_F(PatternTableTest, EachLoadOffsetFillsItsOwnBand) {
  for (int offset = 0; offset < 4; ++offset) {
    SCOPED_TRACE(testing::Message() << "load offset " << offset);
    const int bank = 0x40 + offset, band = offset;
    auto picture = CreatePageDIB(128, 128);
    Drawer.DrawPatternTable(*picture, static_cast<std::uint8_t>(bank), static_cast<std::uint8_t>(offset), 1);
    ExpectPicture(*picture, [&](int x, int y) {
      if (y / 32 == band) return BandPixel(bank, band, 1, x, y);
      if (offset == 2 && y / 32 == 3) return BandPixel(bank + 1, 3, 1, x, y);
      return 0;
    });
  }
}

TEST_F(PatternTableTest, BankFFAtLoadOffsetTwoWrapsToBankZeroInBandThree) {
  auto picture = CreatePageDIB(128, 128);
  Drawer.DrawPatternTable(*picture, 0xFF, 2, 0);
  ExpectPicture(*picture, [](int x, int y) {
    if (y < 64) return 0;
    return y < 96 ? BandPixel(0xFF, 2, 0, x, y) : BandPixel(0x00, 3, 0, x, y);
  });
}

TEST_F(PatternTableTest, LoadOffsetOneLeavesTheOtherBandsAtIndexZero) {
  auto picture = CreatePageDIB(128, 128);
  Drawer.DrawPatternTable(*picture, 0xFF, 1, 2);
  ExpectPicture(*picture, [](int x, int y) { return y / 32 == 1 ? BandPixel(0xFF, 1, 2, x, y) : 0; });
}

TEST_F(DrawSpriteTest, PatternTableWritesColourZeroAsFourTimesTheGroup) {
  // Bank 3 is blank: every pixel of its band is colour 0.
  for (int group = 0; group < 4; ++group) {
    auto picture = CreatePageDIB(128, 128);
    for (int y = 0; y < 128; ++y) std::ranges::fill(picture->GetScanLine(y).first(128), 7);
    Drawer.DrawPatternTable(*picture, 3, 0, static_cast<std::uint8_t>(group));
    ExpectPicture(*picture, [&](int, int y) { return y < 32 ? 4 * group : 7; });
  }
}

// ---- Pictures not 256 x 256 ----

TEST_F(DrawSpriteTest, NarrowPictureIsNeverWrittenOutsideItsRows) {
  PutTile(*Chr, TileAt(0, 1), Solid(3));
  // A stride of exactly 100 bytes: a column past the edge would land in the next row.
  auto picture = CreatePageDIB(100, 256);
  Drawer.DrawFrame(*picture, Frame(0, {{1, 0}, {1, 0}, {1, 0}}), Align({{252, 10}, {96, 30}, {200, 50}}));
  ExpectPicture(*picture, [](int x, int y) {
    if (In(y, 10, 17) && In(x, 0, 3)) return 3;  // the wrapped half of the first sprite
    if (In(y, 30, 37) && In(x, 96, 99)) return 3;
    return 0;
  });

  // Bank 3 is blank, so band 3 shows colour 0 of group 1.
  auto table = CreatePageDIB(100, 128);
  Drawer.DrawPatternTable(*table, 3, 3, 1);
  ExpectPicture(*table, [](int, int y) { return y >= 96 ? 4 : 0; });
}

TEST_F(DrawSpriteTest, RowsBelowAShortPictureMeetTheLibrarysCheck) {
  PutTile(*Chr, TileAt(0, 1), Solid(3));
  auto picture = CreatePageDIB(128, 128);
  EXPECT_THROW(Drawer.DrawFrame(*picture, Frame(0, {{1, 0}}), Align({{0, 128}})), EZrDIBPixelPositionRange);
}

// ---- Pictures ----

std::array<std::uint8_t, 3> TableEntry(TZrDIB& Picture, int Index) {
  const RGBQUAD q = Picture.GetInternalDIB()->BitmapInfo.bmiColors[Index];
  return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

class CreatePageDIBTest : public testing::Test {
protected:
  void TearDown() override { FcPalette = std::move(FSaved); }
  std::unique_ptr<TFcPaletteData> FSaved = std::move(FcPalette);
};

TEST_F(CreatePageDIBTest, BlankEightBitPictureOfTheGivenSize) {
  for (auto [w, h] : {std::pair{256, 256}, std::pair{128, 128}, std::pair{37, 5}}) {
    auto picture = CreatePageDIB(w, h);
    EXPECT_EQ(picture->GetWidth(), w);
    EXPECT_EQ(picture->GetHeight(), h);
    EXPECT_EQ(picture->GetBitCount(), 8);
    for (int y = 0; y < h; ++y) {
      const auto row = picture->GetScanLine(y);
      ASSERT_TRUE(std::all_of(row.begin(), row.begin() + w, [](std::uint8_t v) { return v == 0; })) << "row " << y;
    }
  }
}

TEST_F(CreatePageDIBTest, SpritePaletteComesThroughFcPalette) {
  // Entry n of this palette file is (n, 2n + 1, 255 - n).
  std::array<std::uint8_t, 192> data{};
  for (int n = 0; n < 64; ++n) {
    data[3 * n] = static_cast<std::uint8_t>(n);
    data[3 * n + 1] = static_cast<std::uint8_t>(2 * n + 1);
    data[3 * n + 2] = static_cast<std::uint8_t>(255 - n);
  }
  FcPalette = std::make_unique<TFcPaletteData>(data);
  auto picture = CreatePageDIB(256, 256);
  const int groups[4][4] = {{0x0F, 0x0F, 0x2C, 0x11}, {0x0F, 0x0F, 0x20, 0x37}, {0x0F, 0x0F, 0x20, 0x27},
                            {0x0F, 0x0F, 0x20, 0x2A}};
  for (int i = 0; i < 16; ++i) {
    const int n = groups[i / 4][i % 4];
    EXPECT_EQ(TableEntry(*picture, i),
              (std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(2 * n + 1),
                                           static_cast<std::uint8_t>(255 - n)}))
        << "entry " << i;
  }
  for (int i = 16; i < 256; ++i) EXPECT_EQ(TableEntry(*picture, i), (std::array<std::uint8_t, 3>{})) << "entry " << i;
}

TEST_F(CreatePageDIBTest, WithoutFcPaletteTheBuiltInPaletteColours) {
  FcPalette.reset();
  auto picture = CreatePageDIB(128, 128);
  const auto& master = NesMasterPalette();
  for (int i = 0; i < 16; ++i) {
    const int n = SpritePaletteSet[static_cast<std::size_t>(i)];
    EXPECT_EQ(TableEntry(*picture, i), (std::array<std::uint8_t, 3>{master[3 * n], master[3 * n + 1], master[3 * n + 2]}))
        << "entry " << i;
  }
  for (int i = 16; i < 256; ++i) EXPECT_EQ(TableEntry(*picture, i), (std::array<std::uint8_t, 3>{})) << "entry " << i;
}

// ---- A demo ROM pattern ----

TEST_F(DrawSpriteTest, DemoRomPatternDrawsInItsGroupsIndexes) {
  const std::vector<std::uint8_t> rom = MakeDemoRom();
  ASSERT_EQ(rom.size(), static_cast<std::size_t>(DemoRom::ImageSize));
  std::copy_n(rom.begin() + DemoRom::ChrFileOffset, Chr->size(), Chr->begin());
  const DemoRom::TPattern& pattern = DemoRom::FirstHighPattern;
  const std::span<const std::uint8_t> frame(rom.data() + pattern.FrameOffset, 5);
  const std::span<const std::uint8_t> align(rom.data() + pattern.AlignOffset, 2);
  ASSERT_EQ(frame[1], 0);  // one sprite
  const int group = frame[4] & 3;
  auto picture = CreatePageDIB(256, 256);
  Drawer.DrawFrame(*picture, frame, align);
  const int left = (align[1] + 128) & 0xFF, top = (align[0] + 128) & 0xFF;
  int drawn = 0;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      const int v = Pixel(*picture, x, y);
      if (v == 0) continue;
      ++drawn;
      EXPECT_TRUE(In(v, 4 * group + 1, 4 * group + 3)) << x << "," << y << ": " << v;
      EXPECT_TRUE(((x - left) & 0xFF) < 8 && ((y - top) & 0xFF) < 8) << x << "," << y;
    }
  EXPECT_GT(drawn, 0);
}

}  // namespace
