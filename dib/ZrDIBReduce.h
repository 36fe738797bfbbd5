#pragma once
// Pieces of the colour-reducing converters shared with their tests and the
// half-tone ones.

#include <cstdint>

#include "dib/ZrDIBDivide.h"

// A histogram cell of the Low method: what a 5-6-5 key's pixels add up to.
// 64 bits, as a picture may put more pixels in one cell than 32-bit sums hold.
struct TZrLowCell {
  std::uint64_t Red = 0;    // of red mod 8
  std::uint64_t Green = 0;  // of green mod 4
  std::uint64_t Blue = 0;   // of blue mod 8
  std::uint64_t Count = 0;
};

// The key's colour: its high bits and the truncated mean of the low ones.
TColorCell LowCellOf(std::int32_t Key, const TZrLowCell& Cell);

// Writes 8-bit or 4-bit indexes (high nibble first) of a row.
template <class IndexOf>
void PutIndexes(BYTE* Out, std::int64_t Width, int BitCount, IndexOf&& Index) {
  if (BitCount == 8) {
    for (std::int64_t x = 0; x < Width; ++x) Out[x] = Index(x);
    return;
  }
  const std::int64_t pairs = Width / 2;
  for (std::int64_t i = 0; i < pairs; ++i)
    Out[i] = static_cast<BYTE>(Index(2 * i) << 4 | Index(2 * i + 1));
  if (Width & 1) Out[pairs] = static_cast<BYTE>(Index(Width - 1) << 4);
}

// The blue, green, red bytes of a 24-bit row's pixel x as a packed colour.
inline TZrPackedColor TrueColorAt(const BYTE* Row, std::int64_t x) {
  const BYTE* p = Row + 3 * x;
  return p[0] | (TZrPackedColor{p[1]} << 8) | (TZrPackedColor{p[2]} << 16);
}
