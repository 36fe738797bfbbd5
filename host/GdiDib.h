#pragma once
// A packed DIB checked once for drawability, and the geometry of one stretch:
// what every device needs before it touches a pixel.

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "host/Windows.h"

// GDI keeps coordinates within 27 bits; larger extents are refused, which also
// keeps every product below in 64-bit range.
inline constexpr long long MaxGdiCoordinate = (1LL << 27) - 1;

struct TDibSource {
  int Width = 0;
  int Height = 0;  // the positive row count
  bool TopDown = false;
  int BitCount = 0;
  DWORD Compression = BI_RGB;
  const BYTE* Bits = nullptr;
  std::size_t Stride = 0;  // uncompressed sources only
  // Bytes that may be read from Bits: stride x rows, or biSizeImage for RLE.
  std::size_t ImageSize = 0;
  // Always 256 entries, so any pixel value indexes it; entries past the
  // header's own table are black.
  std::array<RGBQUAD, 256> Colors{};
  int ColorCount = 0;

  bool Indexed() const { return BitCount <= 8; }
  bool Rle() const { return Compression == BI_RLE8 || Compression == BI_RLE4; }
  // Row y of the picture, counted from the top; uncompressed sources only.
  const BYTE* Row(int y) const { return Bits + Stride * static_cast<std::size_t>(TopDown ? y : Height - 1 - y); }
  // The palette index of column x of such a row, high nibble and high bit first.
  BYTE IndexAt(const BYTE* RowBits, long long x) const {
    switch (BitCount) {
      case 8:
        return RowBits[x];
      case 4:
        return (x & 1) ? RowBits[x >> 1] & 0x0F : RowBits[x >> 1] >> 4;
      default:
        return (RowBits[x >> 3] >> (7 - (x & 7))) & 1;
    }
  }
};

// Null for a header this layer cannot draw: a size other than 40, bit counts
// other than 1, 4, 8, 24, compression not paired with its bit count (RLE8 with
// 8, RLE4 with 4, bottom-up only, biSizeImage > 0), non-positive width, zero
// height, sizes past the coordinate range, or no Bits.
std::optional<TDibSource> ParseDib(const BITMAPINFO* Info, const void* Bits);

// Row stride of an uncompressed DIB, or 0 when it would not fit in 31 bits.
std::size_t DibStride(long long Width, int BitCount);

struct TStretchRequest {
  int XDest = 0, YDest = 0, DestWidth = 0, DestHeight = 0;
  // As GDI takes them: for a bottom-up DIB YSrc counts from the bottom row.
  int XSrc = 0, YSrc = 0, SrcWidth = 0, SrcHeight = 0;
};

// One stretch, normalised: both rectangles with positive extents, the source
// in picture coordinates (rows from the top), mirroring as flags.
struct TStretchGeometry {
  long long DestLeft = 0, DestTop = 0, DestWidth = 0, DestHeight = 0;
  long long SrcLeft = 0, SrcTop = 0, SrcWidth = 0, SrcHeight = 0;
  bool MirrorX = false, MirrorY = false;

  // The source column (picture x) sampled by destination column DestX, by
  // nearest neighbour at pixel centres: destination pixel i of n takes source
  // pixel floor((i + 1/2) * m / n) of m. Centres keep a mirrored stretch the
  // mirror of the plain one, and whole-number enlargements exact. May fall
  // outside the picture.
  long long SourceX(long long DestX) const { return Sample(DestX - DestLeft, DestWidth, SrcLeft, SrcWidth, MirrorX); }
  long long SourceY(long long DestY) const { return Sample(DestY - DestTop, DestHeight, SrcTop, SrcHeight, MirrorY); }
  // Source rows of the rectangle that lie inside a picture of Height rows.
  int RowsInside(int Height) const;

 private:
  static long long Sample(long long i, long long dest, long long srcStart, long long src, bool mirror) {
    if (mirror) i = dest - 1 - i;
    return srcStart + (2 * i + 1) * src / (2 * dest);
  }
};

// Null when an extent is zero or out of range.
std::optional<TStretchGeometry> StretchGeometry(const TStretchRequest& Request, const TDibSource& Source);

// One axis of a stretch sampled over the destination coordinates First to
// First + Source.size() - 1: the source coordinate of each by SourceX or
// SourceY, -1 where that falls outside the picture. Every device draws
// through these, so that all of them pick the same source pixels.
struct TAxisSamples {
  long long First = 0;
  std::vector<int> Source;
  bool AllInside = true;
  // The distinct source coordinates sampled, ascending.
  std::vector<int> Distinct() const;
  // For each destination coordinate, the place of its source in Distinct (-1 outside).
  std::vector<int> Places(const std::vector<int>& Distinct) const;
  // For each of Distinct, the destination coordinates that sample it: one
  // run, as sampling is monotonic.
  struct TRun {
    long long First = 0;
    long long Count = 0;
  };
  std::vector<TRun> Runs(const std::vector<int>& Distinct) const;
};
// Destination columns [First, End) against a picture Width wide, rows against one Height high.
TAxisSamples SampleColumns(const TStretchGeometry& G, long long First, long long End, int Width);
TAxisSamples SampleRows(const TStretchGeometry& G, long long First, long long End, int Height);

// The entry of Colors nearest to (r, g, b): squared distance, lowest index on ties.
int NearestColorIndex(const RGBQUAD* Colors, int Count, BYTE Red, BYTE Green, BYTE Blue);
