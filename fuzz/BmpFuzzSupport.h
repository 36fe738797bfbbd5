#pragma once
// What the BMP fuzz targets share: a bound on the pixels a header may ask for,
// and which loaded content can be expected to write back as it was read.

#include <algorithm>
#include <cstdint>

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

// Only content of a pixel format this library knows is written as it was read:
// impossible pairs such as 24 bits with masks are kept but not round-tripped.
inline bool KnownFormat(const TZrInternalDIB& DIB) {
  try {
    DIB.GetPixelFormat();
    return true;
  } catch (const EZrDIBInvalidDIB&) {
    return false;
  }
}

}  // namespace bmp_fuzz
