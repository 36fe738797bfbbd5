#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <array>
#include <climits>
#include <vector>

#include "host/Gdi.h"
#include "host/qt/PainterDevice.h"
#include "tests/host/GdiTestSupport.h"
#include "tests/host/qt/QtTestApplication.h"

namespace {

using gdi_test::RleDib;
using gdi_test::TDib;
using gdi_test::TestColor;
using gdi_test::TestRgb;
using gdi_test::TMemorySurface;

QRgb Rgb(int index) {
  const RGBQUAD c = TestColor(index);
  return qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

constexpr QRgb Background = 0xFF102030;

// Paints on a fresh image through a painter device context.
class PainterDC : public ::testing::Test {
 protected:
  void Start(int width, int height) {
    TestApplication();
    Target = QImage(width, height, QImage::Format_RGB32);
    Target.fill(Background);
    Painter = std::make_unique<QPainter>(&Target);
    Dc = std::make_unique<TPainterDC>(*Painter);
  }
  QImage Finish() {
    Dc.reset();
    Painter.reset();
    return Target;
  }
  QImage Target;
  std::unique_ptr<QPainter> Painter;
  std::unique_ptr<TPainterDC> Dc;
};

// Picture value of (x, y) in the test pictures below.
int Value(int x, int y) {
  return 16 * y + x + 1;
}

TDib Picture(int width, int height, bool topDown) {
  TDib dib(width, topDown ? -height : height, 8);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) dib.Set8(x, y, static_cast<BYTE>(Value(x, y)));
  return dib;
}

TEST_F(PainterDC, BottomUpEightBitDoubledPixelExact) {
  for (const bool topDown : {false, true}) {
    Start(10, 8);
    const TDib dib = Picture(4, 3, topDown);
    EXPECT_EQ(dib.DrawTo(Dc->Handle(), 1, 1, 8, 6), 3);
    const QImage out = Finish();
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 10; ++x) {
        const bool inside = x >= 1 && x < 9 && y >= 1 && y < 7;
        ASSERT_EQ(out.pixel(x, y), inside ? Rgb(Value((x - 1) / 2, (y - 1) / 2)) : Background)
            << x << "," << y << " top-down " << topDown;
      }
  }
}

TEST_F(PainterDC, NegativeExtentsMirrorAndThePainterIsLeftAsItWas) {
  Start(4, 3);
  Painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
  Painter->translate(1, 0);
  const TDib dib = Picture(3, 3, false);
  dib.DrawTo(Dc->Handle(), 3, 3, -3, -3);  // columns 0..2, which the translation moves to 1..3
  EXPECT_TRUE(Painter->testRenderHint(QPainter::SmoothPixmapTransform));
  EXPECT_EQ(Painter->transform(), QTransform::fromTranslate(1, 0));
  const QImage out = Finish();
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(out.pixel(0, y), Background);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(out.pixel(x + 1, y), Rgb(Value(2 - x, 2 - y))) << x << "," << y;
  }
}

TEST_F(PainterDC, SourceRectangleOfABottomUpDib) {
  Start(2, 2);
  const TDib dib = Picture(4, 4, false);
  // Memory rows 1..2 from the bottom are picture rows 1..2; columns 2..3.
  EXPECT_EQ(
      StretchDIBits(Dc->Handle(), 0, 0, 2, 2, 2, 1, 2, 2, dib.Bits.data(), dib.Info.get(), DIB_RGB_COLORS, SRCCOPY), 2);
  const QImage out = Finish();
  EXPECT_EQ(out.pixel(0, 0), Rgb(Value(2, 1)));
  EXPECT_EQ(out.pixel(1, 1), Rgb(Value(3, 2)));
}

TEST_F(PainterDC, OneFourAndTwentyFourBitSources) {
  Start(10, 3);
  TDib one(9, 1, 1);
  for (int x = 0; x < 9; ++x) one.Set1(x, 0, x % 2 == 0);
  TDib four(3, -1, 4);
  four.Set4(0, 0, 7);
  four.Set4(1, 0, 0);
  four.Set4(2, 0, 12);
  TDib rgb(2, 1, 24);
  rgb.Set24(0, 0, RGB(10, 20, 30));
  rgb.Set24(1, 0, RGB(250, 128, 1));
  EXPECT_EQ(one.DrawTo(Dc->Handle(), 0, 0, 9, 1), 1);
  EXPECT_EQ(four.DrawTo(Dc->Handle(), 0, 1, 6, 1), 1);
  EXPECT_EQ(rgb.DrawTo(Dc->Handle(), 0, 2, 2, 1), 1);
  const QImage out = Finish();
  for (int x = 0; x < 9; ++x) EXPECT_EQ(out.pixel(x, 0), Rgb(x % 2 == 0 ? 1 : 0)) << x;
  const int nibbles[] = {7, 7, 0, 0, 12, 12};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(out.pixel(x, 1), Rgb(nibbles[x])) << x;
  EXPECT_EQ(out.pixel(0, 2), qRgb(10, 20, 30));
  EXPECT_EQ(out.pixel(1, 2), qRgb(250, 128, 1));
}

