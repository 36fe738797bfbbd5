#pragma once
// Builders for the GDI tests: packed DIBs in buffers of their exact size (so
// the sanitizer sees any read past them) and memory surfaces to draw on.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "host/Gdi.h"
#include "host/Windows.h"

namespace gdi_test {

// Distinct colours: red is the index itself.
inline RGBQUAD TestColor(int i) {
  return RGBQUAD{static_cast<BYTE>(i * 7), static_cast<BYTE>(255 - i), static_cast<BYTE>(i), 0};
}
inline COLORREF TestRgb(int i) {
  const RGBQUAD c = TestColor(i);
  return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

inline int StrideOf(int width, int bits) {
  return (width * bits + 31) / 32 * 4;
}

// A source DIB: header, colour table and pixel bytes.
struct TDib {
  std::unique_ptr<BITMAPINFO> Info = std::make_unique<BITMAPINFO>();
  std::vector<BYTE> Bits;

  TDib(int width, int height, int bits, int colors = -1) {
    auto& h = Info->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bits);
    if (bits <= 8) {
      const int count = colors < 0 ? 1 << bits : colors;
      h.biClrUsed = static_cast<DWORD>(count);
      for (int i = 0; i < count; ++i) Info->bmiColors[i] = TestColor(i);
    }
    Bits.assign(static_cast<std::size_t>(StrideOf(width, bits)) * (height < 0 ? -height : height), 0);
  }
  int Width() const { return Info->bmiHeader.biWidth; }
  int Rows() const { return Info->bmiHeader.biHeight < 0 ? -Info->bmiHeader.biHeight : Info->bmiHeader.biHeight; }
  int Stride() const { return StrideOf(Width(), Info->bmiHeader.biBitCount); }
  // Row y of the picture from the top, whatever the storage order.
  BYTE* Row(int y) {
    const int memory = Info->bmiHeader.biHeight < 0 ? y : Rows() - 1 - y;
    return Bits.data() + static_cast<std::size_t>(memory) * Stride();
  }
  void Set8(int x, int y, BYTE v) { Row(y)[x] = v; }
  void Set4(int x, int y, BYTE v) {
    BYTE& b = Row(y)[x / 2];
    b = (x & 1) ? static_cast<BYTE>((b & 0xF0) | v) : static_cast<BYTE>((b & 0x0F) | (v << 4));
  }
  void Set1(int x, int y, bool v) {
    if (v) Row(y)[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
  }
  void Set24(int x, int y, COLORREF c) {
    BYTE* p = Row(y) + 3 * x;
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
  }
  // Draws the whole picture into (x, y, w, h) of Dc.
  int DrawTo(HDC dc, int x, int y, int w, int h) const {
    const auto& hdr = Info->bmiHeader;
    const int rows = hdr.biHeight < 0 ? -hdr.biHeight : hdr.biHeight;
    return StretchDIBits(dc, x, y, w, h, 0, 0, hdr.biWidth, rows, Bits.data(), Info.get(), DIB_RGB_COLORS, SRCCOPY);
  }
};

// An RLE-compressed source whose stream sits in a buffer of exactly biSizeImage bytes.
inline TDib RleDib(int width, int height, int bits, std::vector<BYTE> stream) {
  TDib dib(width, height, bits);
  dib.Info->bmiHeader.biCompression = bits == 8 ? BI_RLE8 : BI_RLE4;
  dib.Info->bmiHeader.biSizeImage = static_cast<DWORD>(stream.size());
  dib.Bits = std::move(stream);
  dib.Bits.shrink_to_fit();
  return dib;
}

// A memory device context with a DIB section of its own selected; the colour
// table of a paletted section is TestColor unless given.
class TMemorySurface {
 public:
  // A table given replaces TestColor.
  TMemorySurface(int width, int height, int bits, const std::vector<RGBQUAD>& table = {})
      : Layout(width, height, bits) {
    if (!table.empty()) {
      Layout.Info->bmiHeader.biClrUsed = static_cast<DWORD>(table.size());
      std::copy(table.begin(), table.end(), Layout.Info->bmiColors);
    }
    Dc = CreateCompatibleDC({});
    void* bits_ = nullptr;
    Bitmap = CreateDIBSection(Dc, Layout.Info.get(), DIB_RGB_COLORS, &bits_, {}, 0);
    Bits = static_cast<BYTE*>(bits_);
    Old = SelectObject(Dc, Bitmap);
  }
  ~TMemorySurface() {
    SelectObject(Dc, Old);
    DeleteObject(Bitmap);
    DeleteDC(Dc);
  }
  TMemorySurface(const TMemorySurface&) = delete;
  TMemorySurface& operator=(const TMemorySurface&) = delete;

  // Palette index of pixel (x, y) of an 8-bit surface, rows from the top.
  int Index(int x, int y) const {
    const int memory = Layout.Info->bmiHeader.biHeight < 0 ? y : Layout.Rows() - 1 - y;
    return Bits[static_cast<std::size_t>(memory) * Layout.Stride() + x];
  }
  // Every index of an 8-bit surface, row by row from the top.
  std::vector<int> Indexes() const {
    std::vector<int> all;
    for (int y = 0; y < Layout.Rows(); ++y)
      for (int x = 0; x < Layout.Width(); ++x) all.push_back(Index(x, y));
    return all;
  }
  void Fill(COLORREF color) {
    const HBRUSH brush = CreateSolidBrush(color);
    const TRect all = Rect(0, 0, Layout.Width(), Layout.Rows());
    FillRect(Dc, &all, brush);
    DeleteObject(brush);
  }

  TDib Layout;
  HDC Dc;
  HBITMAP Bitmap;
  HGDIOBJ Old;
  BYTE* Bits = nullptr;
};

}  // namespace gdi_test
