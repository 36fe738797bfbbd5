// Half-tone by serpentine error diffusion: onto the 6 x 7 x 5 colour cube, or
// onto black and white. Integer arithmetic only; the level choice is a lookup.

#include <algorithm>
#include <array>
#include <string>

#include "dib/ZrDIBConvert.h"
#include "dib/ZrDIBHalfTone.h"
#include "dib/ZrDIBScratch.h"

namespace {

void CheckHalfToneSource(const TZrDIBSource& Source, const char* Name) {
  const auto& header = Source.Header();
  Assert(header.biCompression == BI_RGB, (std::string(Name) + ": Invalid DIB Format").c_str());
  const int bits = header.biBitCount;
  Assert(bits == 1 || bits == 4 || bits == 8 || bits == 24, (std::string(Name) + ": Invalid Bit Count").c_str());
}

// Level index and level value of every adjusted value from -256 to 512.
constexpr int LowestValue = -256;
constexpr int ValueCount = 769;
struct TLevelTable {
  std::array<BYTE, ValueCount> Index{};
  std::array<std::int16_t, ValueCount> Level{};
};

template <std::size_t N>
constexpr TLevelTable LevelTable(const std::array<BYTE, N + 1>& Levels, const std::array<int, N>& Highest) {
  TLevelTable table;
  for (int i = 0; i < ValueCount; ++i) {
    const int v = LowestValue + i;
    std::size_t level = 0;
    while (level < N && v > Highest[level]) ++level;
    table.Index[i] = static_cast<BYTE>(level);
    table.Level[i] = Levels[level];
  }
  return table;
}

// The highest value of each level but the last.
constexpr TLevelTable RedTable = LevelTable<5>(HalfToneRedLevels, {25, 76, 127, 178, 230});
constexpr TLevelTable GreenTable = LevelTable<6>(HalfToneGreenLevels, {21, 63, 106, 149, 192, 233});
constexpr TLevelTable BlueTable = LevelTable<4>(HalfToneBlueLevels, {31, 95, 159, 223});

int Slot(int V) { return std::clamp(V - LowestValue, 0, ValueCount - 1); }

struct TColor {
  int Red, Green, Blue;
};

// Colours of the source's pixels: their own bytes or their colour-table entries.
class TSourceColors {
public:
  explicit TSourceColors(const TZrDIBSource& Source) : FBits(Source.Header().biBitCount) {
    for (int i = 0; i < 256; ++i) {
      const RGBQUAD& q = Source.BitmapInfo->bmiColors[i];
      FTable[i] = {q.rgbRed, q.rgbGreen, q.rgbBlue};
    }
  }
  TColor At(const BYTE* Row, std::int64_t x) const {
    switch (FBits) {
      case 24: return {Row[3 * x + 2], Row[3 * x + 1], Row[3 * x]};
      case 8: return FTable[Row[x]];
      case 4: return FTable[(x & 1) ? Row[x >> 1] & 0x0F : Row[x >> 1] >> 4];
      default: return FTable[(Row[x >> 3] >> (7 - (x & 7))) & 1];
    }
  }
  int Bits() const { return FBits; }

private:
  int FBits;
  std::array<TColor, 256> FTable{};
};

// Visits the pixels row by row, even rows left to right and odd rows right to
// left, with each channel's adjusted value. Put(x, Out row, adjusted, errors)
// writes the pixel and the three errors it leaves.
template <class Put>
void Diffuse(const TZrDIBSource& Source, const TZrRows& Rows, TZrDIBData& Result, const char* Name, Put&& Pixel) {
  const std::int64_t slots = (Rows.Width + 2) * 3;
  TZrScratch<std::int16_t> errors(2 * slots, Name);
  std::fill(errors.Items().begin(), errors.Items().end(), std::int16_t{0});
  std::int16_t* current = errors.Items().data();
  std::int16_t* previous = current + slots;
  const std::int64_t outStride = DIBStride(Result.Header().biBitCount, Rows.Width);
  const TSourceColors colors(Source);

  auto visit = [&]<int Bits>(std::integral_constant<int, Bits>) {
    for (std::int64_t y = 0; y < Rows.Height; ++y) {
      // Every entry of a pixel is rewritten in each row, and the two ends stay
      // 0, so swapping the rows is copying the current one.
      std::swap(current, previous);
      const BYTE* in = Source.Bits + y * Rows.Stride;
      BYTE* out = Result.Bits + y * outStride;
      const bool even = (y & 1) == 0;
      const std::int64_t step = even ? 1 : -1, diagonal = even ? -1 : 1;
      int last[3] = {0, 0, 0};
      for (std::int64_t i = 0, x = even ? 0 : Rows.Width - 1; i < Rows.Width; ++i, x += step) {
        const TColor p = Bits == 0 ? colors.At(in, x) : TColor{in[3 * x + 2], in[3 * x + 1], in[3 * x]};
        const std::int16_t* above = previous + 3 * (x + 1);
        const std::int16_t* corner = above + 3 * diagonal;
        int v[3] = {p.Red, p.Green, p.Blue};
        for (int c = 0; c < 3; ++c) v[c] -= (12 * above[c] + 12 * last[c] + 5 * corner[c]) / 32;
        std::int16_t* e = current + 3 * (x + 1);
        Pixel(x, out, v, e);
        for (int c = 0; c < 3; ++c) last[c] = e[c];
      }
    }
  };
  // 24-bit rows read their bytes directly; the others through the colour table.
  if (colors.Bits() == 24)
    visit(std::integral_constant<int, 24>{});
  else
    visit(std::integral_constant<int, 0>{});
}

}  // namespace

