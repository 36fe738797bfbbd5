// The converters that keep colours: widening, palettised to 24 bits, and the
// 1-bit masks. All work row by row through lookup tables built per call.

#include <array>
#include <bit>
#include <cstring>
#include <string>

#include "dib/ZrDIBConvert.h"

// The lookup tables hold pixel bytes in memory order.
static_assert(std::endian::native == std::endian::little);

namespace {

void CheckSource(const TZrDIBSource& Source, int BitCount, bool CheckCompression, const char* Name,
                 const char* Message) {
  const auto& header = Source.Header();
  if (header.biBitCount != BitCount || (CheckCompression && header.biCompression != BI_RGB))
    throw EZrDIBBadDIBType(std::string(Name) + ": " + Message);
}

constexpr const char* Combination = "Invalid Bitcount & Compression Combination";

// Source rows and result rows side by side, in memory order.
template <class RowFn>
void ForEachRow(const TZrDIBSource& Source, const TZrRows& Rows, TZrDIBData& Result, RowFn&& Fn) {
  const std::int64_t outStride = DIBStride(Result.Header().biBitCount, Rows.Width);
  for (std::int64_t y = 0; y < Rows.Height; ++y) Fn(Source.Bits + y * Rows.Stride, Result.Bits + y * outStride);
}

int PixelOf1(const BYTE* Row, std::int64_t x) { return (Row[x >> 3] >> (7 - (x & 7))) & 1; }
int PixelOf4(const BYTE* Row, std::int64_t x) { return (x & 1) ? Row[x >> 1] & 0x0F : Row[x >> 1] >> 4; }

// Blue, green, red of each colour-table entry, in the low three bytes.
std::array<std::uint32_t, 256> TrueColors(const TZrDIBSource& Source) {
  std::array<std::uint32_t, 256> colors{};
  for (int i = 0; i < 256; ++i) {
    const RGBQUAD& q = Source.BitmapInfo->bmiColors[i];
    colors[i] = q.rgbBlue | (q.rgbGreen << 8) | (static_cast<std::uint32_t>(q.rgbRed) << 16);
  }
  return colors;
}

// Four bytes where three belong to the pixel: the fourth is overwritten by the
// next pixel, so only a row's last pixel needs the short write.
void PutTrueColor(BYTE* Out, std::int64_t x, std::int64_t Width, std::uint32_t Color) {
  if (x + 1 < Width)
    std::memcpy(Out + 3 * x, &Color, 4);
  else
    std::memcpy(Out + 3 * x, &Color, 3);
}

TZrDIBData MakeMask(const TZrDIBSource& Source, bool UseFMO, const char* Name) {
  TZrDIBData result = MakeUncompressed(Source, 1, UseFMO, Name);
  result.Header().biClrUsed = 2;
  result.BitmapInfo.bmiColors[0] = RGBQUAD{0, 0, 0, 0};
  result.BitmapInfo.bmiColors[1] = RGBQUAD{255, 255, 255, 0};
  return result;
}

// Packs one bit per pixel, the first pixel in the most significant bit.
template <class IsWhite>
void PackMask(BYTE* Out, std::int64_t Width, IsWhite&& White) {
  for (std::int64_t x0 = 0; x0 < Width; x0 += 8) {
    BYTE bits = 0;
    const std::int64_t n = Width - x0 < 8 ? Width - x0 : 8;
    for (std::int64_t k = 0; k < n; ++k)
      if (White(x0 + k)) bits |= static_cast<BYTE>(0x80 >> k);
    Out[x0 >> 3] = bits;
  }
}

// Which colour-table entries are Color.
std::array<bool, 256> MaskTable(const TZrDIBSource& Source, COLORREF Color) {
  std::array<bool, 256> white{};
  for (int i = 0; i < 256; ++i) {
    const RGBQUAD& q = Source.BitmapInfo->bmiColors[i];
    white[i] = q.rgbRed == GetRValue(Color) && q.rgbGreen == GetGValue(Color) && q.rgbBlue == GetBValue(Color);
  }
  return white;
}

}  // namespace

