#include "host/GdiBitmap.h"

#include <limits>
#include <new>

#include "host/Gdi.h"
#include "host/Kernel.h"

TGdiBitmap::~TGdiBitmap() {
  if (FView) UnmapViewOfFile(FView);
}

UINT TGdiBitmap::ObjectType() const {
  return OBJ_BITMAP;
}

HBITMAP GdiStockBitmap() {
  static const HBITMAP stock = [] {
    TSurface surface;
    surface.Width = surface.Height = 1;
    surface.BitCount = 1;
    surface.Stride = 4;
    surface.Colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    auto memory = std::make_unique<BYTE[]>(4);
    surface.Bits = memory.get();
    auto bitmap = std::make_unique<TGdiBitmap>(std::move(surface), std::move(memory));
    bitmap->Stock = true;
    return HBITMAP{GdiRegister(std::move(bitmap))};
  }();
  return stock;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* Info, UINT Usage, void** Bits, HANDLE Section, DWORD Offset) {
  if (Bits) *Bits = nullptr;
  if (!Info || Usage != DIB_RGB_COLORS) return {};
  const BITMAPINFOHEADER& h = Info->bmiHeader;
  // Only what drawing can address directly: uncompressed 1, 4, 8 and 24 bits.
  const int bitCount = h.biBitCount;
  if (h.biSize != sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB ||
      (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24))
    return {};
  if (h.biHeight == 0 || h.biHeight < -MaxGdiCoordinate || h.biHeight > MaxGdiCoordinate) return {};
  const std::size_t stride = DibStride(h.biWidth, bitCount);
  if (stride == 0) return {};
  const int rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  const unsigned long long size = static_cast<unsigned long long>(stride) * static_cast<unsigned>(rows);
  if (size > static_cast<unsigned long long>(std::numeric_limits<std::int32_t>::max())) return {};

  TSurface surface;
  surface.Width = h.biWidth;
  surface.Height = rows;
  surface.BitCount = bitCount;
  surface.Stride = stride;
  surface.TopDown = h.biHeight < 0;
  if (bitCount <= 8) {
    const DWORD full = 1u << bitCount;
    const DWORD count = h.biClrUsed == 0 || h.biClrUsed > full ? full : h.biClrUsed;
    surface.Colors.assign(Info->bmiColors, Info->bmiColors + count);
  }

  std::unique_ptr<TGdiBitmap> bitmap;
  if (Section) {
    // Windows wants the offset DWORD-aligned, and the pixels inside the object.
    if (Offset % 4 != 0 || GetFileMappingSize(Section) < Offset + size) return {};
    void* view = MapViewOfFile(Section, FILE_MAP_WRITE, Offset, static_cast<std::size_t>(size));
    if (!view) return {};
    surface.Bits = static_cast<BYTE*>(view);
    bitmap = std::make_unique<TGdiBitmap>(std::move(surface), view);
  } else {
    std::unique_ptr<BYTE[]> memory(new (std::nothrow) BYTE[static_cast<std::size_t>(size)]());
    if (!memory) return {};
    surface.Bits = memory.get();
    bitmap = std::make_unique<TGdiBitmap>(std::move(surface), std::move(memory));
  }
  void* pixels = bitmap->Surface.Bits;
  const HBITMAP handle{GdiRegister(std::move(bitmap))};
  if (Bits) *Bits = pixels;
  return handle;
}
