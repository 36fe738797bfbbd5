#pragma once
// What the BMP fuzz targets share: a bound on the pixels a header may ask for,
// and what content written and read back must keep.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "dib/ZrDIB.h"

namespace bmp_fuzz {

// Headers that ask for more than this many pixel bytes are left out, so that
// legitimate large pictures do not hit the fuzzer's memory limit.
constexpr std::int64_t MaxPixelBytes = 64 << 20;

inline std::uint32_t Read32(const std::uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Whether a picture of these sizes would pass MaxPixelBytes; 16 and 32 bits are
// read into 24-bit rows.
inline bool TooManyPixelBytes(std::int64_t Width, std::int64_t Height, std::int64_t Bits) {
  if (Width <= 0) return false;
  const std::int64_t row = (std::max<std::int64_t>(Bits, 24) * Width + 31) / 32 * 4;
  return row > MaxPixelBytes || Height > MaxPixelBytes / row;
}

// Whether Again, read back from what DIB wrote, has its pixels and colours: a
// colour table of biClrUsed 0 went out whole.
inline bool SameContent(const TZrInternalDIB& DIB, const TZrInternalDIB& Again) {
  const auto& h = DIB.BitmapInfo.bmiHeader;
  const auto& g = Again.BitmapInfo.bmiHeader;
  const DWORD colors = h.biClrUsed != 0 ? h.biClrUsed : static_cast<DWORD>(NumColorsOf(h.biBitCount));
  return g.biBitCount == h.biBitCount && g.biCompression == h.biCompression && g.biClrUsed == colors &&
         std::memcmp(Again.BitmapInfo.bmiColors, DIB.BitmapInfo.bmiColors, colors * sizeof(RGBQUAD)) == 0 &&
         Again.ImageSize == DIB.ImageSize &&
         std::memcmp(Again.Bits, DIB.Bits, static_cast<std::size_t>(DIB.ImageSize)) == 0;
}

}  // namespace bmp_fuzz
