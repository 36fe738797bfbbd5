#include <gtest/gtest.h>

#include "host/DeviceContext.h"
#include "host/Gdi.h"
#include "host/GdiObjects.h"
#include "tests/host/GdiTestSupport.h"

namespace {

using gdi_test::TDib;
using gdi_test::TestRgb;
using gdi_test::TMemorySurface;

HBITMAP NewSection(int width, int height, int bits) {
  const TDib layout(width, height, bits);
  return CreateDIBSection({}, layout.Info.get(), DIB_RGB_COLORS, nullptr, {}, 0);
}

HPALETTE NewPalette(int entries) {
  LOGPALETTE record;
  record.palNumEntries = static_cast<WORD>(entries);
  return CreatePalette(&record);
}

TEST(MemoryDC, StartsWithTheStockMonochromeBitmapPaletteAndWhiteBrush) {
  const HDC dc = CreateCompatibleDC({});
  ASSERT_TRUE(dc);
  const HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
  EXPECT_EQ(GetObjectType(bitmap), OBJ_BITMAP);
  EXPECT_FALSE(DeleteObject(bitmap));  // stock
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  // One pixel, black or white.
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 0), CLR_INVALID);
  const HBRUSH grey = CreateSolidBrush(RGB(200, 200, 200));
  const TRect one = Rect(0, 0, 1, 1);
  EXPECT_TRUE(FillRect(dc, &one, grey));
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
  FillRect(dc, &one, HBRUSH{GetStockObject(BLACK_BRUSH)});
  EXPECT_TRUE(DeleteObject(grey));
  // Compatible with another DC, but not with one that does not exist.
  const HDC second = CreateCompatibleDC(dc);
  EXPECT_TRUE(second);
  EXPECT_FALSE(CreateCompatibleDC(HDC{{987654}}));
  EXPECT_TRUE(DeleteDC(second));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_FALSE(GetCurrentObject(dc, OBJ_BITMAP));
}

TEST(MemoryDC, SelectObjectReturnsThePreviousAndHoldsTheSelected) {
  const auto objects = GdiObjectCount();
  const auto contexts = DeviceContextCount();
  const HDC dc = CreateCompatibleDC({});
  const HBITMAP first = NewSection(4, 4, 8), second = NewSection(2, 2, 24);
  const HGDIOBJ stock = SelectObject(dc, first);
  EXPECT_EQ(GetObjectType(stock), OBJ_BITMAP);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), first);
  EXPECT_FALSE(DeleteObject(first));  // selected
  EXPECT_EQ(SelectObject(dc, second), first);
  EXPECT_TRUE(DeleteObject(first));
  EXPECT_EQ(SelectObject(dc, first), HGDIOBJ{});  // deleted: nothing selected, nothing changed
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), second);

  const HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
  EXPECT_FALSE(DeleteObject(brush));
  // Palettes are selected only by SelectPalette.
  const HPALETTE palette = NewPalette(4);
  EXPECT_EQ(SelectObject(dc, palette), HGDIOBJ{});
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), GetStockObject(DEFAULT_PALETTE));

  // Deleting the DC lets go of everything it held.
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_TRUE(DeleteObject(second));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_TRUE(DeleteObject(palette));
  EXPECT_EQ(GdiObjectCount(), objects);
  EXPECT_EQ(DeviceContextCount(), contexts);
}

TEST(MemoryDC, ABitmapBelongsToOneContextAtATime) {
  const HDC a = CreateCompatibleDC({}), b = CreateCompatibleDC({});
  const HBITMAP bitmap = NewSection(2, 2, 8);
  const HGDIOBJ oldA = SelectObject(a, bitmap);
  EXPECT_EQ(SelectObject(b, bitmap), HGDIOBJ{});
  EXPECT_EQ(SelectObject(a, bitmap), bitmap);  // again into its own: fine
  SelectObject(a, oldA);
  const HGDIOBJ oldB = SelectObject(b, bitmap);
  EXPECT_TRUE(oldB);
  // The stock bitmap, though, is in every fresh context.
  EXPECT_EQ(oldA, oldB);
  SelectObject(b, oldB);
  EXPECT_TRUE(DeleteObject(bitmap));
  DeleteDC(a);
  DeleteDC(b);
}

