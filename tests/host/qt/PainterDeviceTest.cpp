#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "host/Gdi.h"
#include "host/qt/PainterDevice.h"
#include "tests/host/GdiTestSupport.h"
#include "tests/host/qt/QtTestApplication.h"

namespace {

using gdi_test::RleDib;
using gdi_test::TDib;
using gdi_test::TestColor;

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

}  // namespace
