#pragma once
// RLE4 and RLE8 pixel streams decoded for drawing: one byte per pixel and a
// mark for each pixel the stream set, since skipped pixels leave the
// destination as it was.

#include <optional>
#include <vector>

#include "host/GdiDib.h"

struct TDecodedRle {
  int Width = 0;
  int Height = 0;
  std::vector<BYTE> Pixels;   // Width x Height, rows from the top
  std::vector<BYTE> Covered;  // 1 where the stream set the pixel

  const BYTE* Row(int y) const { return Pixels.data() + static_cast<std::size_t>(y) * Width; }
  const BYTE* CoveredRow(int y) const { return Covered.data() + static_cast<std::size_t>(y) * Width; }
};

// Largest picture decoded; a header asking for more is not drawn.
inline constexpr long long MaxRlePixels = 1LL << 26;

// Reads no byte past Source.ImageSize and writes no pixel outside the picture:
// runs past a row's end are cut, a stream that runs out or moves past the top
// simply ends. Null for a non-RLE source or one too large to decode.
std::optional<TDecodedRle> DecodeRle(const TDibSource& Source);