TEST(MemoryDC, SelectPaletteRealizeAndStretchModeRestore) {
  const HDC dc = CreateCompatibleDC({});
  const HPALETTE palette = NewPalette(16);
  const HPALETTE original = SelectPalette(dc, palette, true);
  EXPECT_EQ(original, GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(RealizePalette(dc), 16u);
  EXPECT_FALSE(DeleteObject(palette));
  EXPECT_EQ(SelectPalette(dc, original, true), palette);
  EXPECT_EQ(RealizePalette(dc), 20u);
  EXPECT_TRUE(DeleteObject(palette));
  EXPECT_EQ(SelectPalette(dc, palette, true), HPALETTE{});                                // deleted
  EXPECT_EQ(SelectPalette(dc, HPALETTE{GetStockObject(WHITE_BRUSH)}, true), HPALETTE{});  // not a palette

  const int initial = GetStretchBltMode(dc);
  EXPECT_EQ(initial, BLACKONWHITE);
  EXPECT_EQ(SetStretchBltMode(dc, COLORONCOLOR), initial);
  EXPECT_EQ(GetStretchBltMode(dc), COLORONCOLOR);
  EXPECT_EQ(SetStretchBltMode(dc, 0), 0);
  EXPECT_EQ(SetStretchBltMode(dc, 5), 0);
  EXPECT_EQ(SetStretchBltMode(dc, initial), COLORONCOLOR);
  EXPECT_EQ(GetStretchBltMode(dc), initial);
  DeleteDC(dc);
  EXPECT_EQ(SetStretchBltMode(dc, COLORONCOLOR), 0);
  EXPECT_EQ(RealizePalette(dc), GDI_ERROR);
}

TEST(FillRect, SolidBrushClippedNearestEntryOnAPalette) {
  TMemorySurface paletted(4, 3, 8);
  const RGBQUAD near = gdi_test::TestColor(123);
  const HBRUSH brush = CreateSolidBrush(RGB(near.rgbRed, near.rgbGreen + 1, near.rgbBlue));
  paletted.Fill(TestRgb(0));
  const TRect r = Rect(2, 1, 10, 10);
  EXPECT_TRUE(FillRect(paletted.Dc, &r, brush));
  EXPECT_EQ(paletted.Indexes(), (std::vector<int>{0, 0, 0, 0, 0, 0, 123, 123, 0, 0, 123, 123}));
  const TRect inverted = Rect(3, 3, 0, 0);
  FillRect(paletted.Dc, &inverted, HBRUSH{GetStockObject(BLACK_BRUSH)});
  EXPECT_EQ(paletted.Index(0, 0), 0);
  EXPECT_FALSE(FillRect(paletted.Dc, nullptr, brush));
  EXPECT_FALSE(FillRect(paletted.Dc, &r, HBRUSH{}));

  TMemorySurface rgb(2, 2, 24);
  const TRect all = Rect(0, 0, 2, 2);
  FillRect(rgb.Dc, &all, brush);
  EXPECT_EQ(GetPixel(rgb.Dc, 1, 1), RGB(near.rgbRed, near.rgbGreen + 1, near.rgbBlue));
  EXPECT_EQ(GetPixel(rgb.Dc, 2, 1), CLR_INVALID);
  EXPECT_EQ(GetPixel(rgb.Dc, -1, 0), CLR_INVALID);

  // Packed surfaces: only the pixels inside change.
  TMemorySurface four(3, 1, 4);
  const RGBQUAD five = gdi_test::TestColor(5);
  const HBRUSH nearFive = CreateSolidBrush(RGB(five.rgbRed, five.rgbGreen + 1, five.rgbBlue));
  const TRect middle = Rect(1, 0, 2, 1);
  FillRect(four.Dc, &middle, nearFive);
  EXPECT_EQ(GetPixel(four.Dc, 0, 0), TestRgb(0));
  EXPECT_EQ(GetPixel(four.Dc, 1, 0), TestRgb(5));
  EXPECT_EQ(GetPixel(four.Dc, 2, 0), TestRgb(0));
  TMemorySurface mono(9, 1, 1, {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}});
  const TRect tail = Rect(7, 0, 9, 1);
  FillRect(mono.Dc, &tail, HBRUSH{GetStockObject(WHITE_BRUSH)});
  for (int x = 0; x < 9; ++x) EXPECT_EQ(GetPixel(mono.Dc, x, 0), x >= 7 ? RGB(255, 255, 255) : RGB(0, 0, 0)) << x;
  DeleteObject(nearFive);
  DeleteObject(brush);
}

