#include <cstdlib>
#include <limits>
#include <string>
#include <utility>

#include "dib/ZrDIBConvert.h"

TZrDIBSource SourceOf(const TZrInternalDIB& DIB) { return {&DIB.BitmapInfo, DIB.Bits, DIB.ImageSize}; }

TZrDIBData::TZrDIBData(const BITMAPINFO& Info, std::int64_t Size, bool AUseFMO, const char* Name)
    : BitmapInfo(Info), UseFMO(AUseFMO) {
  if (Size < 0 || Size > std::numeric_limits<std::int32_t>::max())
    throw EOutOfMemory(std::string(Name) + ": Image Too Large");
  GetMemory(static_cast<std::int32_t>(Size), UseFMO, FileMapping, Bits);
  ImageSize = static_cast<std::int32_t>(Size);
}

TZrDIBData::~TZrDIBData() { Free(); }

TZrDIBData::TZrDIBData(TZrDIBData&& Other) noexcept
    : ImageSize(Other.ImageSize), FileMapping(Other.FileMapping), Bits(Other.Bits), BitmapInfo(Other.BitmapInfo),
      UseFMO(Other.UseFMO) {
  Other.Detach();
}

TZrDIBData& TZrDIBData::operator=(TZrDIBData&& Other) noexcept {
  if (this != &Other) {
    Free();
    ImageSize = Other.ImageSize;
    FileMapping = Other.FileMapping;
    Bits = Other.Bits;
    BitmapInfo = Other.BitmapInfo;
    UseFMO = Other.UseFMO;
    Other.Detach();
  }
  return *this;
}

void TZrDIBData::Detach() {
  Bits = nullptr;
  FileMapping = {};
  ImageSize = 0;
}

void TZrDIBData::Free() noexcept {
  if (!Bits) return;
  try {
    ReleaseMemory(FileMapping, Bits, UseFMO);
  } catch (...) {
    // Only a broken mapping fails to unmap; nothing more can be done for it here.
  }
  Detach();
}

TZrRows CheckedRows(const TZrDIBSource& Source, const char* Name) {
  const auto& header = Source.Header();
  const std::int64_t width = header.biWidth;
  const std::int64_t height = std::llabs(static_cast<std::int64_t>(header.biHeight));
  const std::int64_t stride = DIBStride(header.biBitCount, width);
  // A loaded header may promise more rows than its pixel memory holds.
  if (width <= 0 || height <= 0 || stride <= 0 || !Source.Bits || height * stride > Source.ImageSize)
    throw EZrDIBInvalidDIB(std::string(Name) + ": Invalid Image Size");
  return {width, height, stride};
}

TZrDIBData MakeUncompressed(const TZrDIBSource& Source, int BitCount, bool UseFMO, const char* Name) {
  const auto& header = Source.Header();
  const std::int64_t height = std::llabs(static_cast<std::int64_t>(header.biHeight));
  TZrDIBData result(*Source.BitmapInfo, DIBStride(BitCount, header.biWidth) * height, UseFMO, Name);
  result.Header().biBitCount = static_cast<WORD>(BitCount);
  result.Header().biCompression = BI_RGB;
  result.Header().biSizeImage = 0;
  return result;
}
