#include "host/qt/PainterDevice.h"

#include <QImage>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "host/Gdi.h"
#include "host/GdiRle.h"

namespace {

// A rectangle in 64 bits: right and bottom exclusive.
struct TArea {
  long long Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Empty() const { return Left >= Right || Top >= Bottom; }
  TArea operator&(const TArea& o) const {
    return {std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right), std::min(Bottom, o.Bottom)};
  }
};

// What the painter can reach, in its own coordinates: the device (and the
// clip), kept within the coordinate range so every extent fits in an int.
TArea Reachable(const QPainter& Painter) {
  const QPaintDevice* device = Painter.device();
  if (!device) return {};
  bool invertible = false;
  const QTransform toLogical = Painter.combinedTransform().inverted(&invertible);
  if (!invertible) return {};
  // Device pixels: a larger area than the logical one where the two differ, never a smaller one.
  const qreal ratio = std::max<qreal>(1, device->devicePixelRatio());
  QRectF area = toLogical.mapRect(QRectF(0, 0, device->width() * ratio, device->height() * ratio));
  if (Painter.hasClipping()) area &= Painter.clipBoundingRect();
  if (area.isEmpty()) return {};
  const auto bound = [](double v) {
    return static_cast<long long>(std::clamp(v, -double(MaxGdiCoordinate), double(MaxGdiCoordinate)));
  };
  return {bound(std::floor(area.left())), bound(std::floor(area.top())), bound(std::ceil(area.right())),
          bound(std::ceil(area.bottom()))};
}

std::array<QRgb, 256> ColorTable(const TDibSource& Source) {
  std::array<QRgb, 256> table{};
  for (int i = 0; i < 256; ++i) {
    const RGBQUAD& c = Source.Colors[i];
    table[i] = qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
  }
  return table;
}

// Samples the source into destination-sized images and paints them unscaled,
// so the painter picks the same source pixels as a memory surface does.
class TPainterStretch {
 public:
  TPainterStretch(QPainter& Painter, const TDibSource& Source, TAxisSamples Columns, TAxisSamples Rows)
      : P(Painter), S(Source), Columns(std::move(Columns)), Rows(std::move(Rows)), Table(ColorTable(Source)) {}

  // Uncompressed pixels, in bands of rows so a large destination needs no image of its size.
  bool Draw() {
    const int width = static_cast<int>(Columns.Source.size());
    const int band = std::max(1, BandPixels / width);
    // Pixels outside the picture stay transparent, so they keep what was there.
    const auto format = Columns.AllInside && Rows.AllInside ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
    const int height = static_cast<int>(Rows.Source.size());
    for (int top = 0; top < height; top += band) {
      QImage image(width, std::min(band, height - top), format);
      if (image.isNull()) return false;
      for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int sy = Rows.Source[static_cast<std::size_t>(top + y)];
        if (sy < 0) {
          std::fill_n(line, width, QRgb{0});
        } else if (y > 0 && sy == Rows.Source[static_cast<std::size_t>(top + y - 1)]) {
          std::memcpy(line, image.scanLine(y - 1), static_cast<std::size_t>(width) * 4);
        } else {
          SampleRow(line, S.Row(sy));
        }
      }
      P.drawImage(QPointF(static_cast<double>(Columns.First), static_cast<double>(Rows.First + top)), image);
    }
    return true;
  }

  // RLE pixels, decoded at the sampled pixels only; each decoded row paints its run of destination rows.
  bool DrawRle() {
    const std::vector<int> columns = Columns.Distinct(), rows = Rows.Distinct();
    const std::vector<int> places = Columns.Places(columns);
    const auto runs = Rows.Runs(rows);
    const int width = static_cast<int>(places.size());
    bool ok = true;
    const bool decoded = DecodeRle(S, columns, rows, [&](const TRleRow& row) {
      const auto& run = runs[static_cast<std::size_t>(std::lower_bound(rows.begin(), rows.end(), row.Y) - rows.begin())];
      QImage image(width, static_cast<int>(run.Count), QImage::Format_ARGB32_Premultiplied);
      if (image.isNull()) {
        ok = false;
        return;
      }
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(0));
      for (int i = 0; i < width; ++i) {
        const int c = places[static_cast<std::size_t>(i)];
        // Pixels the stream skipped are transparent, so they keep what was there.
        line[i] = c >= 0 && row.Covered[c] ? Table[row.Values[c]] : 0;
      }
      for (int y = 1; y < image.height(); ++y) std::memcpy(image.scanLine(y), line, static_cast<std::size_t>(width) * 4);
      P.drawImage(QPointF(static_cast<double>(Columns.First), static_cast<double>(run.First)), image);
    });
    return decoded && ok;
  }

 private:
  static constexpr int BandPixels = 1 << 20;

  void SampleRow(QRgb* line, const BYTE* src) const {
    const std::size_t n = Columns.Source.size();
    const int* cols = Columns.Source.data();
    if (S.BitCount == 24) {
      for (std::size_t i = 0; i < n; ++i) {
        if (cols[i] < 0) {
          line[i] = 0;
          continue;
        }
        const BYTE* bgr = src + static_cast<std::size_t>(cols[i]) * 3;
        line[i] = qRgb(bgr[2], bgr[1], bgr[0]);
      }
    } else if (S.BitCount == 8 && Columns.AllInside) {
      for (std::size_t i = 0; i < n; ++i) line[i] = Table[src[cols[i]]];
    } else {
      for (std::size_t i = 0; i < n; ++i) line[i] = cols[i] < 0 ? 0 : Table[S.IndexAt(src, cols[i])];
    }
  }

  QPainter& P;
  const TDibSource& S;
  TAxisSamples Columns;
  TAxisSamples Rows;
  std::array<QRgb, 256> Table;
};

}  // namespace

