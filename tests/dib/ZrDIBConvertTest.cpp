// PixelFormat between the six stored formats: every cell of the conversion
// table, failures that leave the DIB as it was, progress reports, and the
// converters' refusals.

#include <map>
#include <string>
#include <tuple>

#include "tests/dib/ConvertTestSupport.h"

namespace {

constexpr int W = 29;  // not a whole number of bytes at any depth below 24
constexpr int H = 3;

// Runs of eight pixels, shifted by one run per row.
int Base(int x, int y) { return x / 8 + y; }
int IndexOf(int BitCount, int x, int y) {
  switch (BitCount) {
    case 1: return Base(x, y) & 1;
    case 4: return (Base(x, y) * 5 + 1) % 16;
    default: return (Base(x, y) * 37 + 11) % 256;
  }
}
// Distinct for every index: red alone is a permutation of 0..255.
COLORREF Pal(int i) {
  return RGB(static_cast<BYTE>(i * 53 + 7), static_cast<BYTE>(i * 97 + 5), static_cast<BYTE>(i * 11 + 200));
}

int BitsOf(TZrPixelFormat F) {
  switch (F) {
    case zrpf1Bit: return 1;
    case zrpf4Bit:
    case zrpf4BitRLE: return 4;
    case zrpf24Bit: return 24;
    default: return 8;
  }
}
bool IsRLE(TZrPixelFormat F) { return F == zrpf4BitRLE || F == zrpf8BitRLE; }
TZrPixelFormat Uncompressed(TZrPixelFormat F) { return F == zrpf4BitRLE ? zrpf4Bit : F == zrpf8BitRLE ? zrpf8Bit : F; }

// The picture in format F: 24 bits hold the colours the 8-bit one shows.
std::unique_ptr<TZrDIB> Picture(TZrPixelFormat F, int Height) {
  const int bits = BitsOf(F);
  auto dib = MakeDIB(bits, W, Height, [&](int x, int y) {
    return bits == 24 ? Pal(IndexOf(8, x, y)) : static_cast<unsigned>(IndexOf(bits, x, y));
  });
  for (int i = 0; i < 256; ++i) dib->SetColors(i, Pal(i));
  if (IsRLE(F)) dib->SetPixelFormat(F);
  return dib;
}

COLORREF ColorAt(TZrPixelFormat F, int x, int y) { return Pal(IndexOf(BitsOf(F) == 24 ? 8 : BitsOf(F), x, y)); }

// The conversions that make a new colour table rather than keep the source's.
bool MakesColours(TZrPixelFormat From, TZrPixelFormat To) {
  if (To == zrpfHalfTone || To == zrpfHalfToneBW) return true;
  const bool to4 = To == zrpf4Bit || To == zrpf4BitRLE, to8 = To == zrpf8Bit || To == zrpf8BitRLE;
  return (From == zrpf24Bit && (to4 || to8)) || ((From == zrpf8Bit || From == zrpf8BitRLE) && to4);
}

class DIBConvertTableTest : public ::testing::TestWithParam<std::tuple<bool, bool>> {
protected:
  TDefaultUseFMOScope FScope{std::get<0>(GetParam())};
  int FHeight = std::get<1>(GetParam()) ? -H : H;
};

INSTANTIATE_TEST_SUITE_P(Memory, DIBConvertTableTest,
                         ::testing::Values(std::tuple{true, false}, std::tuple{false, true}),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param) ? "FileMapping" : "Heap") +
                                  (std::get<1>(info.param) ? "TopDown" : "BottomUp");
                         });