TZrDIBData ConvertToHalfTone(const TZrDIBSource& Source, bool UseFMO) {
  constexpr const char* name = "ConvertToHalfTone";
  CheckHalfToneSource(Source, name);
  const TZrRows rows = CheckedRows(Source, name);
  TZrDIBData result = MakeUncompressed(Source, 8, UseFMO, name);
  Diffuse(Source, rows, result, name, [](std::int64_t x, BYTE* Out, const int* V, std::int16_t* E) {
    const int r = Slot(V[0]), g = Slot(V[1]), b = Slot(V[2]);
    E[0] = static_cast<std::int16_t>(RedTable.Level[r] - V[0]);
    E[1] = static_cast<std::int16_t>(GreenTable.Level[g] - V[1]);
    E[2] = static_cast<std::int16_t>(BlueTable.Level[b] - V[2]);
    Out[x] = static_cast<BYTE>(RedTable.Index[r] * 35 + GreenTable.Index[g] * 5 + BlueTable.Index[b]);
  });
  result.Header().biClrUsed = HalfToneColorCount;
  auto& colors = result.BitmapInfo.bmiColors;
  for (std::size_t i = 0; i < HalfToneColors.size(); ++i) {
    const auto& c = HalfToneColors[i];
    colors[i] = RGBQUAD{c[2], c[1], c[0], 0};
  }
  return result;
}

TZrDIBData ConvertToHalfToneBW(const TZrDIBSource& Source, bool UseFMO) {
  constexpr const char* name = "ConvertToHalfToneBW";
  CheckHalfToneSource(Source, name);
  const TZrRows rows = CheckedRows(Source, name);
  TZrDIBData result = MakeUncompressed(Source, 1, UseFMO, name);
  // The result starts zero-filled, black: only white bits are set.
  Diffuse(Source, rows, result, name, [](std::int64_t x, BYTE* Out, const int* V, std::int16_t* E) {
    const bool white = V[0] + V[1] + V[2] >= 384;
    const int target = white ? 255 : 0;
    for (int c = 0; c < 3; ++c) E[c] = static_cast<std::int16_t>(target - V[c]);
    if (white) Out[x >> 3] |= static_cast<BYTE>(0x80 >> (x & 7));
  });
  result.Header().biClrUsed = 2;
  result.BitmapInfo.bmiColors[0] = RGBQUAD{0, 0, 0, 0};
  result.BitmapInfo.bmiColors[1] = RGBQUAD{255, 255, 255, 0};
  return result;
}
