#include <gtest/gtest.h>

#include "host/Gdi.h"
#include "host/GdiObjects.h"
#include "host/Kernel.h"
#include "tests/host/GdiTestSupport.h"

namespace {

using gdi_test::TDib;
using gdi_test::TestRgb;

TEST(DIBSection, OverAFileMappingSharesTheBytesWithAnotherView) {
  const TDib layout(5, 3, 8);  // stride 8
  const DWORD size = 8 * 3;
  const HANDLE mapping = CreateFileMapping(PAGE_READWRITE, 0, size);
  auto* own = static_cast<BYTE*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0));
  ASSERT_NE(own, nullptr);
  own[0] = 42;  // bottom-left pixel

  void* bits = nullptr;
  const HBITMAP section = CreateDIBSection({}, layout.Info.get(), DIB_RGB_COLORS, &bits, mapping, 0);
  ASSERT_TRUE(section);
  EXPECT_EQ(GetObjectType(section), OBJ_BITMAP);
  ASSERT_NE(bits, nullptr);
  EXPECT_NE(bits, own);  // a view of its own over the same memory

  const HDC dc = CreateCompatibleDC({});
  const HGDIOBJ old = SelectObject(dc, section);
  EXPECT_EQ(GetPixel(dc, 0, 2), TestRgb(42));
  const HBRUSH brush = CreateSolidBrush(TestRgb(7));
  const TRect topRight = Rect(4, 0, 5, 1);
  FillRect(dc, &topRight, brush);
  EXPECT_EQ(own[2 * 8 + 4], 7);
  EXPECT_EQ(static_cast<BYTE*>(bits)[2 * 8 + 4], 7);

  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(brush);
  EXPECT_TRUE(DeleteObject(section));
  // The section's view went with it; the other view and the mapping remain.
  EXPECT_FALSE(UnmapViewOfFile(bits));
  EXPECT_EQ(own[2 * 8 + 4], 7);
  EXPECT_TRUE(UnmapViewOfFile(own));
  EXPECT_TRUE(CloseHandle(mapping));
}

TEST(DIBSection, AtAnOffsetIntoTheMapping) {
  const TDib layout(4, -1, 8);
  const HANDLE mapping = CreateFileMapping(PAGE_READWRITE, 0, 12);
  auto* own = static_cast<BYTE*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0));
  own[8] = 3;
  void* bits = nullptr;
  const HBITMAP section = CreateDIBSection({}, layout.Info.get(), DIB_RGB_COLORS, &bits, mapping, 8);
  ASSERT_TRUE(section);
  EXPECT_EQ(static_cast<BYTE*>(bits)[0], 3);
  // Not aligned, or running past the end of the object.
  EXPECT_FALSE(CreateDIBSection({}, layout.Info.get(), DIB_RGB_COLORS, &bits, mapping, 2));
  EXPECT_EQ(bits, nullptr);
  EXPECT_FALSE(CreateDIBSection({}, layout.Info.get(), DIB_RGB_COLORS, &bits, mapping, 12));
  const TDib larger(4, 4, 8);
  EXPECT_FALSE(CreateDIBSection({}, larger.Info.get(), DIB_RGB_COLORS, &bits, mapping, 0));
  EXPECT_FALSE(CreateDIBSection({}, layout.Info.get(), DIB_RGB_COLORS, &bits, HANDLE{{55555}}, 0));
  DeleteObject(section);
  UnmapViewOfFile(own);
  CloseHandle(mapping);
}

TEST(DIBSection, WithoutAMappingOwnsZeroedMemory) {
  const auto before = GdiObjectCount();
  const TDib layout(7, 9, 24);
  void* bits = nullptr;
  const HBITMAP section = CreateDIBSection({}, layout.Info.get(), DIB_RGB_COLORS, &bits, {}, 0);
  ASSERT_TRUE(section);
  const auto* bytes = static_cast<const BYTE*>(bits);
  for (int i = 0; i < 24 * 9; ++i) ASSERT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(GdiObjectCount(), before + 1);
  EXPECT_TRUE(DeleteObject(section));
  EXPECT_EQ(GdiObjectCount(), before);
}

TEST(DIBSection, RefusesHeadersItCannotDrawInto) {
  const auto before = GdiObjectCount();
  const HANDLE mapping = CreateFileMapping(PAGE_READWRITE, 0, 64);
  struct TCase {
    const char* Name;
    void (*Spoil)(BITMAPINFOHEADER&);
  };
  const TCase cases[] = {
      {"RLE8", [](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; }},
      {"RLE4", [](BITMAPINFOHEADER& h) { h.biBitCount = 4, h.biCompression = BI_RLE4; }},
      {"16 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 16; }},
      {"core header", [](BITMAPINFOHEADER& h) { h.biSize = 12; }},
      {"width 0", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }},
      {"height 0", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }},
      {"overflowing", [](BITMAPINFOHEADER& h) { h.biWidth = 0x7FFFFFF, h.biHeight = 0x7FFFFFF; }},
      {"too large for the mapping", [](BITMAPINFOHEADER& h) { h.biWidth = 9; }},
  };
  for (const auto& c : cases) {
    TDib layout(4, 16, 8);  // exactly 64 bytes
    c.Spoil(layout.Info->bmiHeader);
    void* bits = &layout;
    EXPECT_FALSE(CreateDIBSection({}, layout.Info.get(), DIB_RGB_COLORS, &bits, mapping, 0)) << c.Name;
    EXPECT_EQ(bits, nullptr) << c.Name;
  }
  const TDib fits(4, 16, 8);
  EXPECT_FALSE(CreateDIBSection({}, fits.Info.get(), 1, nullptr, mapping, 0));
  EXPECT_FALSE(CreateDIBSection({}, nullptr, DIB_RGB_COLORS, nullptr, mapping, 0));
  const HBITMAP ok = CreateDIBSection({}, fits.Info.get(), DIB_RGB_COLORS, nullptr, mapping, 0);
  EXPECT_TRUE(ok);
  DeleteObject(ok);
  CloseHandle(mapping);
  EXPECT_EQ(GdiObjectCount(), before);
}

TEST(DIBSection, TakesTheHeadersColourTable) {
  TDib layout(1, 1, 8, 3);
  void* bits = nullptr;
  const HBITMAP section = CreateDIBSection({}, layout.Info.get(), DIB_RGB_COLORS, &bits, {}, 0);
  // Changing the caller's header afterwards changes nothing.
  layout.Info->bmiColors[2] = {1, 1, 1, 0};
  static_cast<BYTE*>(bits)[0] = 2;
  const HDC dc = CreateCompatibleDC({});
  const HGDIOBJ old = SelectObject(dc, section);
  EXPECT_EQ(GetPixel(dc, 0, 0), TestRgb(2));
  // An index past the table reads as black.
  static_cast<BYTE*>(bits)[0] = 200;
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(section);
}

}  // namespace