TEST_P(DIBConvertTableTest, EveryCell) {
  for (int from = zrpf1Bit; from <= zrpf24Bit; ++from) {
    for (int to = zrpf1Bit; to <= zrpfHalfToneBW; ++to) {
      const auto source = static_cast<TZrPixelFormat>(from), target = static_cast<TZrPixelFormat>(to);
      SCOPED_TRACE(testing::Message() << "from " << from << " to " << to);
      auto dib = Picture(source, FHeight);
      const COLORREF mask = ColorAt(source, 8, 0);
      dib->SetMaskColor(static_cast<TColor>(mask));
      dib->GetPalette();  // cached, to be dropped by a conversion
      dib->SetModified(false);
      dib->SetPaletteModified(false);
      int changes = 0;
      dib->SetOnChange([&](TObject*) { ++changes; });
      const DWORD oldColorCount = HeaderOf(*dib).biClrUsed;
      const LONG oldHeight = HeaderOf(*dib).biHeight;

      if (from == to) {
        dib->SetPixelFormat(target);
        EXPECT_EQ(changes, 0);
        ExpectRaises<EAssertionFailed>([&] { dib->GetInternalDIB()->SetPixelsFormat(target, 0, {}, mask); },
                                       "TZrIntenalDIB.SetPixelsFormat: PixelFormat Error");
        continue;
      }
      if (MakesColours(source, target)) {
        dib->SetPixelFormat(target);
        EXPECT_EQ(changes, 1);
        const TZrPixelFormat stored = target == zrpfHalfTone ? zrpf8Bit : target == zrpfHalfToneBW ? zrpf1Bit : target;
        EXPECT_EQ(dib->GetPixelFormat(), stored);
        EXPECT_EQ(HeaderOf(*dib).biHeight, IsRLE(source) || IsRLE(target) ? H : oldHeight);
        if (IsRLE(target)) dib->SetPixelFormat(Uncompressed(target));
        const int bits = BitsOf(stored);
        const auto used = static_cast<int>(HeaderOf(*dib).biClrUsed);
        if (target == zrpfHalfTone || target == zrpfHalfToneBW) {
          EXPECT_EQ(used, target == zrpfHalfTone ? 215 : 2);
        }
        EXPECT_LE(used, 1 << bits);
        const int below = target == zrpfHalfTone ? 210 : used;
        // Pixels of one colour share an index; from 24 to 8 bits each of the
        // six colours keeps its own.
        std::map<COLORREF, int> indexOf;
        const auto& colors = dib->GetInternalDIB()->BitmapInfo.bmiColors;
        for (int y = 0; y < H; ++y) {
          const auto row = dib->GetScanLine(y);
          for (int x = 0; x < W; ++x) {
            const int index = GetIndex(row, bits, x);
            ASSERT_LT(index, below);
            if (target >= zrpfHalfTone) continue;
            const COLORREF c = ColorAt(source, x, y);
            EXPECT_EQ(indexOf.emplace(c, index).first->second, index);
            if (source == zrpf24Bit && bits == 8) {
              EXPECT_TRUE(colors[index] == Quad(GetRValue(c), GetGValue(c), GetBValue(c)));
            }
          }
        }
        continue;
      }

      TZrDIB sharer;
      sharer.Assign(dib.get());
      dib->SetPixelFormat(target);
      EXPECT_EQ(sharer.GetPixelFormat(), source);
      EXPECT_EQ(dib->GetPixelFormat(), target);
      EXPECT_EQ(changes, 1);
      EXPECT_TRUE(dib->GetPaletteModified());
      EXPECT_FALSE(dib->GetInternalDIB()->PaletteHandle);
      EXPECT_EQ(HeaderOf(*dib).biHeight, IsRLE(source) || IsRLE(target) ? H : oldHeight);
      EXPECT_EQ(dib->GetUseFMO(), std::get<0>(GetParam()));

      if (IsRLE(target)) dib->SetPixelFormat(Uncompressed(target));
      const auto& colors = dib->GetInternalDIB()->BitmapInfo.bmiColors;
      if (target == zrpf1Bit) {
        EXPECT_EQ(HeaderOf(*dib).biClrUsed, 2u);
        EXPECT_TRUE(colors[0] == Quad(0, 0, 0));
        EXPECT_TRUE(colors[1] == Quad(255, 255, 255));
      } else {
        EXPECT_EQ(HeaderOf(*dib).biClrUsed, oldColorCount);
        for (int i = 0; i < 16; ++i)
          EXPECT_TRUE(colors[i] == Quad(GetRValue(Pal(i)), GetGValue(Pal(i)), GetBValue(Pal(i))));
      }
      const int bits = BitsOf(target);
      for (int y = 0; y < H; ++y) {
        const auto row = dib->GetScanLine(y);
        for (int x = 0; x < W; ++x) {
          if (target == zrpf1Bit) {
            ASSERT_EQ(GetIndex(row, 1, x), ColorAt(source, x, y) == mask ? 1 : 0) << x << ", " << y;
          } else if (bits == 24) {
            const COLORREF c = ColorAt(source, x, y);
            ASSERT_EQ(RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]), c) << x << ", " << y;
          } else {
            ASSERT_EQ(GetIndex(row, bits, x), IndexOf(BitsOf(source), x, y)) << x << ", " << y;
          }
        }
        // Whatever a row holds past its last pixel is zero.
        const std::size_t used = (static_cast<std::size_t>(W) * bits + 7) / 8;
        for (std::size_t i = used; i < row.size(); ++i) ASSERT_EQ(row[i], 0) << "padding byte " << i;
        if (bits < 8 && (W * bits) % 8) {
          const int spare = 8 - (W * bits) % 8;
          EXPECT_EQ(row[used - 1] & ((1 << spare) - 1), 0);
        }
      }
    }
  }
}