TEST_F(PainterDC, RleSkippedPixelsKeepTheBackground) {
  Start(4, 2);
  const auto dib = RleDib(2, 1, 8, {0x00, 0x02, 0x01, 0x00, 0x01, 0x04, 0x00, 0x01});
  EXPECT_EQ(dib.DrawTo(Dc->Handle(), 0, 0, 4, 2), 1);
  const auto rle4 = RleDib(3, 1, 4, {0x03, 0x56});  // runs out before its end
  const QImage out = Finish();
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(out.pixel(x, y), x < 2 ? Background : Rgb(4)) << x << "," << y;
  Start(3, 1);
  EXPECT_EQ(rle4.DrawTo(Dc->Handle(), 0, 0, 3, 1), 1);
  const QImage rle4Out = Finish();
  EXPECT_EQ(rle4Out.pixel(0, 0), Rgb(5));
  EXPECT_EQ(rle4Out.pixel(1, 0), Rgb(6));
  EXPECT_EQ(rle4Out.pixel(2, 0), Rgb(5));
}

TEST_F(PainterDC, RefusedHeadersDrawNothing) {
  Start(2, 2);
  TDib dib = Picture(2, 2, false);
  dib.Info->bmiHeader.biBitCount = 32;
  EXPECT_EQ(dib.DrawTo(Dc->Handle(), 0, 0, 2, 2), 0);
  const QImage out = Finish();
  EXPECT_EQ(out.pixel(0, 0), Background);
  EXPECT_EQ(out.pixel(1, 1), Background);
}

TEST_F(PainterDC, FillRectAndGetPixel) {
  Start(3, 3);
  const HBRUSH brush = CreateSolidBrush(RGB(200, 100, 50));
  const TRect r = Rect(1, 1, 3, 2);
  EXPECT_TRUE(FillRect(Dc->Handle(), &r, brush));
  EXPECT_EQ(GetPixel(Dc->Handle(), 2, 1), RGB(200, 100, 50));
  EXPECT_EQ(GetPixel(Dc->Handle(), 0, 0), RGB(0x10, 0x20, 0x30));
  EXPECT_EQ(GetPixel(Dc->Handle(), 3, 0), CLR_INVALID);
  DeleteObject(brush);
  const QImage out = Finish();
  EXPECT_EQ(out.pixel(1, 1), qRgb(200, 100, 50));
  EXPECT_EQ(out.pixel(1, 2), Background);
}

TEST_F(PainterDC, FillRectAcrossTheWholeCoordinateRangeIsClipped) {
  Start(3, 3);
  const HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  const TRect rects[] = {Rect(-1, 0, INT_MAX, 1), Rect(INT_MIN, 2, INT_MAX, INT_MAX), Rect(INT_MAX - 1, 1, INT_MAX, 2)};
  for (const TRect& r : rects) EXPECT_TRUE(FillRect(Dc->Handle(), &r, brush));
  DeleteObject(brush);
  const QImage out = Finish();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(out.pixel(x, y), y == 1 ? Background : qRgb(1, 2, 3)) << x << "," << y;
}

// A bottom-up 8-bit picture of the given rows (from the top), plain or as an
// RLE8 stream of one-pixel runs.
TDib PictureOf(const std::vector<std::vector<int>>& rows, bool rle) {
  const int width = static_cast<int>(rows[0].size()), height = static_cast<int>(rows.size());
  if (!rle) {
    TDib dib(width, height, 8);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) dib.Set8(x, y, static_cast<BYTE>(rows[y][x]));
    return dib;
  }
  std::vector<BYTE> stream;
  for (int y = height; y-- > 0;) {
    for (const int v : rows[y]) stream.insert(stream.end(), {0x01, static_cast<BYTE>(v)});
    stream.insert(stream.end(), {0x00, 0x00});
  }
  stream.insert(stream.end(), {0x00, 0x01});
  return RleDib(width, height, 8, stream);
}

struct TCall {
  int XDest, YDest, DestWidth, DestHeight, XSrc, YSrc, SrcWidth, SrcHeight;
};

