#pragma once
// Pictures for the pixel-format tests, built through the storage: pixel values
// by position, raw compressed content, and snapshots of a storage.

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "dib/ZrDIBConvert.h"
#include "tests/dib/DibTestSupport.h"

using TBytes = std::vector<BYTE>;

// Writes pixel value Index(x, y) (y = 0 the top row) into a DIB of 1, 4 or 8 bits.
inline void PutIndex(std::span<BYTE> Row, int BitCount, int x, int Index) {
  switch (BitCount) {
    case 1: {
      const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
      Row[x / 8] = static_cast<BYTE>(Index ? Row[x / 8] | bit : Row[x / 8] & ~bit);
      break;
    }
    case 4:
      Row[x / 2] = static_cast<BYTE>(x % 2 ? (Row[x / 2] & 0xF0) | Index : (Row[x / 2] & 0x0F) | Index << 4);
      break;
    default:
      Row[x] = static_cast<BYTE>(Index);
  }
}

inline int GetIndex(std::span<const BYTE> Row, int BitCount, int x) {
  switch (BitCount) {
    case 1: return (Row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return x % 2 ? Row[x / 2] & 0x0F : Row[x / 2] >> 4;
    default: return Row[x];
  }
}

// A blank DIB of the given size and depth (a negative height is top-down)
// whose pixels are Pixel(x, y): an index, or for 24 bits a COLORREF (red in
// the low byte).
inline std::unique_ptr<TZrDIB> MakeDIB(int BitCount, int Width, int Height,
                                       const std::function<unsigned(int, int)>& Pixel) {
  auto dib = std::make_unique<TZrDIB>();
  dib->SetBitCount(BitCount);
  dib->SetWidth(Width);
  dib->SetHeight(Height);
  for (int y = 0; y < dib->GetHeight(); ++y) {
    auto row = dib->GetScanLine(y);
    for (int x = 0; x < Width; ++x) {
      const unsigned value = Pixel(x, y);
      if (BitCount == 24) {
        row[3 * x] = GetBValue(value);
        row[3 * x + 1] = GetGValue(value);
        row[3 * x + 2] = GetRValue(value);
      } else {
        PutIndex(row, BitCount, x, static_cast<int>(value));
      }
    }
  }
  return dib;
}

// Replaces the storage's content with Data under a header of the given form.
inline void SetRawContent(TZrDIB& DIB, int BitCount, DWORD Compression, int Width, int Height, const TBytes& Data) {
  TZrInternalDIB& s = *DIB.GetInternalDIB();
  s.FreeDIB();
  // A file mapping cannot be empty: no data still get one byte, which ImageSize leaves out.
  GetMemory(static_cast<std::int32_t>(std::max<std::size_t>(Data.size(), 1)), s.UseFMO, s.FileMapping, s.Bits);
  if (!Data.empty()) std::memcpy(s.Bits, Data.data(), Data.size());
  s.ImageSize = static_cast<std::int32_t>(Data.size());
  s.Width = Width;
  s.Height = std::abs(Height);
  auto& h = s.BitmapInfo.bmiHeader;
  h.biWidth = Width;
  h.biHeight = Height;
  h.biBitCount = static_cast<WORD>(BitCount);
  h.biCompression = Compression;
  h.biSizeImage = Compression == BI_RGB ? 0 : static_cast<DWORD>(Data.size());
}

inline TBytes PixelBytes(const TZrInternalDIB& DIB) { return {DIB.Bits, DIB.Bits + DIB.ImageSize}; }
inline TBytes PixelBytes(const TZrDIBData& Data) { return {Data.Bits, Data.Bits + Data.ImageSize}; }

// Everything a failed conversion must leave as it was.
struct TStorageSnapshot {
  explicit TStorageSnapshot(const TZrInternalDIB& DIB)
      : Pixels(PixelBytes(DIB)), Info(DIB.BitmapInfo), Bits(DIB.Bits), Palette(DIB.PaletteHandle) {}
  bool Matches(const TZrInternalDIB& DIB) const {
    return PixelBytes(DIB) == Pixels && std::memcmp(&Info, &DIB.BitmapInfo, sizeof Info) == 0 && DIB.Bits == Bits &&
           DIB.PaletteHandle == Palette;
  }
  TBytes Pixels;
  BITMAPINFO Info;
  const BYTE* Bits;
  HPALETTE Palette;
};