// A chain whose last step fails leaves pixels, header, colour table and cached
// palette as they were, and releases what the earlier steps made.
TEST(DIBConvertTest, FailedLastStepChangesNothing) {
  struct TCase {
    TZrPixelFormat From;
    TZrPixelFormat To;
  } const cases[] = {{zrpf4BitRLE, zrpf8BitRLE}, {zrpf1Bit, zrpf8BitRLE}, {zrpf4Bit, zrpf8BitRLE},
                     {zrpf24Bit, zrpf8BitRLE}};
  for (const bool useFMO : {true, false}) {
    TDefaultUseFMOScope scope(useFMO);
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << c.From << " to " << c.To << (useFMO ? " mapped" : " heap"));
      // Alternating pixels: pairs repeat for RLE4, nothing repeats for RLE8.
      const int bits = BitsOf(c.From);
      // 24 bits: black and white, two colours after reduction.
      auto dib = MakeDIB(bits, 32, 4, [&](int x, int) {
        return bits == 24 ? (x % 2 ? 0xFFFFFFu : 0u) : bits == 1 ? x % 2u : 1u + x % 2u;
      });
      dib->SetColors(2, RGB(9, 8, 7));
      if (IsRLE(c.From)) dib->SetPixelFormat(c.From);
      dib->GetPalette();
      const TStorageSnapshot before(*dib->GetInternalDIB());
      int changes = 0;
      dib->SetOnChange([&](TObject*) { ++changes; });
      ExpectRaises<EZrDIBCompressionFailed>([&] { dib->SetPixelFormat(c.To); },
                                            "Convert8BitRGBTo8BitRLE: Compression Failed");
      EXPECT_TRUE(before.Matches(*dib->GetInternalDIB()));
      EXPECT_EQ(dib->GetPixelFormat(), c.From);
      EXPECT_EQ(changes, 0);
    }
  }
}

struct TProgressRecord {
  TProgressStage Stage;
  int Percent;
  bool Redraw;
  TRect R;
  std::string Msg;
  friend bool operator==(const TProgressRecord&, const TProgressRecord&) = default;
};

TEST(DIBConvertTest, ProgressIsReportedForColourReductionsOnly) {
  const TRect area{0, 0, 16, 5};  // wide enough for RLE4 to shrink
  struct TCase {
    int BitCount;
    BYTE Mode;
    TZrPixelFormat Target;
    const char* Message;
    int Steps;
  } const cases[] = {{24, 0, zrpf8Bit, "PixelFormat 24Bit -> 8Bit", 256},
                     {24, 1, zrpf8BitRLE, "PixelFormat 24Bit -> 8BitRLE", 256},
                     {24, 1, zrpf4Bit, "PixelFormat 24Bit -> 4Bit", 16},
                     {24, 0, zrpf4BitRLE, "PixelFormat 24Bit -> 4BitRLE", 16},
                     {8, 0, zrpf4Bit, "PixelFormat 8Bit -> 4Bit", 16}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Message);
    auto dib = MakeDIB(c.BitCount, 16, 5, [](int, int) { return 0u; });
    dib->SetConvertMode(c.Mode);
    std::vector<TProgressRecord> events;
    dib->SetOnProgress([&](TObject* Sender, TProgressStage Stage, BYTE Percent, bool Redraw, const TRect& R,
                           const std::string& Msg) {
      EXPECT_EQ(Sender, dib.get());
      events.push_back({Stage, Percent, Redraw, R, Msg});
    });
    dib->SetPixelFormat(c.Target);
    // Every step but the last reports its share, rounded down.
    std::vector<TProgressRecord> expected = {{TProgressStage::psStarting, 0, false, area, c.Message}};
    for (int k = 1; k < c.Steps; ++k)
      expected.push_back({TProgressStage::psRunning, k * 100 / c.Steps, false, area, c.Message});
    expected.push_back({TProgressStage::psEnding, 100, true, area, c.Message});
    EXPECT_EQ(events, expected);
    EXPECT_EQ(dib->GetProgressTotal(), c.Steps);
  }

  // 1 .. 15 of 16 steps.
  const int percents[] = {6, 12, 18, 25, 31, 37, 43, 50, 56, 62, 68, 75, 81, 87, 93};
  for (int k = 1; k < 16; ++k) EXPECT_EQ(k * 100 / 16, percents[k - 1]);

  auto dib = MakeDIB(24, 7, 5, [](int, int) { return 0u; });
  int events = 0;
  dib->SetOnProgress([&](TObject*, TProgressStage, BYTE, bool, const TRect&, const std::string&) { ++events; });
  dib->SetPixelFormat(zrpf1Bit);
  dib->SetPixelFormat(zrpf8Bit);
  dib->SetPixelFormat(zrpfHalfTone);
  dib->SetPixelFormat(zrpf24Bit);
  dib->SetPixelFormat(zrpfHalfToneBW);
  EXPECT_EQ(events, 0);
}