// A device that records what reaches it.
struct TLog {
  int Stretches = 0;
  TStretchRequest LastRequest;
  int LastWidth = 0;
  COLORREF Filled = 0;
  std::size_t Realized = 0;
  bool Destroyed = false;
};

class TRecordingDevice final : public TDevice {
 public:
  explicit TRecordingDevice(TLog& Log) : FLog(Log) {}
  ~TRecordingDevice() override { FLog.Destroyed = true; }
  int StretchDIBits(const TStretchRequest& Request, const TDibSource& Source) override {
    ++FLog.Stretches;
    FLog.LastRequest = Request;
    FLog.LastWidth = Source.Width;
    return 42;
  }
  void FillRect(const TRect&, COLORREF Color) override { FLog.Filled = Color; }
  COLORREF GetPixel(int X, int Y) override { return RGB(static_cast<BYTE>(X), static_cast<BYTE>(Y), 0); }
  UINT RealizePalette(const std::vector<PALETTEENTRY>& Entries) override {
    FLog.Realized = Entries.size();
    return 7;
  }

 private:
  TLog& FLog;
};

TEST(DeviceContext, ForwardsToItsDeviceAndTakesNoBitmap) {
  TLog log;
  const HDC dc = CreateDeviceContext(std::make_unique<TRecordingDevice>(log));
  ASSERT_TRUE(dc);
  EXPECT_FALSE(CreateDeviceContext(nullptr));
  const TDib dib(3, 2, 8);
  EXPECT_EQ(StretchDIBits(dc, 1, 2, -3, 4, 0, 0, 3, 2, dib.Bits.data(), dib.Info.get(), DIB_RGB_COLORS, SRCCOPY), 42);
  EXPECT_EQ(log.LastRequest.DestWidth, -3);
  EXPECT_EQ(log.LastWidth, 3);
  // Refused headers never reach the device.
  TDib bad(3, 2, 8);
  bad.Info->bmiHeader.biBitCount = 16;
  EXPECT_EQ(StretchDIBits(dc, 0, 0, 3, 2, 0, 0, 3, 2, bad.Bits.data(), bad.Info.get(), DIB_RGB_COLORS, SRCCOPY), 0);
  EXPECT_EQ(log.Stretches, 1);

  const HBRUSH brush = CreateSolidBrush(RGB(9, 8, 7));
  const TRect r = Rect(0, 0, 1, 1);
  EXPECT_TRUE(FillRect(dc, &r, brush));
  EXPECT_EQ(log.Filled, RGB(9, 8, 7));
  EXPECT_EQ(GetPixel(dc, 5, 6), RGB(5, 6, 0));
  const HPALETTE palette = NewPalette(3);
  SelectPalette(dc, palette, true);
  EXPECT_EQ(RealizePalette(dc), 7u);
  EXPECT_EQ(log.Realized, 3u);

  EXPECT_FALSE(GetCurrentObject(dc, OBJ_BITMAP));
  const HBITMAP bitmap = NewSection(1, 1, 8);
  EXPECT_EQ(SelectObject(dc, bitmap), HGDIOBJ{});
  EXPECT_TRUE(DeleteObject(bitmap));

  EXPECT_FALSE(log.Destroyed);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_TRUE(log.Destroyed);
  EXPECT_TRUE(DeleteObject(palette));
  EXPECT_TRUE(DeleteObject(brush));
}

}  // namespace
