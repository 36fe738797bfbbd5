#include "host/GdiSurface.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/Gdi.h"
#include "host/GdiRle.h"

namespace {

BYTE GetPacked(const BYTE* row, long long x, int bits) {
  switch (bits) {
    case 8:
      return row[x];
    case 4:
      return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    default:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
  }
}

void PutPacked(BYTE* row, long long x, int bits, BYTE value) {
  switch (bits) {
    case 8:
      row[x] = value;
      break;
    case 4: {
      BYTE& b = row[x >> 1];
      b = (x & 1) ? static_cast<BYTE>((b & 0xF0) | (value & 0x0F)) : static_cast<BYTE>((b & 0x0F) | (value << 4));
      break;
    }
    default: {
      BYTE& b = row[x >> 3];
      const BYTE mask = static_cast<BYTE>(0x80 >> (x & 7));
      b = value ? static_cast<BYTE>(b | mask) : static_cast<BYTE>(b & ~mask);
      break;
    }
  }
}

int NearestIn(const TSurface& s, BYTE r, BYTE g, BYTE b) {
  return NearestColorIndex(s.Colors.data(), static_cast<int>(s.Colors.size()), r, g, b);
}

// Where each source value lands on the destination: a palette index, or the
// blue, green, red bytes of a 24-bit surface. Built once per call.
struct TColorMapping {
  std::array<BYTE, 256> Index{};
  std::array<std::array<BYTE, 3>, 256> Rgb{};
  std::unordered_map<std::uint32_t, BYTE> Nearest;  // 24-bit source onto a palette

  BYTE NearestFor(const TSurface& dest, const BYTE* bgr) {
    const std::uint32_t key = bgr[0] | (bgr[1] << 8) | (bgr[2] << 16);
    const auto found = Nearest.find(key);
    if (found != Nearest.end()) return found->second;
    const auto index = static_cast<BYTE>(NearestIn(dest, bgr[2], bgr[1], bgr[0]));
    Nearest.emplace(key, index);
    return index;
  }
};

// The pixels of one stretch and the loops that move them, row at a time.
class TStretcher {
 public:
  TStretcher(TSurface& Dest, const TDibSource& Source, TAxisSamples Columns)
      : D(Dest), S(Source), Columns(std::move(Columns)) {
    if (S.Indexed()) {
      for (int v = 0; v < 256; ++v) {
        const RGBQUAD& c = S.Colors[v];
        Map.Rgb[v] = {c.rgbBlue, c.rgbGreen, c.rgbRed};
        if (D.BitCount != 24) Map.Index[v] = NearestIndex(c);
      }
    }
  }

  void DrawRow(long long y, int sy) {
    BYTE* dst = D.Row(static_cast<int>(y));
    const long long x0 = Columns.First;
    // Enlarged rows repeat: copy the row drawn last instead of sampling again,
    // unless some columns fall outside the picture and must keep what they hold.
    if (sy == LastSourceRow && Columns.AllInside && D.BitCount >= 8) {
      const std::size_t bpp = D.BitCount / 8;
      std::memcpy(dst + x0 * bpp, LastRow + x0 * bpp, Columns.Source.size() * bpp);
      return;
    }
    const BYTE* src = S.Row(sy);
    if (S.Indexed())
      DrawIndexedRow(dst, src);
    else
      DrawRgbRow(dst, src);
    LastSourceRow = sy;
    LastRow = dst;
  }

  // An RLE source decoded at the pixels the destination samples, and only there.
  bool DrawRle(const TAxisSamples& Rows) {
    const std::vector<int> columns = Columns.Distinct(), rows = Rows.Distinct();
    const std::vector<int> places = Columns.Places(columns);
    const auto runs = Rows.Runs(rows);
    return DecodeRle(S, columns, rows, [&](const TRleRow& row) {
      const auto& run = runs[static_cast<std::size_t>(std::lower_bound(rows.begin(), rows.end(), row.Y) - rows.begin())];
      for (long long y = run.First; y < run.First + run.Count; ++y) {
        BYTE* dst = D.Row(static_cast<int>(y));
        for (std::size_t i = 0; i < places.size(); ++i) {
          const int c = places[i];
          if (c >= 0 && row.Covered[c]) PutIndex(dst, Columns.First + static_cast<long long>(i), row.Values[c]);
        }
      }
    });
  }

 private:
  // A surface sharing the source's colours, the common case, is served by
  // exact matches; the first entry of a colour wins, as in the search.
  BYTE NearestIndex(const RGBQUAD& c) {
    if (ExactIndex.empty()) {
      for (std::size_t i = D.Colors.size(); i-- > 0;) ExactIndex[Key(D.Colors[i])] = static_cast<BYTE>(i);
    }
    const auto found = ExactIndex.find(Key(c));
    if (found != ExactIndex.end()) return found->second;
    return static_cast<BYTE>(NearestIn(D, c.rgbRed, c.rgbGreen, c.rgbBlue));
  }
  static std::uint32_t Key(const RGBQUAD& c) { return c.rgbBlue | (c.rgbGreen << 8) | (c.rgbRed << 16); }