TEST(DIBConvertTest, MaskKeepsExactlyTheMaskColour) {
  const COLORREF colors[] = {RGB(255, 255, 255), RGB(255, 255, 254), RGB(254, 255, 255), RGB(255, 254, 255)};
  auto dib = MakeDIB(24, 4, 1, [&](int x, int) { return colors[x]; });
  dib->SetPixelFormat(zrpf1Bit);
  EXPECT_EQ(dib->GetScanLine(0)[0], 0x80);

  auto indexed = MakeDIB(4, 4, 1, [](int x, int) { return static_cast<unsigned>(x); });
  for (int i = 0; i < 4; ++i) indexed->SetColors(i, colors[3 - i]);
  indexed->SetMaskColor(clBlack);
  indexed->SetColors(1, clBlack);
  indexed->SetPixelFormat(zrpf1Bit);
  EXPECT_EQ(indexed->GetScanLine(0)[0], 0x40);
}

TEST(DIBConvertTest, RefusesOutOfRangeTargetsAndModes) {
  auto dib = MakeDIB(24, 4, 4, [](int, int) { return 0u; });
  const auto error = "TZrIntenalDIB.SetPixelsFormat: PixelFormat Error";
  ExpectRaises<EAssertionFailed>([&] { dib->SetPixelFormat(static_cast<TZrPixelFormat>(8)); }, error);
  dib->SetConvertMode(2);
  ExpectRaises<EAssertionFailed>([&] { dib->SetPixelFormat(zrpf8Bit); }, error);
  EXPECT_EQ(dib->GetPixelFormat(), zrpf24Bit);
  dib->SetConvertMode(1);
  dib->SetPixelFormat(zrpf4Bit);
  EXPECT_EQ(dib->GetPixelFormat(), zrpf4Bit);
}

// A header that promises more pixels than its memory holds is refused before
// any pixel is read.
TEST(DIBConvertTest, HeaderBeyondItsPixelsIsRefused) {
  struct TCase {
    int BitCount;
    TZrPixelFormat To;
    const char* Converter;
    bool Wider;  // else taller
  } const cases[] = {
      {1, zrpf4Bit, "Convert1BitRGBTo4BitRGB", false},      {1, zrpf8Bit, "Convert1BitRGBTo8BitRGB", true},
      {1, zrpf24Bit, "Convert1BitRGBToTrueColor", false},   {4, zrpf8Bit, "Convert4BitRGBTo8BitRGB", true},
      {4, zrpf24Bit, "Convert4BitRGBToTrueColor", false},   {4, zrpf1Bit, "Convert4BitRGBTo1BitRGB", true},
      {4, zrpf4BitRLE, "Convert4BitRGBTo4BitRLE", false},   {8, zrpf24Bit, "Convert8BitRGBToTrueColor", true},
      {8, zrpf1Bit, "Convert8BitTo1BitRGB", false},         {8, zrpf8BitRLE, "Convert8BitRGBTo8BitRLE", true},
      {24, zrpf1Bit, "ConvertTrueColorTo1BitRGB", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Converter);
    auto dib = MakeDIB(c.BitCount, 8, 2, [](int, int) { return 0u; });
    auto& header = dib->GetInternalDIB()->BitmapInfo.bmiHeader;
    (c.Wider ? header.biWidth : header.biHeight) = c.Wider ? 200 : 3;
    const TStorageSnapshot before(*dib->GetInternalDIB());
    ExpectRaises<EZrDIBInvalidDIB>([&] { dib->SetPixelFormat(c.To); }, std::string(c.Converter) + ": Invalid Image Size");
    EXPECT_TRUE(before.Matches(*dib->GetInternalDIB()));
  }
  TZrDIB rle;
  SetRawContent(rle, 8, BI_RLE8, 0, 1, {0, 1});
  ExpectRaises<EZrDIBInvalidDIB>([&] { rle.SetPixelFormat(zrpf8Bit); }, "Convert8BitRLETo8BitRGB: Invalid Image Size");
}