TZrDIBData Convert1BitRGBTo4BitRGB(const TZrDIBSource& Source, bool UseFMO) {
  constexpr const char* name = "Convert1BitRGBTo4BitRGB";
  CheckSource(Source, 1, true, name, Combination);
  const TZrRows rows = CheckedRows(Source, name);
  TZrDIBData result = MakeUncompressed(Source, 4, UseFMO, name);
  // Eight pixels of one source byte give four output bytes.
  std::array<std::uint32_t, 256> wide{};
  for (int b = 0; b < 256; ++b) {
    BYTE out[4];
    for (int k = 0; k < 4; ++k) out[k] = static_cast<BYTE>(((b >> (7 - 2 * k)) & 1) << 4 | ((b >> (6 - 2 * k)) & 1));
    std::memcpy(&wide[b], out, 4);
  }
  const std::int64_t whole = rows.Width / 8;
  ForEachRow(Source, rows, result, [&](const BYTE* in, BYTE* out) {
    for (std::int64_t i = 0; i < whole; ++i) std::memcpy(out + 4 * i, &wide[in[i]], 4);
    for (std::int64_t x = whole * 8; x < rows.Width; ++x)
      out[x >> 1] |= static_cast<BYTE>(PixelOf1(in, x) << ((x & 1) ? 0 : 4));
  });
  return result;
}

TZrDIBData Convert1BitRGBTo8BitRGB(const TZrDIBSource& Source, bool UseFMO) {
  constexpr const char* name = "Convert1BitRGBTo8BitRGB";
  CheckSource(Source, 1, true, name, Combination);
  const TZrRows rows = CheckedRows(Source, name);
  TZrDIBData result = MakeUncompressed(Source, 8, UseFMO, name);
  std::array<std::array<BYTE, 8>, 256> wide{};
  for (int b = 0; b < 256; ++b)
    for (int k = 0; k < 8; ++k) wide[b][k] = static_cast<BYTE>((b >> (7 - k)) & 1);
  const std::int64_t whole = rows.Width / 8;
  ForEachRow(Source, rows, result, [&](const BYTE* in, BYTE* out) {
    for (std::int64_t i = 0; i < whole; ++i) std::memcpy(out + 8 * i, wide[in[i]].data(), 8);
    for (std::int64_t x = whole * 8; x < rows.Width; ++x) out[x] = static_cast<BYTE>(PixelOf1(in, x));
  });
  return result;
}

TZrDIBData Convert4BitRGBTo8BitRGB(const TZrDIBSource& Source, bool UseFMO) {
  constexpr const char* name = "Convert4BitRGBTo8BitRGB";
  CheckSource(Source, 4, true, name, Combination);
  const TZrRows rows = CheckedRows(Source, name);
  TZrDIBData result = MakeUncompressed(Source, 8, UseFMO, name);
  std::array<std::array<BYTE, 2>, 256> wide{};
  for (int b = 0; b < 256; ++b) wide[b] = {static_cast<BYTE>(b >> 4), static_cast<BYTE>(b & 0x0F)};
  const std::int64_t whole = rows.Width / 2;
  ForEachRow(Source, rows, result, [&](const BYTE* in, BYTE* out) {
    for (std::int64_t i = 0; i < whole; ++i) std::memcpy(out + 2 * i, wide[in[i]].data(), 2);
    if (rows.Width & 1) out[rows.Width - 1] = static_cast<BYTE>(in[whole] >> 4);
  });
  return result;
}

TZrDIBData Convert1BitRGBToTrueColor(const TZrDIBSource& Source, bool UseFMO) {
  constexpr const char* name = "Convert1BitRGBToTrueColor";
  CheckSource(Source, 1, true, name, Combination);
  const TZrRows rows = CheckedRows(Source, name);
  TZrDIBData result = MakeUncompressed(Source, 24, UseFMO, name);
  const auto colors = TrueColors(Source);
  // The 24 bytes of each source byte's eight pixels.
  std::array<std::array<BYTE, 24>, 256> wide{};
  for (int b = 0; b < 256; ++b)
    for (int k = 0; k < 8; ++k) std::memcpy(&wide[b][3 * k], &colors[(b >> (7 - k)) & 1], 3);
  const std::int64_t whole = rows.Width / 8;
  ForEachRow(Source, rows, result, [&](const BYTE* in, BYTE* out) {
    for (std::int64_t i = 0; i < whole; ++i) std::memcpy(out + 24 * i, wide[in[i]].data(), 24);
    for (std::int64_t x = whole * 8; x < rows.Width; ++x) PutTrueColor(out, x, rows.Width, colors[PixelOf1(in, x)]);
  });
  return result;
}

