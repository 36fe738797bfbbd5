#include "dib/ZrDIBReader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "dib/ZrDIBBitFields.h"
#include "dib/ZrDIBInternal.h"
#include "host/Translate.h"

namespace {

constexpr std::int64_t MaxImageSize = std::numeric_limits<std::int32_t>::max();

// Whether Rows rows of Row bytes (Row > 0) fit in Limit bytes, without
// multiplying numbers that may overflow.
bool RowsFit(std::int64_t Row, std::int64_t Rows, std::int64_t Limit) {
  return Row <= Limit && Rows <= Limit / Row;
}

}  // namespace

void CoreToInfoHeader(BITMAPINFO& Info) {
  BITMAPCOREHEADER core;
  std::memcpy(static_cast<void*>(&core), &Info, sizeof core);
  const int colors = NumColorsOf(core.bcBitCount);
  const BYTE* triples = reinterpret_cast<const BYTE*>(&Info) + sizeof core;
  // Last entry first: each lands beyond the triples still to be read.
  for (int i = colors - 1; i >= 0; --i) {
    const BYTE* t = triples + 3 * i;
    const RGBQUAD entry{t[0], t[1], t[2], 0};
    Info.bmiColors[i] = entry;
  }
  auto& h = Info.bmiHeader;
  h = BITMAPINFOHEADER{};
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = core.bcWidth;
  h.biHeight = core.bcHeight;
  h.biPlanes = core.bcPlanes;
  h.biBitCount = core.bcBitCount;
  h.biCompression = BI_RGB;
  h.biXPelsPerMeter = 3780;
  h.biYPelsPerMeter = 3780;
  h.biClrUsed = static_cast<DWORD>(colors);
}

TZrPixelMemory::~TZrPixelMemory() {
  if (FBits) ReleaseMemory(FFileMapping, FBits, FUseFMO);
}

void TZrPixelMemory::Allocate(std::int32_t Size, bool UseFMO) {
  Assert(FBits == nullptr, "TZrPixelMemory.Allocate: Bits Should be Nil");
  GetMemory(Size, UseFMO, FFileMapping, FBits);
  FSize = Size;
  FUseFMO = UseFMO;
}

void TZrPixelMemory::Release(HANDLE& FileMapping, BYTE*& Bits) {
  FileMapping = FFileMapping;
  Bits = FBits;
  FFileMapping = {};
  FBits = nullptr;
  FSize = 0;
}

void CheckWidthAndHeight(const BITMAPINFOHEADER& Header) {
  // |INT_MIN| rows is no row count a storage can hold.
  if (Header.biWidth <= 0 || Header.biHeight == 0 || Header.biHeight == std::numeric_limits<LONG>::min())
    throw EZrDIBInvalidDIB("TZrInternalDIB.LoadFromStream: Invalid Width or Height");
}

void ReadPixels(BITMAPINFO& Info, std::int64_t Count, TZrPixelCount CountKind, TZrPixelInput& Input, bool UseFMO,
                const char* Operation, TZrPixelMemory& Pixels) {
  auto& h = Info.bmiHeader;
  const std::int64_t width = h.biWidth;
  const std::int64_t rows = std::llabs(static_cast<std::int64_t>(h.biHeight));
  const auto tooShort = [&] { return EZrDIBInvalidDIB(std::string(Operation) + ": Pixel Data is too Short"); };
  const auto tooLarge = [&] { return EZrDIBInvalidDIB(std::string(Operation) + ": Image is too Large"); };
  // Refused before anything is allocated: a source that ends early would fail the read anyway.
  const auto ensureAvailable = [&](std::int64_t Bytes) {
    const std::int64_t available = Input.Available();
    if (available >= 0 && Bytes > available) throw EReadError(HostText(SReadError));
  };

  if (h.biBitCount == 16 || h.biBitCount == 32) {
    std::array<DWORD, 3> masks{};
    if (h.biCompression == BI_BITFIELDS) std::memcpy(masks.data(), Info.bmiColors, sizeof masks);
    const TZrBitFields fields(h.biBitCount, h.biCompression, masks);
    const std::int64_t source = TZrBitFields::SourceRowBytes(h.biBitCount, width);
    const std::int64_t output = TZrBitFields::OutputRowBytes(width);
    if (CountKind == TZrPixelCount::Block && !RowsFit(source, rows, Count)) throw tooShort();
    if (!RowsFit(output, rows, MaxImageSize)) throw tooLarge();
    ensureAvailable(source * rows);
    Pixels.Allocate(static_cast<std::int32_t>(output * rows), UseFMO);
    std::vector<BYTE> row(static_cast<std::size_t>(source));
    for (std::int64_t r = 0; r < rows; ++r) {
      Input.Read(row.data(), source);
      fields.ConvertRow(row.data(), Pixels.Bits() + output * r, width);
    }
    if (h.biCompression == BI_BITFIELDS) std::memmove(Info.bmiColors, Info.bmiColors + 3, 256 * sizeof(RGBQUAD));
    h.biCompression = BI_RGB;
    h.biBitCount = 24;
    h.biSizeImage = 0;
    return;
  }

  Assert(h.biBitCount == 1 || h.biBitCount == 4 || h.biBitCount == 8 || h.biBitCount == 24,
         "ReadPixels: BitCount Must be Checked");
  // Compressed data stays as stored; only rows can be measured.
  if (Count <= 0 || (h.biCompression == BI_RGB && !RowsFit(DIBStride(h.biBitCount, width), rows, Count)))
    throw tooShort();
  ensureAvailable(Count);
  if (Count > MaxImageSize) throw tooLarge();
  Pixels.Allocate(static_cast<std::int32_t>(Count), UseFMO);
  Input.Read(Pixels.Bits(), Count);
}

void InstallDIB(TZrInternalDIB& DIB, const BITMAPINFO& Info, TZrPixelMemory& Pixels) {
  DIB.FreeDIB();
  DIB.ImageSize = Pixels.Size();
  Pixels.Release(DIB.FileMapping, DIB.Bits);
  DIB.BitmapInfo = Info;
  DIB.Width = Info.bmiHeader.biWidth;
  DIB.Height = static_cast<std::int32_t>(std::llabs(static_cast<std::int64_t>(Info.bmiHeader.biHeight)));
  DIB.UpdatePalette();
}
