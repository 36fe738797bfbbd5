// TZrDIB.LoadFromStream on any bytes: a refusal is fine, a crash is not. What
// loads is also drawn, and saved and read back with the same pixels and colours.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dib/ZrDIB.h"
#include "fuzz/BmpFuzzSupport.h"
#include "host/Gdi.h"

namespace {

using namespace bmp_fuzz;

bool TooLarge(const uint8_t* data, size_t size) {
  if (size < 26) return false;
  const std::uint32_t header = Read32(data + 14);
  std::int64_t width, height, bits;
  if (header == 12) {
    width = data[18] | data[19] << 8;
    height = data[20] | data[21] << 8;
    bits = data[24] | data[25] << 8;
  } else {
    if (size < 30) return false;
    width = static_cast<std::int32_t>(Read32(data + 18));
    height = std::llabs(static_cast<std::int32_t>(Read32(data + 22)));
    bits = data[28] | data[29] << 8;
  }
  return TooManyPixelBytes(width, height, bits);
}

void DrawOnce(TZrDIB& dib) {
  const TZrInternalDIB& s = *dib.GetInternalDIB();
  BITMAPINFO target;
  target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  target.bmiHeader.biWidth = 16;
  target.bmiHeader.biHeight = 16;
  target.bmiHeader.biPlanes = 1;
  target.bmiHeader.biBitCount = 24;
  const HDC dc = CreateCompatibleDC({});
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(dc, &target, DIB_RGB_COLORS, &bits, {}, 0);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  // The pixel data is as long as the storage holds it.
  BITMAPINFO info = s.BitmapInfo;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(s.ImageSize);
  const bool rows =
      info.bmiHeader.biCompression != BI_RGB || DIBStride(info.bmiHeader.biBitCount, s.Width) * s.Height <= s.ImageSize;
  if (rows) StretchDIBits(dc, 0, 0, 16, 16, 0, 0, s.Width, s.Height, s.Bits, &info, DIB_RGB_COLORS, SRCCOPY);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (TooLarge(data, size)) return 0;
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<std::int64_t>(size));
  stream.SetPosition(0);
  DefaultUseFMO = (size & 1) != 0;
  TZrDIB dib;
  try {
    dib.LoadFromStream(stream);
  } catch (const Exception&) {
    return 0;
  }
  DrawOnce(dib);
  // Whatever saves loads back as it was; only what no reader could take back is refused.
  TMemoryStream saved;
  try {
    dib.SaveToStream(saved);
  } catch (const EZrDIBBadDIBType&) {
    if (saved.GetSize() != 0) std::abort();
    return 0;
  }
  saved.SetPosition(0);
  TZrDIB again;
  again.LoadFromStream(saved);
  if (!SameContent(*dib.GetInternalDIB(), *again.GetInternalDIB())) std::abort();
  return 0;
}