// The picture values a call leaves on a w x h surface whose row y held 200 + y
// before, row by row from the top; -1 where a pixel kept its row's value.
// Memory device context first, then the painter.
std::array<std::vector<int>, 2> DrawOnBoth(const TDib& dib, int w, int h, const TCall& c) {
  const auto call = [&](HDC dc) {
    return StretchDIBits(dc, c.XDest, c.YDest, c.DestWidth, c.DestHeight, c.XSrc, c.YSrc, c.SrcWidth, c.SrcHeight,
                         dib.Bits.data(), dib.Info.get(), DIB_RGB_COLORS, SRCCOPY);
  };
  std::array<std::vector<int>, 2> seen;
  TMemorySurface surface(w, h, 8);
  for (int y = 0; y < h; ++y) {
    const HBRUSH brush = CreateSolidBrush(TestRgb(200 + y));
    const TRect row = Rect(0, y, w, y + 1);
    FillRect(surface.Dc, &row, brush);
    DeleteObject(brush);
  }
  EXPECT_GT(call(surface.Dc), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) seen[0].push_back(surface.Index(x, y) == 200 + y ? -1 : surface.Index(x, y));

  TestApplication();
  QImage target(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) target.setPixel(x, y, Rgb(200 + y));
  {
    QPainter painter(&target);
    const TPainterDC dc(painter);
    EXPECT_GT(call(dc.Handle()), 0);
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int v = qRed(target.pixel(x, y));
      seen[1].push_back(target.pixel(x, y) != Rgb(v) ? -2 : v == 200 + y ? -1 : v);
    }
  return seen;
}

TEST(StretchDIBitsOnEveryDevice, SamplesTheSameSourcePixelsAtPixelCentres) {
  // Destination pixel i of n takes source pixel floor((i + 1/2) * m / n) of m.
  const std::vector<std::vector<int>> row4 = {{20, 21, 22, 23}}, row5 = {{20, 21, 22, 23, 24}},
                                      row7 = {{20, 21, 22, 23, 24, 25, 26}}, row3 = {{20, 21, 22}},
                                      row2 = {{20, 21}}, column4 = {{20}, {30}, {40}, {50}},
                                      square3 = {{20, 21, 22}, {30, 31, 32}, {40, 41, 42}};
  struct TCase {
    const char* Name;
    const std::vector<std::vector<int>>& Rows;
    int W, H;
    TCall Call;
    std::vector<int> Expected;
  };
  const TCase cases[] = {
      {"4 to 3", row4, 3, 1, {0, 0, 3, 1, 0, 0, 4, 1}, {20, 22, 23}},
      {"4 to 3 mirrored", row4, 3, 1, {3, 0, -3, 1, 0, 0, 4, 1}, {23, 22, 20}},
      {"4 rows to 3", column4, 1, 3, {0, 0, 1, 3, 0, 0, 1, 4}, {20, 40, 50}},
      {"5 to 3", row5, 3, 1, {0, 0, 3, 1, 0, 0, 5, 1}, {20, 22, 24}},
      {"7 to 4", row7, 4, 1, {0, 0, 4, 1, 0, 0, 7, 1}, {20, 22, 24, 26}},
      {"2 to 3", row2, 3, 1, {0, 0, 3, 1, 0, 0, 2, 1}, {20, 21, 21}},
      {"3 to 5", row3, 5, 1, {0, 0, 5, 1, 0, 0, 3, 1}, {20, 20, 21, 22, 22}},
      {"3 x 3 to 2 x 2", square3, 2, 2, {0, 0, 2, 2, 0, 0, 3, 3}, {20, 22, 40, 42}},
      // Columns whose source lies outside keep what each row held, also on repeated rows.
      {"partly outside, rows doubled", row2, 2, 2, {0, 0, 2, 2, 1, 0, 2, 1}, {21, -1, 21, -1}},
      {"partly outside, shrunk", row4, 3, 1, {0, 0, 3, 1, 1, 0, 4, 1}, {21, 23, -1}},
  };
  for (const auto& c : cases)
    for (const bool rle : {false, true}) {
      const auto seen = DrawOnBoth(PictureOf(c.Rows, rle), c.W, c.H, c.Call);
      EXPECT_EQ(seen[0], c.Expected) << c.Name << (rle ? ", RLE" : "") << ", memory device context";
      EXPECT_EQ(seen[1], c.Expected) << c.Name << (rle ? ", RLE" : "") << ", painter";
    }
}

TEST(StretchDIBitsOnEveryDevice, RleCostsWhatIsSampledNotThePictureSize) {
  // A picture of 2^54 pixels whose bottom-left corner is drawn: decoding it
  // whole is out of reach, and needless.
  const int side = static_cast<int>(MaxGdiCoordinate);
  auto dib = RleDib(1, 1, 8, {0x02, 0x07, 0x00, 0x00, 0x01, 0x09, 0x00, 0x01});
  dib.Info->bmiHeader.biWidth = dib.Info->bmiHeader.biHeight = side;
  struct TCase {
    TCall Call;
    int W, H;
    std::vector<int> Expected;
  };
  const TCase cases[] = {
      {{0, 0, 3, 1, 0, 0, 3, 1}, 3, 1, {7, 7, -1}},
      {{0, 0, 1, 2, 0, 0, 1, 2}, 1, 2, {9, 7}},
      {{0, 0, 2, 2, 1, 0, 2, 2}, 2, 2, {-1, -1, 7, -1}},
  };
  for (const auto& c : cases) {
    const auto seen = DrawOnBoth(dib, c.W, c.H, c.Call);
    EXPECT_EQ(seen[0], c.Expected) << "memory device context";
    EXPECT_EQ(seen[1], c.Expected) << "painter";
  }
}

}  // namespace
