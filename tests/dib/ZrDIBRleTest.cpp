// The RLE8 and RLE4 codecs: exact encodings, decoding of hand-built data and
// its refusals, and decode(encode(image)) over random images.

#include <random>
#include <string>

#include "tests/dib/ConvertTestSupport.h"

namespace {

struct TDecodeCase {
  const char* Name;
  int BitCount;
  int Width;
  int Height;
  TBytes Data;
  TBytes Pixels;           // expected, in memory order; unused when Error is set
  const char* Error = "";  // message of EZrDIBInvalidDIB
};

TEST(DIBRleTest, DecodesHandBuiltData) {
  const TDecodeCase cases[] = {
      {"delta then run", 8, 7, 2, {0, 2, 5, 1, 2, 9, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 9, 0}},
      {"full row, end of line to the top", 8, 4, 1, {4, 7, 0, 0, 0, 1}, {7, 7, 7, 7}},
      {"absolute with pad", 8, 4, 2, {0, 3, 1, 2, 3, 0, 0, 0, 1, 5, 0, 1}, {1, 2, 3, 0, 5, 0, 0, 0}},
      {"delta to the top", 8, 4, 1, {0, 2, 4, 1, 0, 1}, {0, 0, 0, 0}},
      {"run past the width", 8, 4, 1, {5, 1, 0, 1}, {}, "Convert8BitRLETo8BitRGB: Bad RLE Data 4"},
      {"run above the top", 8, 4, 1, {0, 0, 1, 5, 0, 1}, {}, "Convert8BitRLETo8BitRGB: Bad RLE Data 4"},
      {"end of line past the top", 8, 4, 1, {0, 0, 0, 0, 0, 1}, {}, "Convert8BitRLETo8BitRGB: Bad RLE Data 1"},
      {"delta past the width", 8, 4, 2, {0, 2, 5, 0, 0, 1}, {}, "Convert8BitRLETo8BitRGB: Bad RLE Data 2"},
      {"delta past the top", 8, 4, 2, {0, 2, 0, 3, 0, 1}, {}, "Convert8BitRLETo8BitRGB: Bad RLE Data 2"},
      {"absolute past the width", 8, 4, 1, {0, 5, 1, 2, 3, 4, 5, 0}, {}, "Convert8BitRLETo8BitRGB: Bad RLE Data 3"},
      {"no end of bitmap", 8, 4, 1, {4, 7}, {}, "Convert8BitRLETo8BitRGB: Bad RLE Data 0"},
      {"no data", 8, 4, 1, {}, {}, "Convert8BitRLETo8BitRGB: Bad RLE Data 0"},
      {"ends inside an escape", 8, 4, 1, {4, 7, 0}, {}, "Convert8BitRLETo8BitRGB: Bad RLE Data 0"},
      {"ends inside a delta", 8, 4, 1, {0, 2, 1}, {}, "Convert8BitRLETo8BitRGB: Bad RLE Data 0"},
      {"ends inside an absolute run", 8, 4, 1, {0, 4, 1, 2}, {}, "Convert8BitRLETo8BitRGB: Bad RLE Data 0"},
      {"ends before a pad byte", 8, 4, 1, {0, 3, 1, 2, 3}, {}, "Convert8BitRLETo8BitRGB: Bad RLE Data 0"},

      {"nibbles after a delta", 4, 5, 1, {0, 2, 3, 0, 2, 0xAB, 0, 1}, {0x00, 0x0A, 0xB0, 0x00}},
      {"run onto the spare nibble", 4, 5, 1, {6, 0x12, 0, 1}, {0x12, 0x12, 0x12, 0x00}},
      {"run past the spare nibble", 4, 5, 1, {7, 0x12, 0, 1}, {}, "Convert4BitRLETo4BitRGB: Bad RLE Data 8"},
      {"run from an odd pixel", 4, 8, 1, {1, 0xF0, 4, 0x12, 0, 1}, {0xF1, 0x21, 0x20, 0x00}},
      {"absolute nibbles", 4, 5, 1, {0, 5, 0x12, 0x34, 0x50, 0x00, 0, 1}, {0x12, 0x34, 0x50, 0x00}},
      {"absolute from an odd pixel", 4, 6, 1, {1, 0x70, 0, 3, 0xAB, 0xC0, 0, 1}, {0x7A, 0xBC, 0x00, 0x00}},
      {"4-bit end of line past the top", 4, 1, 1, {0, 0, 0, 0, 0, 1}, {}, "Convert4BitRLETo4BitRGB: Bad RLE Data 5"},
      {"4-bit delta past the width", 4, 4, 1, {0, 2, 5, 0, 0, 1}, {}, "Convert4BitRLETo4BitRGB: Bad RLE Data 6"},
      {"4-bit absolute past the width", 4, 4, 1, {0, 5, 0x12, 0x34, 0x50, 0, 0, 1}, {},
       "Convert4BitRLETo4BitRGB: Bad RLE Data 7"},
      {"4-bit ends inside an absolute run", 4, 8, 1, {0, 5, 0x12, 0x34}, {}, "Convert4BitRLETo4BitRGB: Bad RLE Data 9"},
      {"4-bit no end of bitmap", 4, 8, 1, {2, 0x12, 0, 0}, {}, "Convert4BitRLETo4BitRGB: Bad RLE Data 9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TZrDIB dib;
    SetRawContent(dib, c.BitCount, c.BitCount == 8 ? BI_RLE8 : BI_RLE4, c.Width, c.Height, c.Data);
    const TZrPixelFormat target = c.BitCount == 8 ? zrpf8Bit : zrpf4Bit;
    if (*c.Error) {
      const TStorageSnapshot before(*dib.GetInternalDIB());
      ExpectRaises<EZrDIBInvalidDIB>([&] { dib.SetPixelFormat(target); }, c.Error);
      EXPECT_TRUE(before.Matches(*dib.GetInternalDIB()));
      continue;
    }
    dib.SetPixelFormat(target);
    EXPECT_EQ(PixelBytes(*dib.GetInternalDIB()), c.Pixels);
    EXPECT_EQ(HeaderOf(dib).biCompression, BI_RGB);
    EXPECT_EQ(HeaderOf(dib).biSizeImage, 0u);
    EXPECT_EQ(HeaderOf(dib).biHeight, c.Height);
  }
}

// At the largest width a header can give, the even column limit of RLE4 and
// the 8-bit row size do not wrap: the one decodes (its rows are 1 GiB, never
// touched), the other is too large to hold.
TEST(DIBRleTest, LargestWidthDoesNotWrap) {
  TDefaultUseFMOScope heap(false);
  TZrDIB rle4, rle8;
  SetRawContent(rle4, 4, BI_RLE4, 0x7FFFFFFF, 1, {1, 0x50, 0, 1});
  SetRawContent(rle8, 8, BI_RLE8, 0x7FFFFFFF, 1, {1, 0x50, 0, 1});
  const TZrDIBData decoded = Convert4BitRLETo4BitRGB(SourceOf(*rle4.GetInternalDIB()), false);
  EXPECT_EQ(decoded.ImageSize, 1 << 30);
  EXPECT_EQ(decoded.Bits[0], 0x50);
  ExpectRaises<EOutOfMemory>([&] { rle8.SetPixelFormat(zrpf8Bit); }, "Convert8BitRLETo8BitRGB: Image Too Large");
}

struct TEncodeCase {
  const char* Name;
  int BitCount;
  int Width;
  int Height;
  std::vector<TBytes> Rows;  // in memory order, without padding
  TBytes Encoded;            // empty: compression fails
  std::size_t Room = 0;      // 0: through the converter, whose room is the image size
};

TBytes Distinct(int Count, int From = 0) {
  TBytes items;
  for (int i = From; i < From + Count; ++i) items.push_back(static_cast<BYTE>(1 + i % 250));
  return items;
}

TBytes Concat(std::initializer_list<TBytes> Parts) {
  TBytes all;
  for (const auto& p : Parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(DIBRleTest, EncodesExactly) {
  const TBytes zeros300(300, 0);
  const TEncodeCase cases[] = {
      {"1 x 1 has no room for a run", 8, 1, 1, {{5}}, {}},
      {"fills its uncompressed size", 8, 16, 1, {{1, 2, 3, 4, 4, 4, 5, 5, 0, 0, 0, 0, 0, 0, 0, 0}},
       {0, 3, 1, 2, 3, 0, 3, 4, 2, 5, 8, 0, 0, 0, 0, 1}},
      {"blank", 8, 8, 2, {TBytes(8, 0), TBytes(8, 0)}, {8, 0, 0, 0, 8, 0, 0, 0, 0, 1}},
      {"two-item literal as two runs", 8, 10, 1, {{0, 0, 0, 0, 0, 0, 0, 0, 7, 9}},
       {8, 0, 1, 7, 1, 9, 0, 0, 0, 1}},
      {"long run", 8, 300, 1, {TBytes(300, 0x42)}, {0xFF, 0x42, 0x2D, 0x42, 0, 0, 0, 1}},
      {"long literal", 8, 300, 2, {Distinct(300), zeros300},
       Concat({{0, 0xFF}, Distinct(255), {0, 0, 0x2D}, Distinct(45, 255), {0, 0, 0}, {0xFF, 0, 0x2D, 0, 0, 0, 0, 1}})},
      {"full literal whose last item starts a run", 8, 300, 1, {Concat({Distinct(255), TBytes(45, Distinct(1, 254)[0])})},
       Concat({{0, 0xFE}, Distinct(254), {0x2E, Distinct(1, 254)[0], 0, 0, 0, 1}})},
      {"top-down starts with its last row", 8, 8, -2, {TBytes(8, 1), TBytes(8, 2)}, {8, 2, 0, 0, 8, 1, 0, 0, 0, 1}},
      {"4-bit run clipped to the width", 4, 5, 1, {{0x12, 0x12, 0x30}}, {4, 0x12, 1, 0x30, 0, 0, 0, 1}, 16},
      {"4-bit literal", 4, 5, 1, {{0x12, 0x34, 0x50}}, {0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 0, 1}, 16},
      {"4-bit two-byte literal of three pixels", 4, 3, 1, {{0x12, 0x30}}, {0, 3, 0x12, 0x30, 0, 0, 0, 1}, 16},
      {"4-bit long run", 4, 300, 1, {TBytes(150, 0x77)}, {0xFE, 0x77, 0x2E, 0x77, 0, 0, 0, 1}},
      {"4-bit 1 x 1 has no room for a run", 4, 1, 1, {{0x50}}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    auto dib = MakeDIB(c.BitCount, c.Width, c.Height, [](int, int) { return 0u; });
    for (int i = 0; i < 16; ++i) dib->SetColors(i, RGB(static_cast<BYTE>(i), 1, 2));
    TZrInternalDIB& s = *dib->GetInternalDIB();
    const std::int64_t stride = DIBStride(c.BitCount, c.Width);
    for (std::size_t r = 0; r < c.Rows.size(); ++r) std::memcpy(s.Bits + r * stride, c.Rows[r].data(), c.Rows[r].size());

    if (c.Room) {
      TBytes work(c.Room);
      const std::size_t length = (c.BitCount == 8 ? EncodeRLE8 : EncodeRLE4)(SourceOf(s), work);
      EXPECT_EQ(TBytes(work.begin(), work.begin() + static_cast<std::ptrdiff_t>(length)), c.Encoded);
      continue;
    }
    const TZrPixelFormat target = c.BitCount == 8 ? zrpf8BitRLE : zrpf4BitRLE;
    if (c.Encoded.empty()) {
      const TStorageSnapshot before(s);
      ExpectRaises<EZrDIBCompressionFailed>(
          [&] { dib->SetPixelFormat(target); },
          c.BitCount == 8 ? "Convert8BitRGBTo8BitRLE: Compression Failed" : "Convert4BitRGBTo4BitRLE: Compression Failed");
      EXPECT_TRUE(before.Matches(*dib->GetInternalDIB()));
      continue;
    }
    const RGBQUAD color5 = s.BitmapInfo.bmiColors[5];
    dib->SetPixelFormat(target);
    const TZrInternalDIB& out = *dib->GetInternalDIB();
    EXPECT_EQ(PixelBytes(out), c.Encoded);
    EXPECT_EQ(dib->GetPixelFormat(), target);
    EXPECT_EQ(out.ImageSize, static_cast<std::int32_t>(c.Encoded.size()));
    EXPECT_EQ(out.BitmapInfo.bmiHeader.biSizeImage, c.Encoded.size());
    EXPECT_EQ(out.BitmapInfo.bmiHeader.biHeight, std::abs(c.Height));
    EXPECT_EQ(out.Height, std::abs(c.Height));
    EXPECT_TRUE(out.BitmapInfo.bmiColors[5] == color5);
  }
}

// Rows of random runs and noise, so that some images compress and some do not.
unsigned RandomPixel(std::mt19937& Random, int BitCount, unsigned Previous) {
  const unsigned levels = BitCount == 8 ? 256 : 16;
  return Random() % 4 ? Previous : static_cast<unsigned>(Random() % levels);
}

TEST(DIBRleTest, DecodingUndoesEncodingForEveryWidth) {
  std::mt19937 random(20240607);
  int encoded = 0, refused = 0;
  for (const int bitCount : {8, 4}) {
    const TZrPixelFormat plain = bitCount == 8 ? zrpf8Bit : zrpf4Bit;
    const TZrPixelFormat rle = bitCount == 8 ? zrpf8BitRLE : zrpf4BitRLE;
    for (int width = 1; width <= 70; ++width) {
      for (int trial = 0; trial < 6; ++trial) {
        const int height = static_cast<int>(random() % 5 + 1) * (trial % 3 == 2 ? -1 : 1);
        std::vector<unsigned> pixels(static_cast<std::size_t>(width * std::abs(height)));
        unsigned previous = 0;
        for (auto& p : pixels) p = previous = RandomPixel(random, bitCount, previous);
        const auto pixel = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * width + x)]; };
        auto dib = MakeDIB(bitCount, width, height, pixel);
        try {
          dib->SetPixelFormat(rle);
        } catch (const EZrDIBCompressionFailed&) {
          ++refused;
          EXPECT_EQ(dib->GetPixelFormat(), plain);
          continue;
        }
        ++encoded;
        dib->SetPixelFormat(plain);
        for (int y = 0; y < dib->GetHeight(); ++y) {
          const auto row = dib->GetScanLine(y);
          for (int x = 0; x < width; ++x)
            ASSERT_EQ(GetIndex(row, bitCount, x), static_cast<int>(pixel(x, y)))
                << bitCount << " bits, " << width << " x " << height << ", pixel " << x << ", " << y;
        }
      }
    }
  }
  // Both outcomes must have been met often enough for the check to mean something.
  EXPECT_GT(encoded, 300);
  EXPECT_GT(refused, 50);
}

}  // namespace
