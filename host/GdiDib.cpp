#include "host/GdiDib.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

std::size_t DibStride(long long Width, int BitCount) {
  if (Width <= 0 || Width > MaxGdiCoordinate) return 0;
  return static_cast<std::size_t>((Width * BitCount + 31) / 32 * 4);
}

std::optional<TDibSource> ParseDib(const BITMAPINFO* Info, const void* Bits) {
  if (!Info || !Bits) return std::nullopt;
  const BITMAPINFOHEADER& h = Info->bmiHeader;
  if (h.biSize != sizeof(BITMAPINFOHEADER)) return std::nullopt;
  const int bits = h.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return std::nullopt;
  const bool pairing = h.biCompression == BI_RGB || (h.biCompression == BI_RLE8 && bits == 8) ||
                       (h.biCompression == BI_RLE4 && bits == 4);
  if (!pairing) return std::nullopt;
  if (h.biWidth <= 0 || h.biWidth > MaxGdiCoordinate || h.biHeight == 0) return std::nullopt;
  const long long rows = std::llabs(static_cast<long long>(h.biHeight));
  if (rows > MaxGdiCoordinate) return std::nullopt;

  TDibSource source;
  source.Width = h.biWidth;
  source.Height = static_cast<int>(rows);
  source.TopDown = h.biHeight < 0;
  source.BitCount = bits;
  source.Compression = h.biCompression;
  source.Bits = static_cast<const BYTE*>(Bits);
  if (source.Rle()) {
    // RLE runs upwards from the bottom row, and without its length the
    // stream has no safe end.
    if (source.TopDown || h.biSizeImage == 0) return std::nullopt;
    source.ImageSize = h.biSizeImage;
  } else {
    source.Stride = DibStride(source.Width, bits);
    const unsigned long long size =
        static_cast<unsigned long long>(source.Stride) * static_cast<unsigned long long>(rows);
    if (size > static_cast<unsigned long long>(std::numeric_limits<std::int32_t>::max())) return std::nullopt;
    source.ImageSize = static_cast<std::size_t>(size);
  }
  if (bits <= 8) {
    const int full = 1 << bits;
    source.ColorCount = h.biClrUsed == 0 ? full : static_cast<int>(std::min<DWORD>(h.biClrUsed, full));
    std::copy_n(Info->bmiColors, source.ColorCount, source.Colors.begin());
    for (auto& c : source.Colors) c.rgbReserved = 0;
  }
  return source;
}

int TStretchGeometry::RowsInside(int Height) const {
  const long long top = std::max<long long>(SrcTop, 0);
  const long long bottom = std::min<long long>(SrcTop + SrcHeight, Height);
  return bottom > top ? static_cast<int>(bottom - top) : 0;
}

std::optional<TStretchGeometry> StretchGeometry(const TStretchRequest& r, const TDibSource& Source) {
  const auto inRange = [](long long v) { return v != 0 && v >= -MaxGdiCoordinate && v <= MaxGdiCoordinate; };
  if (!inRange(r.DestWidth) || !inRange(r.DestHeight) || !inRange(r.SrcWidth) || !inRange(r.SrcHeight))
    return std::nullopt;
  TStretchGeometry g;
  // A negative extent spans the other side of its origin and mirrors.
  const auto normalise = [](long long origin, long long extent, long long& start, long long& size) {
    start = extent < 0 ? origin + extent : origin;
    size = std::llabs(extent);
    return extent < 0;
  };
  const bool dx = normalise(r.XDest, r.DestWidth, g.DestLeft, g.DestWidth);
  const bool dy = normalise(r.YDest, r.DestHeight, g.DestTop, g.DestHeight);
  const bool sx = normalise(r.XSrc, r.SrcWidth, g.SrcLeft, g.SrcWidth);
  long long memoryTop = 0;
  const bool sy = normalise(r.YSrc, r.SrcHeight, memoryTop, g.SrcHeight);
  // Source rows count in memory order; a bottom-up picture's memory starts at its bottom.
  g.SrcTop = Source.TopDown ? memoryTop : Source.Height - memoryTop - g.SrcHeight;
  g.MirrorX = dx != sx;
  g.MirrorY = dy != sy;
  return g;
}

namespace {

template <class TSample>
TAxisSamples SampleAxis(long long First, long long End, int Size, TSample Sample) {
  TAxisSamples axis;
  axis.First = First;
  axis.Source.resize(static_cast<std::size_t>(std::max<long long>(End - First, 0)));
  for (std::size_t i = 0; i < axis.Source.size(); ++i) {
    const long long s = Sample(First + static_cast<long long>(i));
    axis.Source[i] = s >= 0 && s < Size ? static_cast<int>(s) : -1;
    axis.AllInside = axis.AllInside && axis.Source[i] >= 0;
  }
  return axis;
}

}  // namespace

TAxisSamples SampleColumns(const TStretchGeometry& G, long long First, long long End, int Width) {
  return SampleAxis(First, End, Width, [&](long long x) { return G.SourceX(x); });
}

TAxisSamples SampleRows(const TStretchGeometry& G, long long First, long long End, int Height) {
  return SampleAxis(First, End, Height, [&](long long y) { return G.SourceY(y); });
}

std::vector<int> TAxisSamples::Distinct() const {
  std::vector<int> distinct;
  for (const int s : Source)
    if (s >= 0) distinct.push_back(s);
  std::sort(distinct.begin(), distinct.end());
  distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
  return distinct;
}

std::vector<int> TAxisSamples::Places(const std::vector<int>& Distinct) const {
  std::vector<int> places(Source.size(), -1);
  for (std::size_t i = 0; i < Source.size(); ++i)
    if (Source[i] >= 0)
      places[i] = static_cast<int>(std::lower_bound(Distinct.begin(), Distinct.end(), Source[i]) - Distinct.begin());
  return places;
}

std::vector<TAxisSamples::TRun> TAxisSamples::Runs(const std::vector<int>& Distinct) const {
  std::vector<TRun> runs(Distinct.size());
  const std::vector<int> places = Places(Distinct);
  for (std::size_t i = 0; i < places.size(); ++i) {
    if (places[i] < 0) continue;
    TRun& run = runs[static_cast<std::size_t>(places[i])];
    if (run.Count++ == 0) run.First = First + static_cast<long long>(i);
  }
  return runs;
}

int NearestColorIndex(const RGBQUAD* Colors, int Count, BYTE Red, BYTE Green, BYTE Blue) {
  int best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (int i = 0; i < Count; ++i) {
    const int dr = Colors[i].rgbRed - Red, dg = Colors[i].rgbGreen - Green, db = Colors[i].rgbBlue - Blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
      if (distance == 0) break;
    }
  }
  return best;
}
