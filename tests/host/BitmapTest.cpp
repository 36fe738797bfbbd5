// The framework's bitmap over DIB sections, and the GDI calls that read bitmaps back.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/Bitmap.h"
#include "host/DeviceContext.h"
#include "host/Gdi.h"
#include "host/GdiObjects.h"

namespace {

HPALETTE Palette(int Count, int Seed = 0) {
  LOGPALETTE record;
  record.palNumEntries = static_cast<WORD>(Count);
  for (int i = 0; i < Count; ++i)
    record.palPalEntry[i] = {static_cast<BYTE>(i + Seed), static_cast<BYTE>(100 + i), static_cast<BYTE>(200 - i), 0};
  return CreatePalette(&record);
}

BITMAP RecordOf(const TBitmap& Bitmap) {
  BITMAP record;
  EXPECT_EQ(GetObject(Bitmap.GetHandle(), sizeof record, &record), static_cast<int>(sizeof record));
  return record;
}

// Row y from the top of the bitmap's bottom-up section.
BYTE* RowOf(const TBitmap& Bitmap, int y) {
  const BITMAP r = RecordOf(Bitmap);
  return static_cast<BYTE*>(r.bmBits) + r.bmWidthBytes * (r.bmHeight - 1 - y);
}

BITMAPINFO Request(int Width, int Height, int Bits) {
  BITMAPINFO info;
  info.bmiHeader.biSize = 40;
  info.bmiHeader.biWidth = Width;
  info.bmiHeader.biHeight = Height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(Bits);
  return info;
}

}  // namespace

TEST(BitmapTest, GetObjectDescribesEachFormat) {
  struct TCase {
    TPixelFormat Format;
    int Bits;
    int Stride;  // of 13 pixels, padded to 4 bytes
  };
  for (const TCase c : {TCase{TPixelFormat::pf1bit, 1, 4}, TCase{TPixelFormat::pf4bit, 4, 8},
                        TCase{TPixelFormat::pf8bit, 8, 16}, TCase{TPixelFormat::pf24bit, 24, 40},
                        TCase{TPixelFormat::pfDevice, 24, 40}}) {
    SCOPED_TRACE(c.Bits);
    TBitmap bitmap;
    bitmap.SetPixelFormat(c.Format);
    EXPECT_TRUE(bitmap.GetEmpty());
    EXPECT_FALSE(bitmap.GetHandle());
    bitmap.SetWidth(13);
    EXPECT_TRUE(bitmap.GetEmpty());  // no height yet
    bitmap.SetHeight(6);
    ASSERT_FALSE(bitmap.GetEmpty());
    const BITMAP r = RecordOf(bitmap);
    EXPECT_EQ(r.bmWidth, 13);
    EXPECT_EQ(r.bmHeight, 6);
    EXPECT_EQ(r.bmPlanes, 1);
    EXPECT_EQ(r.bmBitsPixel, c.Bits);
    EXPECT_EQ(r.bmWidthBytes, c.Stride);
    EXPECT_EQ(GetObject(bitmap.GetHandle(), 0, nullptr), static_cast<int>(sizeof(BITMAP)));
    BITMAP small;
    EXPECT_EQ(GetObject(bitmap.GetHandle(), sizeof small - 1, &small), 0);
  }
  const HPALETTE palette = Palette(7);
  WORD entries = 0;
  EXPECT_EQ(GetObject(palette, sizeof entries, &entries), 2);
  EXPECT_EQ(entries, 7);
  DeleteObject(palette);
  EXPECT_EQ(GetObject(palette, sizeof entries, &entries), 0);
}

