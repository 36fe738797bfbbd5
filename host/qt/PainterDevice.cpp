#include "host/qt/PainterDevice.h"

#include <QImage>
#include <QTransform>
#include <algorithm>
#include <new>
#include <vector>

#include "host/Gdi.h"
#include "host/GdiRle.h"

namespace {

QList<QRgb> ColorTable(const TDibSource& Source, int Count) {
  QList<QRgb> table(Count);
  for (int i = 0; i < Count; ++i) {
    const RGBQUAD& c = Source.Colors[i];
    table[i] = qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
  }
  return table;
}

// The source as a QImage and where its rows lie in the picture: image row 0
// is picture row Top, counting downwards, or upwards when Flipped.
struct TSourceImage {
  QImage Image;
  std::vector<uchar> Buffer;  // for sources Qt cannot read as they are
  int Top = 0;
  bool Flipped = false;
};

// Rows Top..Bottom-1 of the picture. Qt reads 1, 8 and 24 bits in place; 4-bit
// and RLE pixels are converted into a buffer first.
bool MakeSourceImage(const TDibSource& s, int top, int bottom, TSourceImage& out) {
  const int rows = bottom - top;
  try {
    if (s.Rle()) {
      const auto decoded = DecodeRle(s);
      if (!decoded) return false;
      // Pixels the stream skipped are transparent, so they keep what was there.
      out.Buffer.resize(static_cast<std::size_t>(s.Width) * rows * 4);
      auto* argb = reinterpret_cast<QRgb*>(out.Buffer.data());
      for (int y = 0; y < rows; ++y) {
        const BYTE* index = decoded->Row(top + y);
        const BYTE* covered = decoded->CoveredRow(top + y);
        for (int x = 0; x < s.Width; ++x) {
          const RGBQUAD& c = s.Colors[index[x]];
          *argb++ = covered[x] ? qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue) : 0;
        }
      }
      out.Image = QImage(out.Buffer.data(), s.Width, rows, s.Width * 4, QImage::Format_ARGB32);
      out.Top = top;
      return true;
    }
    if (s.BitCount == 4) {
      out.Buffer.resize(static_cast<std::size_t>(s.Width) * rows);
      for (int y = 0; y < rows; ++y) {
        const BYTE* row = s.Row(top + y);
        uchar* line = out.Buffer.data() + static_cast<std::size_t>(y) * s.Width;
        for (int x = 0; x < s.Width; ++x) line[x] = (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
      }
      out.Image = QImage(out.Buffer.data(), s.Width, rows, s.Width, QImage::Format_Indexed8);
      out.Image.setColorTable(ColorTable(s, 256));
      out.Top = top;
      return true;
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  // In place, over all the rows: a bottom-up DIB's memory starts at its bottom row.
  const auto format = s.BitCount == 1   ? QImage::Format_Mono
                      : s.BitCount == 8 ? QImage::Format_Indexed8
                                        : QImage::Format_BGR888;
  out.Image = QImage(s.Bits, s.Width, s.Height, static_cast<qsizetype>(s.Stride), format);
  if (s.BitCount <= 8) out.Image.setColorTable(ColorTable(s, 1 << s.BitCount));
  out.Top = s.TopDown ? 0 : s.Height - 1;
  out.Flipped = !s.TopDown;
  return true;
}

}  // namespace

int TPainterDevice::StretchDIBits(const TStretchRequest& Request, const TDibSource& Source) {
  const auto geometry = StretchGeometry(Request, Source);
  if (!geometry) return 0;
  const TStretchGeometry& g = *geometry;
  const int rows = g.RowsInside(Source.Height);
  // The part of the source rectangle that lies inside the picture.
  const long long left = std::max<long long>(g.SrcLeft, 0),
                  right = std::min<long long>(g.SrcLeft + g.SrcWidth, Source.Width);
  const long long top = std::max<long long>(g.SrcTop, 0),
                  bottom = std::min<long long>(g.SrcTop + g.SrcHeight, Source.Height);
  if (left >= right || top >= bottom) return rows;

  TSourceImage image;
  if (!MakeSourceImage(Source, static_cast<int>(top), static_cast<int>(bottom), image)) return 0;

  // Image -> picture -> destination, mirrors included.
  const QTransform toPicture(1, 0, 0, image.Flipped ? -1 : 1, 0, image.Flipped ? image.Top + 1 : image.Top);
  const double sx = static_cast<double>(g.DestWidth) / static_cast<double>(g.SrcWidth);
  const double sy = static_cast<double>(g.DestHeight) / static_cast<double>(g.SrcHeight);
  const double ax = g.MirrorX ? -sx : sx, ay = g.MirrorY ? -sy : sy;
  const double dx = g.MirrorX ? g.DestLeft + g.DestWidth + g.SrcLeft * sx : g.DestLeft - g.SrcLeft * sx;
  const double dy = g.MirrorY ? g.DestTop + g.DestHeight + g.SrcTop * sy : g.DestTop - g.SrcTop * sy;
  const QTransform toDest(ax, 0, 0, ay, dx, dy);

  const QRectF inPicture(QPointF(left, top), QPointF(right, bottom));
  const QRectF inImage = toPicture.inverted().mapRect(inPicture);
  FPainter.save();
  FPainter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  FPainter.setTransform(toPicture * toDest * FPainter.transform());
  FPainter.drawImage(inImage, image.Image, inImage);
  FPainter.restore();
  return rows;
}

void TPainterDevice::FillRect(const TRect& Rect, COLORREF Color) {
  if (Rect.Right <= Rect.Left || Rect.Bottom <= Rect.Top) return;
  FPainter.fillRect(QRect(Rect.Left, Rect.Top, Rect.Width(), Rect.Height()),
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
