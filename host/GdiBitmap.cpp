#include "host/GdiBitmap.h"

#include <algorithm>
#include <cstring>
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

int GetObject(HGDIOBJ Handle, int Count, void* Object) {
  const TGdiObject* object = GdiLookup(Handle);
  if (!object || Count < 0) return 0;
  if (const auto* bitmap = dynamic_cast<const TGdiBitmap*>(object)) {
    if (!Object) return sizeof(BITMAP);
    if (static_cast<std::size_t>(Count) < sizeof(BITMAP)) return 0;
    const TSurface& s = bitmap->Surface;
    BITMAP record;
    record.bmWidth = s.Width;
    record.bmHeight = s.Height;
    record.bmWidthBytes = static_cast<LONG>(s.Stride);
    record.bmPlanes = 1;
    record.bmBitsPixel = static_cast<WORD>(s.BitCount);
    record.bmBits = s.Bits;
    std::memcpy(Object, &record, sizeof record);
    return sizeof(BITMAP);
  }
  if (const auto* palette = dynamic_cast<const TGdiPalette*>(object)) {
    if (!Object) return sizeof(WORD);
    if (static_cast<std::size_t>(Count) < sizeof(WORD)) return 0;
    const auto entries = static_cast<WORD>(palette->Entries.size());
    std::memcpy(Object, &entries, sizeof entries);
    return sizeof(WORD);
  }
  return 0;
}

int GetDIBits(HDC Dc, HBITMAP Bitmap, UINT StartScan, UINT ScanLines, void* Bits, BITMAPINFO* Info, UINT Usage) {
  const auto* bitmap = GdiLookupAs<TGdiBitmap>(Bitmap);
  // Every live device context has a palette selected.
  if (!bitmap || !Bits || !Info || Usage != DIB_RGB_COLORS || !GetCurrentObject(Dc, OBJ_PAL)) return 0;
  const TSurface& s = bitmap->Surface;
  BITMAPINFOHEADER& h = Info->bmiHeader;
  const int bits = h.biBitCount;
  const bool sameDepth = bits == s.BitCount;
  if (h.biSize != sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB || (!sameDepth && bits != 24)) return 0;
  const long long rows = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
  if (h.biWidth != s.Width || rows != s.Height || StartScan >= static_cast<UINT>(s.Height)) return 0;

  if (bits <= 8) {
    const std::size_t table = std::size_t{1} << bits;
    for (std::size_t i = 0; i < table; ++i) Info->bmiColors[i] = i < s.Colors.size() ? s.Colors[i] : RGBQUAD{};
  }
  const std::size_t stride = DibStride(s.Width, bits);
  const UINT count = std::min<UINT>(ScanLines, static_cast<UINT>(s.Height) - StartScan);
  const bool topDown = h.biHeight < 0;
  for (UINT i = 0; i < count; ++i) {
    const UINT scan = StartScan + i;
    const int y = topDown ? static_cast<int>(scan) : s.Height - 1 - static_cast<int>(scan);
    BYTE* out = static_cast<BYTE*>(Bits) + stride * i;
    if (sameDepth) {
      std::memcpy(out, s.Row(y), stride);
      continue;
    }
    std::memset(out, 0, stride);
    for (int x = 0; x < s.Width; ++x) {
      const COLORREF c = SurfacePixel(s, x, y);
      out[3 * x] = GetBValue(c);
      out[3 * x + 1] = GetGValue(c);
      out[3 * x + 2] = GetRValue(c);
    }
  }
  return static_cast<int>(count);
}
