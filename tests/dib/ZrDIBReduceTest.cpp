// Colour reduction and half-tone: the exact cases worked by hand, and random
// pictures against the independent reckonings of ReduceTestSupport.h.

#include <algorithm>
#include <random>
#include <string>

#include "dib/ZrDIBReduce.h"
#include "dib/ZrDIBScratch.h"
#include "tests/dib/ConvertTestSupport.h"
#include "tests/dib/ReduceTestSupport.h"
#include "tests/dib/AllocationHook.h"

namespace {

using TReducer = TZrDIBData (*)(const TZrDIBSource&, bool, const TZrConvertProgress&);
TReducer ReducerOf(int Mode, int Depth) {
  if (Mode == 0) return Depth == 8 ? ConvertTrueColorTo8BitRGBLow : ConvertTrueColorTo4BitRGBLow;
  return Depth == 8 ? ConvertTrueColorTo8BitRGBHigh : ConvertTrueColorTo4BitRGBHigh;
}

using TRows = std::vector<std::vector<TRefColor>>;  // in memory order

// A DIB of BitCount bits whose memory row m holds Pixel(x, m): a colour for
// 24 bits, else an index into Table. Height negative: top-down.
std::unique_ptr<TZrDIB> MemoryDIB(int BitCount, int Width, int Height, const std::function<unsigned(int, int)>& Pixel,
                                  const std::vector<TRefColor>& Table = {}) {
  const int h = std::abs(Height);
  auto dib = MakeDIB(BitCount, Width, Height, [&](int x, int y) { return Pixel(x, Height < 0 ? y : h - 1 - y); });
  for (std::size_t i = 0; i < Table.size(); ++i)
    dib->SetColors(static_cast<int>(i), static_cast<TColor>(RGB(Table[i].R, Table[i].G, Table[i].B)));
  return dib;
}

unsigned ColorRef(const TRefColor& c) { return RGB(c.R, c.G, c.B); }

int IndexAt(const TZrDIBData& Data, int x, int MemoryRow) {
  const auto& h = Data.BitmapInfo.bmiHeader;
  const auto stride = static_cast<std::size_t>((h.biWidth * h.biBitCount + 31) / 32 * 4);
  return GetIndex(std::span<const BYTE>(Data.Bits + MemoryRow * stride, stride), h.biBitCount, x);
}

std::vector<TRefColor> PaletteOf(const TZrDIBData& Data) {
  std::vector<TRefColor> out;
  for (DWORD i = 0; i < Data.BitmapInfo.bmiHeader.biClrUsed; ++i) {
    const RGBQUAD& q = Data.BitmapInfo.bmiColors[i];
    EXPECT_EQ(q.rgbReserved, 0);
    out.push_back({q.rgbRed, q.rgbGreen, q.rgbBlue});
  }
  return out;
}

constexpr TRefColor White{255, 255, 255}, Black{0, 0, 0};

TEST(DIBReduceTest, CasesWorkedByHand) {
  struct TCase {
    const char* Name;
    int Mode, Depth;
    std::function<TRefColor(int, int)> Pixel;  // of 7 x 5
    std::vector<TRefColor> Palette;
    std::map<TRefColor, int> IndexOf;
  } const cases[] = {
      {"black and white, even", 0, 8, [](int x, int y) { return (x + y) % 2 ? White : Black; }, {White, Black},
       {{White, 0}, {Black, 1}}},
      {"black and white, mostly black", 1, 8, [](int x, int) { return x % 4 ? Black : White; }, {White, Black},
       {{White, 0}, {Black, 1}}},
      {"black and white, mostly white", 0, 8, [](int x, int y) { return x == 3 && y == 2 ? Black : White; },
       {White, Black}, {{White, 0}, {Black, 1}}},
      {"black and white, High", 1, 8, [](int x, int) { return x < 5 ? White : Black; }, {White, Black},
       {{White, 0}, {Black, 1}}},
      {"one colour, Low", 0, 4, [](int, int) { return TRefColor{10, 20, 30}; }, {{10, 20, 30}}, {{{10, 20, 30}, 0}}},
      {"one colour, High", 1, 4, [](int, int) { return TRefColor{10, 20, 30}; }, {{10, 20, 30}}, {{{10, 20, 30}, 0}}},
      // One 5-6-5 cell: red 7 div 2 for both.
      {"shared cell", 0, 8, [](int x, int y) { return (x + y) % 2 ? TRefColor{7, 0, 0} : Black; }, {{3, 0, 0}},
       {{{7, 0, 0}, 0}, {Black, 0}}},
      // Each pixel its own item: red divides at 3.5, the upper side first.
      {"shared cell, High", 1, 8, [](int x, int y) { return (x + y) % 2 ? TRefColor{7, 0, 0} : Black; },
       {{7, 0, 0}, Black}, {{{7, 0, 0}, 0}, {Black, 1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    // 7 x 5 has 18 of one parity and 17 of the other.
    auto dib = MemoryDIB(24, 7, 5, [&](int x, int m) { return ColorRef(c.Pixel(x, m)); });
    int steps = 0;
    const TZrDIBData out = ReducerOf(c.Mode, c.Depth)(SourceOf(*dib->GetInternalDIB()), false, [&] { ++steps; });
    EXPECT_EQ(steps, 1 << c.Depth);
    EXPECT_EQ(out.BitmapInfo.bmiHeader.biBitCount, c.Depth);
    EXPECT_EQ(PaletteOf(out), c.Palette);
    for (int m = 0; m < 5; ++m)
      for (int x = 0; x < 7; ++x) ASSERT_EQ(IndexAt(out, x, m), c.IndexOf.at(c.Pixel(x, m))) << x << ", " << m;
  }

  // 8 bits to 16 colours: only the entries in use take part.
  std::vector<TRefColor> table(256, TRefColor{1, 2, 3});
  table[3] = White;
  table[200] = Black;
  auto indexed = MemoryDIB(8, 5, 3, [](int x, int) { return x % 2 ? 3u : 200u; }, table);
  int steps = 0;
  const TZrDIBData out = Convert8BitRGBTo4BitRGB(SourceOf(*indexed->GetInternalDIB()), false, [&] { ++steps; });
  EXPECT_EQ(steps, 16);
  EXPECT_EQ(PaletteOf(out), (std::vector<TRefColor>{White, Black}));
  // 200 3 200 3 200: indexes 1 0 1 0 1, packed high nibble first.
  EXPECT_EQ(out.Bits[0], 0x10);
  EXPECT_EQ(out.Bits[1], 0x10);
  EXPECT_EQ(out.Bits[2], 0x10);
}

TEST(DIBReduceTest, HalfToneCasesWorkedByHand) {
  const TRefColor grey{128, 128, 128};
  auto dib = MemoryDIB(24, 5, 2, [&](int, int) { return ColorRef(grey); });
  const TZrDIBData colour = ConvertToHalfTone(SourceOf(*dib->GetInternalDIB()), false);
  EXPECT_EQ(colour.BitmapInfo.bmiHeader.biClrUsed, 215u);
  EXPECT_EQ(IndexAt(colour, 0, 0), 122);  // (153, 128, 128), red error 25
  EXPECT_EQ(IndexAt(colour, 1, 0), 87);   // adjusted red 128 - 300 / 32 = 119
  const TZrDIBData bw = ConvertToHalfToneBW(SourceOf(*dib->GetInternalDIB()), false);
  EXPECT_EQ(bw.BitmapInfo.bmiHeader.biClrUsed, 2u);
  // White (sum exactly 384), black (81 each), white (158 each).
  EXPECT_EQ(bw.Bits[0] >> 5, 0b101);
  for (const auto& c : {std::pair{White, 209}, std::pair{Black, 0}}) {
    auto plain = MemoryDIB(24, 9, 4, [&](int, int) { return ColorRef(c.first); });
    const TZrDIBData out = ConvertToHalfTone(SourceOf(*plain->GetInternalDIB()), false);
    for (int m = 0; m < 4; ++m)
      for (int x = 0; x < 9; ++x) ASSERT_EQ(IndexAt(out, x, m), c.second);
  }
}

// Random pictures of three kinds: any colour, a few hundred colours, and a
// smooth ramp whose cells hold many pixels.
std::vector<TRefColor> RandomPixels(int Kind, int Count, std::mt19937& Random) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<TRefColor> few(300);
  for (auto& c : few) c = {byte(Random), byte(Random), byte(Random)};
  std::vector<TRefColor> out;
  for (int i = 0; i < Count; ++i) {
    if (Kind == 0)
      out.push_back({byte(Random), byte(Random), byte(Random)});
    else if (Kind == 1)
      out.push_back(few[byte(Random) % 300]);
    else
      out.push_back({i % 256, (i * 3) % 256 / 2, 255 - i % 200});
  }
  return out;
}

TEST(DIBReduceTest, RandomPicturesMatchTheIndependentReckoning) {
  std::mt19937 random(12345);
  constexpr int W = 23, H = 19;
  for (int kind = 0; kind < 3; ++kind) {
    const auto pixels = RandomPixels(kind, W * H, random);
    // The same rows in another order.
    std::vector<int> order(H);
    for (int m = 0; m < H; ++m) order[m] = m;
    std::shuffle(order.begin(), order.end(), random);
    for (int mode = 0; mode < 2; ++mode) {
      for (const int depth : {4, 8}) {
        SCOPED_TRACE(testing::Message() << "kind " << kind << " mode " << mode << " depth " << depth);
        const TRefReduced expected = mode == 0 ? RefLow(pixels, depth) : RefHigh(pixels, depth);
        auto dib = MemoryDIB(24, W, kind == 1 ? -H : H, [&](int x, int m) { return ColorRef(pixels[m * W + x]); });
        const TZrDIBData out = ReducerOf(mode, depth)(SourceOf(*dib->GetInternalDIB()), false, {});
        const auto palette = PaletteOf(out);
        EXPECT_EQ(palette, expected.Palette);
        EXPECT_LE(palette.size(), std::size_t{1} << depth);
        for (int m = 0; m < H; ++m)
          for (int x = 0; x < W; ++x) {
            ASSERT_LT(IndexAt(out, x, m), static_cast<int>(palette.size()));
            ASSERT_EQ(IndexAt(out, x, m), expected.Index[m * W + x]) << x << ", " << m;
          }

        auto shuffled = MemoryDIB(24, W, H, [&](int x, int m) { return ColorRef(pixels[order[m] * W + x]); });
        const TZrDIBData again = ReducerOf(mode, depth)(SourceOf(*shuffled->GetInternalDIB()), false, {});
        auto sorted = palette, sortedAgain = PaletteOf(again);
        std::sort(sorted.begin(), sorted.end());
        std::sort(sortedAgain.begin(), sortedAgain.end());
        EXPECT_EQ(sortedAgain, sorted);
        for (int m = 0; m < H; ++m)
          for (int x = 0; x < W; ++x)
            ASSERT_EQ(PaletteOf(again)[IndexAt(again, x, m)], palette[IndexAt(out, x, order[m])]);
      }
    }
  }

  // 8 bits to 16 colours: one weighted item per colour-table entry in use.
  std::vector<TRefColor> table = RandomPixels(0, 256, random);
  std::uniform_int_distribution<int> index(0, 99);
  std::vector<int> indexes(W * H);
  for (auto& i : indexes) i = index(random) * 2;  // every other entry, 100 in use
  std::vector<TRefItem> items;
  for (int i = 0; i < 256; ++i) {
    const auto n = std::count(indexes.begin(), indexes.end(), i);
    if (n) items.push_back({table[i], n, i});
  }
  std::vector<TRefColor> palette;
  std::vector<int> map(256, -1);
  RefDivide(items, 4, 0, palette, map);
  auto dib = MemoryDIB(8, W, H, [&](int x, int m) { return static_cast<unsigned>(indexes[m * W + x]); }, table);
  const TZrDIBData out = Convert8BitRGBTo4BitRGB(SourceOf(*dib->GetInternalDIB()), false, {});
  EXPECT_EQ(PaletteOf(out), palette);
  for (int m = 0; m < H; ++m)
    for (int x = 0; x < W; ++x) ASSERT_EQ(IndexAt(out, x, m), map[indexes[m * W + x]]) << x << ", " << m;
}

// Large enough for the passes that use both cores.
TEST(DIBReduceTest, LargePicturesMatchTheIndependentReckoning) {
  std::mt19937 random(2024);
  constexpr int W = 640, H = 480;
  // Any colours; and three 5-6-5 cells of about 100,000 pixels each, their
  // low bits all set in the first rows, so that every pixel counts in a mean.
  std::vector<TRefColor> crowded;
  for (int i = 0; i < W * H; ++i) {
    const int cell = static_cast<int>(random() % 3), low = i < W * 100 ? 255 : static_cast<int>(random() % 256);
    crowded.push_back({cell * 80 + low % 8, cell * 40 + (low >> 3) % 4, 200 - cell * 64 + (low >> 5) % 8});
  }
  for (const auto& [pixels, mode, depth] : {std::tuple{RandomPixels(0, W * H, random), 1, 8},
                                            std::tuple{RandomPixels(0, W * H, random), 0, 8},
                                            std::tuple{RandomPixels(0, W * H, random), 1, 4},
                                            std::tuple{crowded, 0, 8}, std::tuple{crowded, 1, 4}}) {
    SCOPED_TRACE(testing::Message() << "mode " << mode << " depth " << depth);
    auto dib = MemoryDIB(24, W, H, [&, &p = pixels](int x, int m) { return ColorRef(p[m * W + x]); });
    const TRefReduced expected = mode == 0 ? RefLow(pixels, depth) : RefHigh(pixels, depth);
    const TZrDIBData out = ReducerOf(mode, depth)(SourceOf(*dib->GetInternalDIB()), false, {});
    EXPECT_EQ(PaletteOf(out), expected.Palette);
    int wrong = 0;
    for (int m = 0; m < H; ++m)
      for (int x = 0; x < W; ++x) wrong += IndexAt(out, x, m) != expected.Index[m * W + x];
    EXPECT_EQ(wrong, 0);
  }
}

TEST(DIBReduceTest, HalfToneOfRandomPicturesMatchesTheIndependentReckoning) {
  std::mt19937 random(777);
  constexpr int W = 21, H = 9;
  const std::vector<TRefColor> table = RandomPixels(0, 256, random);
  for (const int bits : {1, 4, 8, 24}) {
    for (const int height : {H, -H}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, height " << height);
      std::uniform_int_distribution<unsigned> value(0, bits == 24 ? 0xFFFFFF : (1u << bits) - 1);
      std::vector<unsigned> raw(W * H);
      for (auto& v : raw) v = value(random);
      TRows rows(H, std::vector<TRefColor>(W));
      for (int m = 0; m < H; ++m)
        for (int x = 0; x < W; ++x) {
          const unsigned v = raw[m * W + x];
          rows[m][x] = bits == 24 ? TRefColor{static_cast<int>(GetRValue(v)), static_cast<int>(GetGValue(v)),
                                              static_cast<int>(GetBValue(v))}
                                  : table[v];
        }
      auto dib = MemoryDIB(bits, W, height, [&](int x, int m) { return raw[m * W + x]; },
                           bits == 24 ? std::vector<TRefColor>{} : table);
      const TZrDIBSource source = SourceOf(*dib->GetInternalDIB());
      const TZrDIBData colour = ConvertToHalfTone(source, false);
      const TZrDIBData bw = ConvertToHalfToneBW(source, false);
      const auto expectedColour = RefHalfTone(rows, true), expectedBW = RefHalfTone(rows, false);
      for (int m = 0; m < H; ++m) {
        for (int x = 0; x < W; ++x) {
          ASSERT_EQ(IndexAt(colour, x, m), expectedColour[m][x]) << x << ", " << m;
          ASSERT_LE(IndexAt(colour, x, m), 209);
          ASSERT_EQ(IndexAt(bw, x, m), expectedBW[m][x]) << x << ", " << m;
        }
        EXPECT_EQ(bw.Bits[m * 4 + 2] & 0x07, 0);  // spare bits of the 21-pixel row
      }
      EXPECT_EQ(colour.BitmapInfo.bmiHeader.biHeight, height);
      const auto palette = PaletteOf(colour);
      ASSERT_EQ(palette.size(), 215u);
      for (int i = 0; i < 210; ++i) EXPECT_EQ(palette[i], RefHalfToneColor(i)) << i;
      const std::vector<TRefColor> extras = {{128, 0, 0}, {128, 128, 0}, {128, 0, 128}, {192, 192, 192}, {128, 128, 128}};
      EXPECT_EQ(std::vector<TRefColor>(palette.begin() + 210, palette.end()), extras);
      EXPECT_EQ(PaletteOf(bw), (std::vector<TRefColor>{Black, White}));
    }
  }
}

// The tree DivideColors builds leads every pixel it was built from to a leaf
// it wrote, in exactly Depth steps.
TEST(DIBReduceTest, EveryPixelReachesAWrittenLeaf) {
  std::mt19937 random(99);
  for (int kind = 0; kind < 3; ++kind) {
    for (const int depth : {4, 8}) {
      const auto colors = RandomPixels(kind, 3000, random);
      std::vector<TZrPackedColor> pixels;
      for (const auto& c : colors)
        pixels.push_back(PackColor(static_cast<BYTE>(c.R), static_cast<BYTE>(c.G), static_cast<BYTE>(c.B)));
      TDivideTree tree;
      TZrDividedPalette palette;
      int steps = 0;
      DivideColors(pixels, depth, tree, palette, [&] { ++steps; });
      EXPECT_EQ(steps, 1 << depth);
      EXPECT_LE(tree.Count, (2 << depth) - 1);
      for (const auto& c : colors) {
        std::int32_t node = 0;
        int level = 0;
        for (; tree.Nodes[node].DivideID != 3; ++level) {
          const TDivideNode& n = tree.Nodes[node];
          ASSERT_LE(n.DivideID, 2);
          const int value = n.DivideID == 0 ? c.R : n.DivideID == 1 ? c.G : c.B;
          node = value <= n.Threshold ? n.LowerChild : n.UpperChild;
          ASSERT_GT(node, 0);
          ASSERT_LT(node, tree.Count);
        }
        ASSERT_EQ(level, depth);
        ASSERT_LT(tree.Nodes[node].PaletteIndex, palette.Count);
      }
    }
  }
}

// The High method copies every pixel of any picture a 24-bit storage holds:
// past 2^29 pixels too. Its copy is the first thing it asks of the heap, so the
// probe stops it before the made-up pixels behind the header are read.
TEST(DIBReduceTest, HighMethodCopiesPicturesPast512MegaPixels) {
  constexpr LONG width = 23170, height = 23171;  // 536,872,070 pixels, 1,610,662,952 bytes
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  BYTE pixel[3] = {};
  const TZrDIBSource source{&info, pixel, static_cast<std::int32_t>(DIBStride(24, width) * height)};
  constexpr std::size_t pixels = std::size_t{width} * height;
  const TLargeAllocationProbe probe(pixels);
  try {
    (void)ConvertTrueColorTo4BitRGBHigh(source, false, {});
    ADD_FAILURE() << "no copy made";
  } catch (const TLargeAllocation& a) {
    EXPECT_GE(a.Size, 3 * pixels);
  } catch (const Exception& e) {
    ADD_FAILURE() << e.Message();
  }
}

TEST(DIBReduceTest, NoSumWrapsAndNoScratchIsUnchecked) {
  // 700 million pixels of red 7 in cell 0 add up past 2^32.
  const TColorCell cell = LowCellOf(0, TZrLowCell{7ull * 700'000'000, 3ull * 700'000'000, 0, 700'000'000});
  EXPECT_EQ(cell.Red, 7);
  EXPECT_EQ(cell.Green, 3);
  EXPECT_EQ(cell.Count, 700'000'000);
  // Error rows of the widest 1-bit row, reckoned in 64 bits.
  const std::int64_t widest = (std::int64_t{0x7FFFFFFF} + 2) * 6;
  ExpectRaises<EOutOfMemory>([&] { TZrScratch<std::int16_t>(widest, "ConvertToHalfToneBW"); },
                             "ConvertToHalfToneBW: Image Too Large");
  TDivideTree tree;
  tree.Nodes[0].DivideID = 4;
  ExpectRaises<EAssertionFailed>([&] { TZrColorClassifier(tree, 8, "ConvertTrueColorTo8BitRGBHigh"); },
                                 "ConvertTrueColorTo8BitRGBHigh: Invalid DivideID");
}

}  // namespace