int TPainterDevice::StretchDIBits(const TStretchRequest& Request, const TDibSource& Source) {
  const auto geometry = StretchGeometry(Request, Source);
  if (!geometry) return 0;
  const TStretchGeometry& g = *geometry;
  const int rows = g.RowsInside(Source.Height);
  const TArea dest{g.DestLeft, g.DestTop, g.DestLeft + g.DestWidth, g.DestTop + g.DestHeight};
  const TArea area = dest & Reachable(FPainter);
  if (rows == 0 || area.Empty()) return rows;

  TPainterStretch stretch(FPainter, Source, SampleColumns(g, area.Left, area.Right, Source.Width),
                          SampleRows(g, area.Top, area.Bottom, Source.Height));
  FPainter.save();
  FPainter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const bool drawn = Source.Rle() ? stretch.DrawRle() : stretch.Draw();
  FPainter.restore();
  return drawn ? rows : 0;
}

void TPainterDevice::FillRect(const TRect& Rect, COLORREF Color) {
  const TArea area = TArea{Rect.Left, Rect.Top, Rect.Right, Rect.Bottom} & Reachable(FPainter);
  if (area.Empty()) return;
  FPainter.fillRect(QRect(static_cast<int>(area.Left), static_cast<int>(area.Top), static_cast<int>(area.Right - area.Left),
                          static_cast<int>(area.Bottom - area.Top)),
                    QColor(GetRValue(Color), GetGValue(Color), GetBValue(Color)));
}

COLORREF TPainterDevice::GetPixel(int X, int Y) {
  auto* device = FPainter.device();
  if (!device || device->devType() != QInternal::Image) return CLR_INVALID;
  const auto* target = static_cast<const QImage*>(device);
  const QPoint at = FPainter.transform().map(QPoint(X, Y));
  if (!target->valid(at)) return CLR_INVALID;
  const QRgb c = target->pixel(at);
  return RGB(static_cast<BYTE>(qRed(c)), static_cast<BYTE>(qGreen(c)), static_cast<BYTE>(qBlue(c)));
}

TPainterDC::TPainterDC(QPainter& Painter) : FHandle(CreateDeviceContext(std::make_unique<TPainterDevice>(Painter))) {}

TPainterDC::~TPainterDC() {
  DeleteDC(FHandle);
}
