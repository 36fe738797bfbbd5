#include "dib/ZrDIBInternal.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

#include "host/Gdi.h"

int NumColorsOf(int BitCount) {
  switch (BitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

std::int64_t DIBStride(int BitCount, std::int64_t Width) { return (BitCount * Width + 31) / 32 * 4; }

TZrInternalDIB::TZrInternalDIB(bool AUseFMO) : UseFMO(AUseFMO) { CreateDIB(1, 1, 256, 8); }

TZrInternalDIB::TZrInternalDIB(bool AUseFMO, TNoPixels) : UseFMO(AUseFMO) {}

TZrInternalDIB::~TZrInternalDIB() { FreeDIB(); }

void TZrInternalDIB::CreateDIB(int AWidth, int AHeight, int ColorCount, int BitCount) {
  Assert(Bits == nullptr, "TZrInternalDIB.CreateDIB: Bits Should be Nil");
  const bool valid = AWidth > 0 && AHeight != 0 && ColorCount >= 0 && ColorCount <= 256 &&
                     (BitCount == 1 || BitCount == 4 || BitCount == 8 || BitCount == 24);
  const std::int64_t rows = std::abs(static_cast<std::int64_t>(AHeight));
  const std::int64_t stride = valid ? DIBStride(BitCount, AWidth) : 0;
  // ImageSize is a 32-bit field: a picture whose pixels it cannot count is
  // refused. Each factor is checked first, so the product cannot overflow.
  constexpr std::int64_t maxSize = std::numeric_limits<std::int32_t>::max();
  if (!valid || rows > maxSize || stride > maxSize || rows * stride > maxSize)
    throw EZrDIBInvalidDIBPara("TZrInternalDIB.CreateDIB: Invalid Parameters");
  const std::int64_t size = rows * stride;

  // Both kinds of pixel memory come zero-filled.
  GetMemory(static_cast<std::int32_t>(size), UseFMO, FileMapping, Bits);
  ImageSize = static_cast<std::int32_t>(size);
  PaletteHandle = {};
  Width = AWidth;
  Height = static_cast<std::int32_t>(rows);

  auto& header = BitmapInfo.bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = AWidth;
  header.biHeight = AHeight;
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(BitCount);
  header.biCompression = BI_RGB;
  header.biXPelsPerMeter = 3780;
  header.biYPelsPerMeter = 3780;
  header.biClrUsed = static_cast<DWORD>(ColorCount);
  header.biClrImportant = 0;
  std::fill_n(BitmapInfo.bmiColors, 256, RGBQUAD{});
  PaletteChanged = true;
}

void TZrInternalDIB::FreeDIB() {
  if (Bits) {
    ReleaseMemory(FileMapping, Bits, UseFMO);
    ImageSize = 0;
    FileMapping = {};
    Bits = nullptr;
  }
  if (PaletteHandle) {
    DeleteObject(PaletteHandle);
    PaletteHandle = {};
  }
}

void TZrInternalDIB::UpdatePalette() {
  Assert(RefCount == 1, "TZrInternalDIB.UpdatePalette: RefCount Must be 1");
  if (PaletteHandle) {
    DeleteObject(PaletteHandle);
    PaletteHandle = {};
  }
  PaletteChanged = true;
}

TZrPixelFormat TZrInternalDIB::GetPixelFormat() const {
  const auto& header = BitmapInfo.bmiHeader;
  switch (header.biBitCount) {
    case 1:
      if (header.biCompression == BI_RGB) return zrpf1Bit;
      throw EZrDIBInvalidDIB("TZrInternalDIB.GetPixelFormat: Invalid DIB(1Bit)");
    case 4:
      if (header.biCompression == BI_RGB) return zrpf4Bit;
      if (header.biCompression == BI_RLE4) return zrpf4BitRLE;
      throw EZrDIBInvalidDIB("TZrInternalDIB.GetPixelFormat: Invalid DIB(4Bit)");
    case 8:
      if (header.biCompression == BI_RGB) return zrpf8Bit;
      if (header.biCompression == BI_RLE8) return zrpf8BitRLE;
      throw EZrDIBInvalidDIB("TZrInternalDIB.GetPixelFormat: Invalid DIB(8Bit)");
    case 24:
      if (header.biCompression == BI_RGB) return zrpf24Bit;
      throw EZrDIBInvalidDIB("TZrInternalDIB.GetPixelFormat: Invalid DIB(24Bit)");
    default:
      throw EZrDIBInvalidDIB("TZrInternalDIB.GetPixelFormat: Invalid DIB(Illegal BitCount)");
  }
}

std::int64_t TZrInternalDIB::SavedInfoSize(const char* Operation) const {
  const auto& header = BitmapInfo.bmiHeader;
  // The masks that a loaded file of 1 to 24 bits may keep would be read back
  // as colours, and every colour and pixel after them shifted.
  if (header.biCompression == BI_BITFIELDS) throw EZrDIBBadDIBType(std::string(Operation) + ": Cannot Save Bit Fields");
  // Readers take biClrUsed 0 at up to 8 bits for a full table: a full table it is.
  const std::int64_t colors = header.biClrUsed != 0 ? header.biClrUsed : NumColorsOf(header.biBitCount);
  return static_cast<std::int64_t>(sizeof(BITMAPINFOHEADER)) + colors * static_cast<std::int64_t>(sizeof(RGBQUAD));
}
