#include <gtest/gtest.h>

#include "host/Gdi.h"
#include "tests/host/GdiTestSupport.h"

namespace {

using gdi_test::TDib;
using gdi_test::TestColor;
using gdi_test::TestRgb;
using gdi_test::TMemorySurface;

// A 2 x 2 picture 1 2 / 3 4 (rows from the top), stored as asked.
TDib Square(bool topDown) {
  TDib dib(2, topDown ? -2 : 2, 8);
  dib.Set8(0, 0, 1);
  dib.Set8(1, 0, 2);
  dib.Set8(0, 1, 3);
  dib.Set8(1, 1, 4);
  return dib;
}

TEST(StretchDIBits, EightBitDoubledInBlocksWhateverTheRowOrder) {
  const std::vector<int> doubled = {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4};
  for (const bool topDown : {false, true}) {
    TMemorySurface surface(4, 4, 8);
    EXPECT_EQ(Square(topDown).DrawTo(surface.Dc, 0, 0, 4, 4), 2);
    EXPECT_EQ(surface.Indexes(), doubled) << "top-down " << topDown;
  }
  // A top-down surface receives the same picture.
  TMemorySurface topDownSurface(4, -4, 8);
  Square(false).DrawTo(topDownSurface.Dc, 0, 0, 4, 4);
  EXPECT_EQ(topDownSurface.Indexes(), doubled);
}

TEST(StretchDIBits, BottomUpRowsInMemoryStartAtTheBottom) {
  TDib dib(1, 2, 8);
  dib.Bits[0] = 7;  // first row in memory
  dib.Bits[4] = 9;
  TMemorySurface surface(1, 2, 8);
  dib.DrawTo(surface.Dc, 0, 0, 1, 2);
  EXPECT_EQ(surface.Index(0, 0), 9);
  EXPECT_EQ(surface.Index(0, 1), 7);
}

TEST(StretchDIBits, NegativeExtentsMirror) {
  const TDib dib = Square(false);
  TMemorySurface across(2, 2, 8), upDown(2, 2, 8), both(2, 2, 8);
  EXPECT_EQ(dib.DrawTo(across.Dc, 2, 0, -2, 2), 2);
  EXPECT_EQ(across.Indexes(), (std::vector<int>{2, 1, 4, 3}));
  dib.DrawTo(upDown.Dc, 0, 2, 2, -2);
  EXPECT_EQ(upDown.Indexes(), (std::vector<int>{3, 4, 1, 2}));
  dib.DrawTo(both.Dc, 2, 2, -2, -2);
  EXPECT_EQ(both.Indexes(), (std::vector<int>{4, 3, 2, 1}));
  // A negative source extent mirrors as well, and cancels a negative destination one.
  TMemorySurface cancelled(2, 2, 8);
  StretchDIBits(cancelled.Dc, 2, 0, -2, 2, 2, 0, -2, 2, dib.Bits.data(), dib.Info.get(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(cancelled.Indexes(), (std::vector<int>{1, 2, 3, 4}));
}

TEST(StretchDIBits, NearestNeighbourAtPixelCentres) {
  TDib row(4, 1, 8);
  for (int x = 0; x < 4; ++x) row.Set8(x, 0, static_cast<BYTE>(10 + x));
  TMemorySurface shrunk(2, 1, 8);
  row.DrawTo(shrunk.Dc, 0, 0, 2, 1);
  EXPECT_EQ(shrunk.Indexes(), (std::vector<int>{11, 13}));

  TDib three(3, 1, 8);
  for (int x = 0; x < 3; ++x) three.Set8(x, 0, static_cast<BYTE>(20 + x));
  TMemorySurface five(5, 1, 8);
  three.DrawTo(five.Dc, 0, 0, 5, 1);
  EXPECT_EQ(five.Indexes(), (std::vector<int>{20, 20, 21, 22, 22}));
}

TEST(StretchDIBits, SourceRectangleCountsFromTheBottomOfABottomUpDib) {
  for (const bool topDown : {false, true}) {
    TDib dib(4, topDown ? -4 : 4, 8);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) dib.Set8(x, y, static_cast<BYTE>(10 * y + x));
    TMemorySurface surface(2, 1, 8);
    // Source rows 1..1 in memory order.
    EXPECT_EQ(
        StretchDIBits(surface.Dc, 0, 0, 2, 1, 1, 1, 2, 1, dib.Bits.data(), dib.Info.get(), DIB_RGB_COLORS, SRCCOPY), 1);
    const int pictureRow = topDown ? 1 : 2;
    EXPECT_EQ(surface.Indexes(), (std::vector<int>{10 * pictureRow + 1, 10 * pictureRow + 2})) << topDown;
  }
}

TEST(StretchDIBits, SourceRectanglePartlyOutsideDrawsOnlyWhatExists) {
  TDib dib(2, -2, 8);
  dib.Set8(0, 0, 5);
  dib.Set8(1, 0, 6);
  dib.Set8(0, 1, 7);
  dib.Set8(1, 1, 8);
  TMemorySurface surface(3, 3, 8);
  surface.Fill(TestRgb(99));
  EXPECT_EQ(StretchDIBits(surface.Dc, 0, 0, 3, 3, 1, 1, 3, 3, dib.Bits.data(), dib.Info.get(), DIB_RGB_COLORS, SRCCOPY),
            1);
  EXPECT_EQ(surface.Indexes(), (std::vector<int>{8, 99, 99, 99, 99, 99, 99, 99, 99}));
}

TEST(StretchDIBits, ClipsToTheSurface) {
  const TDib dib = Square(true);
  TMemorySurface surface(3, 3, 8);
  surface.Fill(TestRgb(50));
  EXPECT_EQ(dib.DrawTo(surface.Dc, 1, 1, 4, 4), 2);
  EXPECT_EQ(surface.Indexes(), (std::vector<int>{50, 50, 50, 50, 1, 1, 50, 1, 1}));
  EXPECT_EQ(dib.DrawTo(surface.Dc, -3, -3, 4, 4), 2);
  EXPECT_EQ(surface.Index(0, 0), 4);
  // Wholly outside: nothing changes, and the call still succeeds.
  EXPECT_EQ(dib.DrawTo(surface.Dc, 10, 10, 4, 4), 2);
  EXPECT_EQ(dib.DrawTo(surface.Dc, -1000000, 0, 4, 4), 2);
  EXPECT_EQ(surface.Index(2, 2), 1);
}

TEST(StretchDIBits, OneBitSourceAcrossByteBoundaries) {
  TDib dib(10, -2, 1);
  for (int x = 0; x < 10; ++x) dib.Set1(x, 0, x % 3 == 0);
  dib.Set1(9, 1, true);
  TMemorySurface surface(10, 2, 8);
  EXPECT_EQ(dib.DrawTo(surface.Dc, 0, 0, 10, 2), 2);
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(surface.Index(x, 0), x % 3 == 0 ? 1 : 0) << x;
    EXPECT_EQ(surface.Index(x, 1), x == 9 ? 1 : 0) << x;
  }
}

TEST(StretchDIBits, FourBitSourceHighNibbleFirst) {
  TDib dib(3, 1, 4);
  dib.Set4(0, 0, 15);
  dib.Set4(1, 0, 2);
  dib.Set4(2, 0, 9);
  TMemorySurface surface(6, 1, 8);
  dib.DrawTo(surface.Dc, 0, 0, 6, 1);
  EXPECT_EQ(surface.Indexes(), (std::vector<int>{15, 15, 2, 2, 9, 9}));
}

TEST(StretchDIBits, TwentyFourBitSourceOntoTwentyFourAndOntoAPalette) {
  TDib dib(2, 1, 24);
  dib.Set24(0, 0, RGB(1, 2, 3));
  dib.Set24(1, 0, RGB(200, 100, 50));
  TMemorySurface rgb(4, 1, 24);
  EXPECT_EQ(dib.DrawTo(rgb.Dc, 0, 0, 4, 1), 1);
  EXPECT_EQ(GetPixel(rgb.Dc, 0, 0), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(rgb.Dc, 1, 0), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(rgb.Dc, 2, 0), RGB(200, 100, 50));
  EXPECT_EQ(GetPixel(rgb.Dc, 3, 0), RGB(200, 100, 50));

  // The palette's own colours, slightly off, find their entries.
  TDib near(2, 1, 24);
  const RGBQUAD a = TestColor(40), b = TestColor(201);
  near.Set24(0, 0, RGB(a.rgbRed + 1, a.rgbGreen, a.rgbBlue));
  near.Set24(1, 0, RGB(b.rgbRed, b.rgbGreen - 1, b.rgbBlue));
  TMemorySurface paletted(2, 1, 8);
  near.DrawTo(paletted.Dc, 0, 0, 2, 1);
  EXPECT_EQ(paletted.Indexes(), (std::vector<int>{40, 201}));
  EXPECT_EQ(GetPixel(paletted.Dc, 1, 0), TestRgb(201));
}

TEST(StretchDIBits, EightBitOntoTwentyFourTakesTheColourTable) {
  const TDib dib = Square(false);
  TMemorySurface rgb(4, 4, 24);
  dib.DrawTo(rgb.Dc, 0, 0, 4, 4);
  const int expected[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {3, 3, 4, 4}, {3, 3, 4, 4}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(GetPixel(rgb.Dc, x, y), TestRgb(expected[y][x])) << x << "," << y;
}

TEST(StretchDIBits, SourceColoursGoToTheNearestEntryOfTheSurfacesTable) {
  // The source's entry 3 is the surface's entry 200 give or take; entry 4 is far from all but 17.
  TDib dib(2, 1, 8, 8);
  const RGBQUAD target = TestColor(200), other = TestColor(17);
  dib.Info->bmiColors[3] = {static_cast<BYTE>(target.rgbBlue + 2), target.rgbGreen, target.rgbRed, 0};
  dib.Info->bmiColors[4] = {other.rgbBlue, static_cast<BYTE>(other.rgbGreen - 3), other.rgbRed, 0};
  dib.Set8(0, 0, 3);
  dib.Set8(1, 0, 4);
  TMemorySurface surface(2, 1, 8);
  dib.DrawTo(surface.Dc, 0, 0, 2, 1);
  EXPECT_EQ(surface.Indexes(), (std::vector<int>{200, 17}));

  // A colour the surface holds twice goes to its first entry.
  std::vector<RGBQUAD> twice(8, RGBQUAD{0, 0, 0, 0});
  for (int i = 0; i < 8; ++i) twice[i] = TestColor(i + 100);
  twice[6] = twice[2] = TestColor(3);
  TMemorySurface repeated(1, 1, 8, twice);
  TDib exact(1, 1, 8, 8);
  exact.Set8(0, 0, 3);
  exact.DrawTo(repeated.Dc, 0, 0, 1, 1);
  EXPECT_EQ(repeated.Index(0, 0), 2);

  // Onto a two-colour surface: dark to black, light to white.
  TMemorySurface mono(2, 1, 1, {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}});
  TDib grey(2, 1, 8, 2);
  grey.Info->bmiColors[0] = {30, 30, 30, 0};
  grey.Info->bmiColors[1] = {220, 230, 240, 0};
  grey.Set8(1, 0, 1);
  grey.DrawTo(mono.Dc, 0, 0, 2, 1);
  EXPECT_EQ(GetPixel(mono.Dc, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(mono.Dc, 1, 0), RGB(255, 255, 255));
}

TEST(StretchDIBits, OntoPackedSurfaces) {
  const TDib dib = Square(false);
  TMemorySurface four(5, 2, 4);
  dib.DrawTo(four.Dc, 1, 0, 4, 2);
  const int expected[2][5] = {{0, 1, 1, 2, 2}, {0, 3, 3, 4, 4}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(GetPixel(four.Dc, x, y), TestRgb(expected[y][x])) << x << "," << y;
}

TEST(StretchDIBits, IntegerEnlargementOfALargePicture) {
  TDib dib(256, 256, 8);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) dib.Set8(x, y, static_cast<BYTE>(x ^ (y * 3)));
  TMemorySurface surface(512, 512, 8);
  ASSERT_EQ(dib.DrawTo(surface.Dc, 0, 0, 512, 512), 256);
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) ASSERT_EQ(surface.Index(x, y), ((x / 2) ^ ((y / 2) * 3)) & 0xFF) << x << "," << y;
}

TEST(StretchDIBits, RefusesWhatItCannotDrawAndDrawsNothing) {
  struct TCase {
    const char* Name;
    void (*Spoil)(TDib&);
  };
  const TCase cases[] = {
      {"core header size", [](TDib& d) { d.Info->bmiHeader.biSize = 12; }},
      {"larger header", [](TDib& d) { d.Info->bmiHeader.biSize = 108; }},
      {"16 bits", [](TDib& d) { d.Info->bmiHeader.biBitCount = 16; }},
      {"32 bits", [](TDib& d) { d.Info->bmiHeader.biBitCount = 32; }},
      {"RLE4 with 8 bits", [](TDib& d) { d.Info->bmiHeader.biCompression = BI_RLE4; }},
      {"bit fields", [](TDib& d) { d.Info->bmiHeader.biCompression = BI_BITFIELDS; }},
      {"width 0", [](TDib& d) { d.Info->bmiHeader.biWidth = 0; }},
      {"negative width", [](TDib& d) { d.Info->bmiHeader.biWidth = -2; }},
      {"height 0", [](TDib& d) { d.Info->bmiHeader.biHeight = 0; }},
      {"overflowing size", [](TDib& d) { d.Info->bmiHeader.biWidth = d.Info->bmiHeader.biHeight = 0x7FFFFFFF; }},
      {"pixels past 2 GiB",
       [](TDib& d) {
         d.Info->bmiHeader.biWidth = 100000;
         d.Info->bmiHeader.biHeight = 100000;
         d.Info->bmiHeader.biBitCount = 24;
       }},
      {"RLE8 with 4 bits",
       [](TDib& d) {
         d.Info->bmiHeader.biBitCount = 4;
         d.Info->bmiHeader.biCompression = BI_RLE8;
         d.Info->bmiHeader.biSizeImage = 2;
       }},
      {"height of INT_MIN", [](TDib& d) { d.Info->bmiHeader.biHeight = static_cast<LONG>(0x80000000u); }},
      {"RLE8 without a length", [](TDib& d) { d.Info->bmiHeader.biCompression = BI_RLE8; }},
      {"top-down RLE8",
       [](TDib& d) {
         d.Info->bmiHeader.biCompression = BI_RLE8;
         d.Info->bmiHeader.biSizeImage = 2;
         d.Info->bmiHeader.biHeight = -2;
       }},
  };
  for (const auto& c : cases) {
    TDib dib = Square(false);
    c.Spoil(dib);
    TMemorySurface surface(4, 4, 8);
    surface.Fill(TestRgb(77));
    EXPECT_EQ(
        StretchDIBits(surface.Dc, 0, 0, 4, 4, 0, 0, 2, 2, dib.Bits.data(), dib.Info.get(), DIB_RGB_COLORS, SRCCOPY), 0)
        << c.Name;
    EXPECT_EQ(surface.Indexes(), std::vector<int>(16, 77)) << c.Name;
  }
  const TDib dib = Square(false);
  TMemorySurface surface(4, 4, 8);
  EXPECT_EQ(StretchDIBits(surface.Dc, 0, 0, 4, 4, 0, 0, 2, 2, nullptr, dib.Info.get(), DIB_RGB_COLORS, SRCCOPY), 0);
  EXPECT_EQ(StretchDIBits(surface.Dc, 0, 0, 4, 4, 0, 0, 2, 2, dib.Bits.data(), nullptr, DIB_RGB_COLORS, SRCCOPY), 0);
  EXPECT_EQ(StretchDIBits(surface.Dc, 0, 0, 4, 4, 0, 0, 2, 2, dib.Bits.data(), dib.Info.get(), 1, SRCCOPY), 0);
  EXPECT_EQ(StretchDIBits(surface.Dc, 0, 0, 0, 4, 0, 0, 2, 2, dib.Bits.data(), dib.Info.get(), DIB_RGB_COLORS, SRCCOPY),
            0);
  EXPECT_EQ(StretchDIBits(surface.Dc, 0, 0, 4, 4, 0, 0, 2, 0, dib.Bits.data(), dib.Info.get(), DIB_RGB_COLORS, SRCCOPY),
            0);
  EXPECT_EQ(StretchDIBits(surface.Dc, 0, 0, static_cast<int>(0x80000000u), 4, 0, 0, 2, 2, dib.Bits.data(),
                          dib.Info.get(), DIB_RGB_COLORS, SRCCOPY),
            0);
  EXPECT_EQ(
      StretchDIBits(HDC{{424242}}, 0, 0, 4, 4, 0, 0, 2, 2, dib.Bits.data(), dib.Info.get(), DIB_RGB_COLORS, SRCCOPY),
      0);
}

TEST(StretchDIBits, ReadsOnlyTheColoursTheHeaderCarries) {
  // A colour table of 2 in a block that ends right after it: entries past it must not be read.
  const std::size_t size = sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD);
  std::vector<BYTE> block(size);
  BITMAPINFOHEADER h;
  h.biSize = sizeof h;
  h.biWidth = 2;
  h.biHeight = 1;
  h.biPlanes = 1;
  h.biBitCount = 8;
  h.biClrUsed = 2;
  std::memcpy(block.data(), &h, sizeof h);
  const RGBQUAD colors[2] = {TestColor(5), TestColor(6)};
  std::memcpy(block.data() + sizeof h, colors, sizeof colors);
  const std::vector<BYTE> bits = {1, 0, 0, 0};
  TMemorySurface surface(2, 1, 8);
  EXPECT_EQ(StretchDIBits(surface.Dc, 0, 0, 2, 1, 0, 0, 2, 1, bits.data(),
                          reinterpret_cast<const BITMAPINFO*>(block.data()), DIB_RGB_COLORS, SRCCOPY),
            1);
  EXPECT_EQ(surface.Indexes(), (std::vector<int>{6, 5}));
}

}  // namespace