TEST(DIBConvertTest, ConvertersCheckTheirSource) {
  TZrDIB dib1, dib4, dib8, dib24, rle4, rle8;
  dib1.SetBitCount(1);
  dib4.SetBitCount(4);
  dib24.SetBitCount(24);
  SetRawContent(rle4, 4, BI_RLE4, 4, 1, {4, 0, 0, 1});
  SetRawContent(rle8, 8, BI_RLE8, 4, 1, {4, 0, 0, 1});
  const auto src = [](TZrDIB& d) { return SourceOf(*d.GetInternalDIB()); };
  const TZrConvertProgress none;
  const std::string combination = ": Invalid Bitcount & Compression Combination";
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { Convert1BitRGBTo4BitRGB(src(dib8), false); }, "Convert1BitRGBTo4BitRGB" + combination},
      {[&] { Convert1BitRGBTo8BitRGB(src(dib24), false); }, "Convert1BitRGBTo8BitRGB" + combination},
      {[&] { Convert4BitRGBTo8BitRGB(src(rle4), false); }, "Convert4BitRGBTo8BitRGB" + combination},
      {[&] { Convert1BitRGBToTrueColor(src(dib4), false); }, "Convert1BitRGBToTrueColor" + combination},
      {[&] { Convert4BitRGBToTrueColor(src(dib1), false); }, "Convert4BitRGBToTrueColor" + combination},
      {[&] { Convert8BitRGBToTrueColor(src(rle8), false); }, "Convert8BitRGBToTrueColor" + combination},
      {[&] { ConvertTrueColorTo1BitRGB(src(dib8), false, 0); }, "ConvertTrueColorTo1BitRGB: Invalid Bitcount"},
      {[&] { Convert8BitTo1BitRGB(src(rle8), false, 0); }, "Convert8BitTo1BitRGB: Invalid Bitcount or Compression"},
      {[&] { Convert4BitRGBTo1BitRGB(src(rle4), false, 0); }, "Convert4BitRGBTo1BitRGB: Invalid Bitcount"},
      {[&] { Convert8BitRLETo8BitRGB(src(dib8), false); }, "Convert8BitRLETo8BitRGB" + combination},
      {[&] { Convert4BitRLETo4BitRGB(src(rle8), false); }, "Convert4BitRLETo4BitRGB" + combination},
      {[&] { Convert8BitRGBTo8BitRLE(src(rle8), false); }, "Convert8BitRGBTo8BitRLE" + combination},
      {[&] { Convert4BitRGBTo4BitRLE(src(dib8), false); }, "Convert4BitRGBTo4BitRLE" + combination},
      {[&] { ConvertTrueColorTo8BitRGBLow(src(dib8), false, none); }, "ConvertTrueColorTo8BitRGBLow: Invalid Bitcount"},
      {[&] { ConvertTrueColorTo4BitRGBHigh(src(dib4), false, none); },
       "ConvertTrueColorTo4BitRGBHigh: Invalid Bitcount"},
      {[&] { ConvertTrueColorTo4BitRGBLow(src(rle4), false, none); }, "ConvertTrueColorTo4BitRGBLow: Invalid Bitcount"},
      {[&] { ConvertTrueColorTo8BitRGBHigh(src(dib1), false, none); },
       "ConvertTrueColorTo8BitRGBHigh: Invalid Bitcount"},
      {[&] { Convert8BitRGBTo4BitRGB(src(rle8), false, none); },
       "Convert8BitRGBTo4BitRGB: Invalid Bitcount or Compression"},
  };
  for (const auto& [call, message] : cases) ExpectRaises<EZrDIBBadDIBType>(call, message);
  ExpectRaises<EAssertionFailed>([&] { ConvertToHalfTone(src(rle8), false); }, "ConvertToHalfTone: Invalid DIB Format");
  ExpectRaises<EAssertionFailed>([&] { ConvertToHalfToneBW(src(rle4), false); },
                                 "ConvertToHalfToneBW: Invalid DIB Format");
  TZrDIB dib16;
  SetRawContent(dib16, 16, BI_RGB, 2, 1, {0, 0, 0, 0});
  ExpectRaises<EAssertionFailed>([&] { ConvertToHalfTone(src(dib16), false); }, "ConvertToHalfTone: Invalid Bit Count");
  ExpectRaises<EAssertionFailed>([&] { ConvertToHalfToneBW(src(dib16), false); },
                                 "ConvertToHalfToneBW: Invalid Bit Count");
}

}  // namespace