TEST(BitmapTest, GetDIBitsCopiesRowsAndColourTable) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::pf4bit);
  bitmap.SetPalette(Palette(16));
  bitmap.SetWidth(3);
  bitmap.SetHeight(4);
  for (int y = 0; y < 4; ++y) {
    BYTE* row = RowOf(bitmap, y);
    row[0] = static_cast<BYTE>((y * 3) << 4 | (y * 3 + 1));  // pixels 0 and 1
    row[1] = static_cast<BYTE>((y * 3 + 2) << 4);          // pixel 2
  }
  const HDC dc = GetDC({});
  std::vector<BYTE> bits(4 * 4, 0xEE);
  BITMAPINFO info = Request(3, 4, 4);
  EXPECT_EQ(GetDIBits(dc, bitmap.GetHandle(), 0, 4, bits.data(), &info, DIB_RGB_COLORS), 4);
  EXPECT_EQ(info.bmiHeader.biClrUsed, 0u);  // left as asked
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(info.bmiColors[i].rgbRed, i);
    EXPECT_EQ(info.bmiColors[i].rgbGreen, 100 + i);
    EXPECT_EQ(info.bmiColors[i].rgbBlue, 200 - i);
  }
  for (int y = 0; y < 4; ++y) {  // bottom-up: the last row first
    EXPECT_EQ(bits[static_cast<std::size_t>((3 - y) * 4)], (y * 3) << 4 | (y * 3 + 1));
    EXPECT_EQ(bits[static_cast<std::size_t>((3 - y) * 4 + 1)], (y * 3 + 2) << 4);
  }

  // Top-down, from scan 1 on, as many as there are.
  info = Request(3, -4, 4);
  std::fill(bits.begin(), bits.end(), 0);
  EXPECT_EQ(GetDIBits(dc, bitmap.GetHandle(), 1, 10, bits.data(), &info, DIB_RGB_COLORS), 3);
  EXPECT_EQ(bits[0], (1 * 3) << 4 | (1 * 3 + 1));
  EXPECT_EQ(bits[8], (3 * 3) << 4 | (3 * 3 + 1));

  // At 24 bits: the colours of the pixels.
  info = Request(3, -4, 24);
  std::vector<BYTE> rgb(12 * 4);
  EXPECT_EQ(GetDIBits(dc, bitmap.GetHandle(), 0, 4, rgb.data(), &info, DIB_RGB_COLORS), 4);
  const int value = 2 * 3 + 2;  // row 2, pixel 2
  EXPECT_EQ(rgb[2 * 12 + 6], 200 - value);
  EXPECT_EQ(rgb[2 * 12 + 7], 100 + value);
  EXPECT_EQ(rgb[2 * 12 + 8], value);

  // What it cannot do, it refuses.
  BITMAPINFO wide = Request(4, 4, 4), other = Request(3, 4, 8), packed = Request(3, 4, 4);
  packed.bmiHeader.biCompression = BI_RLE4;
  for (BITMAPINFO* refused : {&wide, &other, &packed})
    EXPECT_EQ(GetDIBits(dc, bitmap.GetHandle(), 0, 4, bits.data(), refused, DIB_RGB_COLORS), 0);
  info = Request(3, 4, 4);
  EXPECT_EQ(GetDIBits(dc, bitmap.GetHandle(), 4, 1, bits.data(), &info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(GetDIBits(dc, bitmap.GetHandle(), 0, 4, nullptr, &info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(GetDIBits(HDC{{12345}}, bitmap.GetHandle(), 0, 4, bits.data(), &info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(ReleaseDC({}, dc), 1);
  EXPECT_EQ(ReleaseDC({}, dc), 0);
  EXPECT_FALSE(GetDC(HWND{{7}}));
}

TEST(BitmapTest, ChangesKeepPixelsAndHandlesAreOwned) {
  const auto objects = GdiObjectCount();
  const auto contexts = DeviceContextCount();
  {
    TBitmap bitmap;
    bitmap.SetPixelFormat(TPixelFormat::pf8bit);
    bitmap.SetPalette(Palette(4));
    bitmap.SetWidth(5);
    bitmap.SetHeight(3);
    RowOf(bitmap, 0)[1] = 2;
    TCanvas& canvas = bitmap.GetCanvas();
    EXPECT_EQ(GetPixel(canvas.GetHandle(), 1, 0), RGB(2, 102, 198));
    canvas.Brush().SetColor(static_cast<TColor>(RGB(3, 103, 197)));
    canvas.FillRect(Rect(0, 2, 5, 3));  // into the bitmap, as the nearest entry
    EXPECT_EQ(RowOf(bitmap, 2)[4], 3);

    // A new palette recolours the same indexes; a larger image keeps the old pixels.
    bitmap.SetPalette(Palette(4, 50));
    EXPECT_EQ(GetPixel(bitmap.GetCanvas().GetHandle(), 1, 0), RGB(52, 102, 198));
    bitmap.SetWidth(9);
    EXPECT_EQ(RowOf(bitmap, 0)[1], 2);
    EXPECT_EQ(RowOf(bitmap, 2)[4], 3);
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    EXPECT_EQ(GetPixel(bitmap.GetCanvas().GetHandle(), 4, 2), RGB(53, 103, 197));

    TBitmap copy;
    copy.Assign(&bitmap);
    EXPECT_EQ(copy.GetWidth(), 9);
    EXPECT_EQ(copy.GetPixelFormat(), TPixelFormat::pf24bit);
    EXPECT_NE(copy.GetPalette(), bitmap.GetPalette());
    EXPECT_EQ(GetPixel(copy.GetCanvas().GetHandle(), 1, 0), RGB(52, 102, 198));

    const HPALETTE duplicate = CopyPalette(bitmap.GetPalette());
    PALETTEENTRY entries[4];
    ASSERT_EQ(GetPaletteEntries(duplicate, 0, 4, entries), 4u);
    EXPECT_EQ(entries[3].peRed, 53);
    DeleteObject(duplicate);
    EXPECT_FALSE(CopyPalette({}));
  }
  EXPECT_EQ(GdiObjectCount(), objects);
  EXPECT_EQ(DeviceContextCount(), contexts);
}