  void PutIndex(BYTE* dst, long long x, BYTE v) {
    if (D.BitCount == 24)
      std::memcpy(dst + x * 3, Map.Rgb[v].data(), 3);
    else
      PutPacked(dst, x, D.BitCount, Map.Index[v]);
  }

  void DrawIndexedRow(BYTE* dst, const BYTE* src) {
    const std::size_t n = Columns.Source.size();
    const int* cols = Columns.Source.data();
    const long long x0 = Columns.First;
    if (Columns.AllInside && S.BitCount == 8 && D.BitCount == 8) {
      BYTE* out = dst + x0;
      for (std::size_t i = 0; i < n; ++i) out[i] = Map.Index[src[cols[i]]];
      return;
    }
    if (Columns.AllInside && S.BitCount == 8 && D.BitCount == 24) {
      BYTE* out = dst + x0 * 3;
      for (std::size_t i = 0; i < n; ++i, out += 3) std::memcpy(out, Map.Rgb[src[cols[i]]].data(), 3);
      return;
    }
    for (std::size_t i = 0; i < n; ++i)
      if (cols[i] >= 0) PutIndex(dst, x0 + static_cast<long long>(i), S.IndexAt(src, cols[i]));
  }

  void DrawRgbRow(BYTE* dst, const BYTE* src) {
    for (std::size_t i = 0; i < Columns.Source.size(); ++i) {
      const int sx = Columns.Source[i];
      if (sx < 0) continue;
      const long long x = Columns.First + static_cast<long long>(i);
      const BYTE* bgr = src + static_cast<std::size_t>(sx) * 3;
      if (D.BitCount == 24)
        std::memcpy(dst + x * 3, bgr, 3);
      else
        PutPacked(dst, x, D.BitCount, Map.NearestFor(D, bgr));
    }
  }

  TSurface& D;
  const TDibSource& S;
  TAxisSamples Columns;  // the clipped destination columns
  TColorMapping Map;
  std::unordered_map<std::uint32_t, BYTE> ExactIndex;
  long long LastSourceRow = -1;
  const BYTE* LastRow = nullptr;
};

}  // namespace

int StretchToSurface(TSurface& Dest, const TStretchRequest& Request, const TDibSource& Source) {
  const auto geometry = StretchGeometry(Request, Source);
  if (!geometry || !Dest.Bits) return 0;
  const TStretchGeometry& g = *geometry;
  const int rows = g.RowsInside(Source.Height);
  const long long x0 = std::max<long long>(g.DestLeft, 0);
  const long long x1 = std::min<long long>(g.DestLeft + g.DestWidth, Dest.Width);
  const long long y0 = std::max<long long>(g.DestTop, 0);
  const long long y1 = std::min<long long>(g.DestTop + g.DestHeight, Dest.Height);
  if (rows == 0 || x0 >= x1 || y0 >= y1) return rows;

  TStretcher stretcher(Dest, Source, SampleColumns(g, x0, x1, Source.Width));
  const TAxisSamples sampled = SampleRows(g, y0, y1, Source.Height);
  if (Source.Rle()) return stretcher.DrawRle(sampled) ? rows : 0;
  for (std::size_t i = 0; i < sampled.Source.size(); ++i)
    if (sampled.Source[i] >= 0) stretcher.DrawRow(y0 + static_cast<long long>(i), sampled.Source[i]);
  return rows;
}

void FillSurface(TSurface& Dest, const TRect& Rect, COLORREF Color) {
  const int x0 = std::max(Rect.Left, 0), x1 = std::min(Rect.Right, Dest.Width);
  const int y0 = std::max(Rect.Top, 0), y1 = std::min(Rect.Bottom, Dest.Height);
  if (!Dest.Bits || x0 >= x1 || y0 >= y1) return;
  const BYTE r = GetRValue(Color), g = GetGValue(Color), b = GetBValue(Color);
  const BYTE index = Dest.BitCount == 24 ? 0 : static_cast<BYTE>(NearestIn(Dest, r, g, b));
  for (int y = y0; y < y1; ++y) {
    BYTE* row = Dest.Row(y);
    for (int x = x0; x < x1; ++x) {
      if (Dest.BitCount == 24) {
        row[x * 3] = b;
        row[x * 3 + 1] = g;
        row[x * 3 + 2] = r;
      } else {
        PutPacked(row, x, Dest.BitCount, index);
      }
    }
  }
}

COLORREF SurfacePixel(const TSurface& Surface, int X, int Y) {
  if (!Surface.Bits || X < 0 || Y < 0 || X >= Surface.Width || Y >= Surface.Height) return CLR_INVALID;
  const BYTE* row = Surface.Row(Y);
  if (Surface.BitCount == 24) return RGB(row[X * 3 + 2], row[X * 3 + 1], row[X * 3]);
  const BYTE index = GetPacked(row, X, Surface.BitCount);
  if (index >= Surface.Colors.size()) return RGB(0, 0, 0);
  const RGBQUAD& c = Surface.Colors[index];
  return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
}