TZrDIBData Convert4BitRGBToTrueColor(const TZrDIBSource& Source, bool UseFMO) {
  constexpr const char* name = "Convert4BitRGBToTrueColor";
  CheckSource(Source, 4, true, name, Combination);
  const TZrRows rows = CheckedRows(Source, name);
  TZrDIBData result = MakeUncompressed(Source, 24, UseFMO, name);
  const auto colors = TrueColors(Source);
  // The six bytes of each source byte's two pixels, written as eight while the
  // row has room for the two spare ones.
  std::array<std::uint64_t, 256> wide{};
  for (int b = 0; b < 256; ++b) wide[b] = colors[b >> 4] | std::uint64_t{colors[b & 0x0F]} << 24;
  const std::int64_t whole = rows.Width / 2, roomy = whole > 0 ? whole - 1 : 0;
  ForEachRow(Source, rows, result, [&](const BYTE* in, BYTE* out) {
    for (std::int64_t i = 0; i < roomy; ++i) std::memcpy(out + 6 * i, &wide[in[i]], 8);
    for (std::int64_t i = roomy; i < whole; ++i) std::memcpy(out + 6 * i, &wide[in[i]], 6);
    if (rows.Width & 1) PutTrueColor(out, rows.Width - 1, rows.Width, colors[in[whole] >> 4]);
  });
  return result;
}

TZrDIBData Convert8BitRGBToTrueColor(const TZrDIBSource& Source, bool UseFMO) {
  constexpr const char* name = "Convert8BitRGBToTrueColor";
  CheckSource(Source, 8, true, name, Combination);
  const TZrRows rows = CheckedRows(Source, name);
  TZrDIBData result = MakeUncompressed(Source, 24, UseFMO, name);
  const auto colors = TrueColors(Source);
  ForEachRow(Source, rows, result, [&](const BYTE* in, BYTE* out) {
    const std::int64_t last = rows.Width - 1;
    for (std::int64_t x = 0; x < last; ++x) std::memcpy(out + 3 * x, &colors[in[x]], 4);
    std::memcpy(out + 3 * last, &colors[in[last]], 3);
  });
  return result;
}

TZrDIBData ConvertTrueColorTo1BitRGB(const TZrDIBSource& Source, bool UseFMO, COLORREF Color) {
  constexpr const char* name = "ConvertTrueColorTo1BitRGB";
  CheckSource(Source, 24, false, name, "Invalid Bitcount");
  const TZrRows rows = CheckedRows(Source, name);
  TZrDIBData result = MakeMask(Source, UseFMO, name);
  const BYTE blue = GetBValue(Color), green = GetGValue(Color), red = GetRValue(Color);
  ForEachRow(Source, rows, result, [&](const BYTE* in, BYTE* out) {
    PackMask(out, rows.Width, [&](std::int64_t x) {
      const BYTE* p = in + 3 * x;
      return p[0] == blue && p[1] == green && p[2] == red;
    });
  });
  return result;
}

TZrDIBData Convert8BitTo1BitRGB(const TZrDIBSource& Source, bool UseFMO, COLORREF Color) {
  constexpr const char* name = "Convert8BitTo1BitRGB";
  CheckSource(Source, 8, true, name, "Invalid Bitcount or Compression");
  const TZrRows rows = CheckedRows(Source, name);
  TZrDIBData result = MakeMask(Source, UseFMO, name);
  const auto white = MaskTable(Source, Color);
  ForEachRow(Source, rows, result, [&](const BYTE* in, BYTE* out) {
    PackMask(out, rows.Width, [&](std::int64_t x) { return white[in[x]]; });
  });
  return result;
}

TZrDIBData Convert4BitRGBTo1BitRGB(const TZrDIBSource& Source, bool UseFMO, COLORREF Color) {
  constexpr const char* name = "Convert4BitRGBTo1BitRGB";
  CheckSource(Source, 4, true, name, "Invalid Bitcount");
  const TZrRows rows = CheckedRows(Source, name);
  TZrDIBData result = MakeMask(Source, UseFMO, name);
  const auto white = MaskTable(Source, Color);
  ForEachRow(Source, rows, result, [&](const BYTE* in, BYTE* out) {
    PackMask(out, rows.Width, [&](std::int64_t x) { return white[PixelOf4(in, x)]; });
  });
  return result;
}
