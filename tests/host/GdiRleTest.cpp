#include <gtest/gtest.h>

#include <random>

#include "host/Gdi.h"
#include "tests/host/GdiTestSupport.h"

namespace {

using gdi_test::RleDib;
using gdi_test::TestRgb;
using gdi_test::TMemorySurface;

constexpr int Bg = 99;  // what the surface holds before drawing

std::vector<int> DrawRle(int width, int height, int bits, std::vector<BYTE> stream, int scale = 1) {
  const auto dib = RleDib(width, height, bits, std::move(stream));
  TMemorySurface surface(width * scale, height * scale, 8);
  surface.Fill(TestRgb(Bg));
  EXPECT_EQ(dib.DrawTo(surface.Dc, 0, 0, width * scale, height * scale), height);
  return surface.Indexes();
}

TEST(StretchDIBitsRle, Rle8RunsAbsoluteDeltaAndSkippedPixels) {
  const std::vector<BYTE> stream = {0x04, 0x05, 0x00, 0x00,              // bottom row: run of four 5s
                                    0x00, 0x03, 0x01, 0x02, 0x03, 0x00,  // absolute 1 2 3, padded
                                    0x01, 0x09, 0x00, 0x00,              // one 9, end of line
                                    0x00, 0x02, 0x02, 0x00, 0x02, 0x07,  // skip two, two 7s
                                    0x00, 0x01};                         // end of bitmap
  EXPECT_EQ(DrawRle(4, 3, 8, stream), (std::vector<int>{Bg, Bg, 7, 7, 1, 2, 3, 9, 5, 5, 5, 5}));
}

TEST(StretchDIBitsRle, Rle4NibblesAlternateAndAbsoluteRunsArePadded) {
  const std::vector<BYTE> stream = {0x00, 0x05, 0x12, 0x34, 0x50, 0x00,  // absolute 1 2 3 4 5: three bytes and a pad
                                    0x01, 0xF0, 0x00, 0x00,              // one 15
                                    0x06, 0x12, 0x00, 0x01};             // 1 2 1 2 1 2
  EXPECT_EQ(DrawRle(6, 2, 4, stream), (std::vector<int>{1, 2, 1, 2, 1, 2, 1, 2, 3, 4, 5, 15}));
}

TEST(StretchDIBitsRle, StretchedRleKeepsSkippedPixels) {
  const std::vector<BYTE> stream = {0x00, 0x02, 0x01, 0x00, 0x01, 0x04, 0x00, 0x01};
  EXPECT_EQ(DrawRle(2, 1, 8, stream, 2), (std::vector<int>{Bg, Bg, 4, 4, Bg, Bg, 4, 4}));
}

TEST(StretchDIBitsRle, RleOntoTwentyFourBits) {
  const auto dib = RleDib(2, 1, 8, {0x01, 0x03, 0x01, 0x08, 0x00, 0x01});
  TMemorySurface surface(2, 1, 24);
  dib.DrawTo(surface.Dc, 0, 0, 2, 1);
  EXPECT_EQ(GetPixel(surface.Dc, 0, 0), TestRgb(3));
  EXPECT_EQ(GetPixel(surface.Dc, 1, 0), TestRgb(8));
}

TEST(StretchDIBitsRle, TruncatedStreamsDrawWhatCameBefore) {
  const std::vector<BYTE> full = {0x00, 0x04, 0x01, 0x02, 0x03, 0x04, 0x00, 0x00,
                                  0x00, 0x04, 0x05, 0x06, 0x07, 0x08, 0x00, 0x01};
  const std::vector<int> bottomOnly = {Bg, Bg, Bg, Bg, 1, 2, 3, 4};
  // Cut inside the absolute run of the top row, inside its pair, and right after the bottom row.
  for (const std::size_t cut : {12u, 11u, 9u, 8u}) {
    const std::vector<BYTE> stream(full.begin(), full.begin() + static_cast<long>(cut));
    EXPECT_EQ(DrawRle(4, 2, 8, stream), bottomOnly) << cut;
  }
  // biSizeImage bounds the stream even when more bytes follow it.
  auto dib = RleDib(4, 2, 8, full);
  dib.Info->bmiHeader.biSizeImage = 8;
  TMemorySurface surface(4, 2, 8);
  surface.Fill(TestRgb(Bg));
  dib.DrawTo(surface.Dc, 0, 0, 4, 2);
  EXPECT_EQ(surface.Indexes(), bottomOnly);
  EXPECT_EQ(DrawRle(4, 2, 8, {0x00, 0x02, 0x01}), std::vector<int>(8, Bg));  // a delta without its offsets
}

TEST(StretchDIBitsRle, RunsAndDeltasPastThePictureAreCut) {
  // A run of 200 in a row of 4 does not spill into the next row.
  EXPECT_EQ(DrawRle(4, 2, 8, {0xC8, 0x03, 0x00, 0x00, 0x02, 0x04, 0x00, 0x01}),
            (std::vector<int>{4, 4, Bg, Bg, 3, 3, 3, 3}));
  // Nor does a long absolute run.
  EXPECT_EQ(DrawRle(4, 1, 8, {0x00, 0x06, 1, 2, 3, 4, 5, 6, 0x00, 0x01}), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(DrawRle(3, 1, 4, {0x00, 0x07, 0x12, 0x34, 0x56, 0x70, 0x00, 0x01}), (std::vector<int>{1, 2, 3}));
  // A delta far right draws nothing on its row; one far up ends the picture.
  const std::vector<BYTE> stream = {0x00, 0x02, 0xFF, 0x00, 0x04, 0x07, 0x00, 0x00, 0x01,
                                    0x08, 0x00, 0x02, 0x00, 0x05, 0x04, 0x06, 0x00, 0x01};
  EXPECT_EQ(DrawRle(4, 2, 8, stream), (std::vector<int>{8, Bg, Bg, Bg, Bg, Bg, Bg, Bg}));
}

TEST(StretchDIBitsRle, ArbitraryStreamsStayInsideTheirBounds) {
  // Whatever the bytes, reading stops at biSizeImage (the sanitizer watches the
  // exact-size buffer) and only the destination rectangle changes.
  std::mt19937 random(1234);
  for (int round = 0; round < 300; ++round) {
    const int bits = round % 2 ? 4 : 8;
    const int width = 1 + static_cast<int>(random() % 9), height = 1 + static_cast<int>(random() % 9);
    std::vector<BYTE> stream(1 + random() % 64);
    for (auto& b : stream) b = static_cast<BYTE>(random() % 4 == 0 ? random() % 3 : random());
    const auto dib = RleDib(width, height, bits, std::move(stream));
    TMemorySurface surface(width + 4, height + 4, 8);
    surface.Fill(TestRgb(Bg));
    ASSERT_EQ(dib.DrawTo(surface.Dc, 2, 2, width, height), height);
    for (int y = 0; y < height + 4; ++y)
      for (int x = 0; x < width + 4; ++x)
        if (x < 2 || y < 2 || x >= width + 2 || y >= height + 2) {
          ASSERT_EQ(surface.Index(x, y), Bg) << round;
        }
  }
}

}  // namespace
