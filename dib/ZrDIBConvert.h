#pragma once
// The pixel-format converters behind TZrInternalDIB::SetPixelsFormat. Each reads
// a DIB it never changes and returns a new one: a copy of the header and colour
// table over fresh, zero-filled pixel memory of the same kind (UseFMO).

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "dib/ZrDIBInternal.h"

// Called once per step by the colour-reducing converters.
using TZrConvertProgress = std::function<void()>;

// A DIB as a converter reads it; it does not own the pixels.
struct TZrDIBSource {
  const BITMAPINFO* BitmapInfo = nullptr;
  const BYTE* Bits = nullptr;
  std::int32_t ImageSize = 0;

  const BITMAPINFOHEADER& Header() const { return BitmapInfo->bmiHeader; }
  std::span<const BYTE> Pixels() const { return {Bits, static_cast<std::size_t>(ImageSize)}; }
};

TZrDIBSource SourceOf(const TZrInternalDIB& DIB);

// A converter's result: a DIB description that owns its pixel memory until
// the storage takes it over.
class TZrDIBData {
public:
  // Header and colour table of Info over Size zeroed bytes; a size that pixel
  // memory cannot have raises EOutOfMemory ("<Name>: Image Too Large").
  TZrDIBData(const BITMAPINFO& Info, std::int64_t Size, bool AUseFMO, const char* Name);
  ~TZrDIBData();
  TZrDIBData(TZrDIBData&& Other) noexcept;
  TZrDIBData& operator=(TZrDIBData&& Other) noexcept;
  TZrDIBData(const TZrDIBData&) = delete;
  TZrDIBData& operator=(const TZrDIBData&) = delete;

  TZrDIBSource Source() const { return {&BitmapInfo, Bits, ImageSize}; }
  BITMAPINFOHEADER& Header() { return BitmapInfo.bmiHeader; }
  std::span<BYTE> Pixels() const { return {Bits, static_cast<std::size_t>(ImageSize)}; }
  // Hands the pixel memory over: the caller releases it from now on.
  void Detach();

  std::int32_t ImageSize = 0;
  HANDLE FileMapping;
  BYTE* Bits = nullptr;
  BITMAPINFO BitmapInfo;
  bool UseFMO = false;

private:
  void Free() noexcept;
};

// The rows of an uncompressed source, checked against its pixel memory.
struct TZrRows {
  std::int64_t Width;
  std::int64_t Height;
  std::int64_t Stride;
};
// Refuses (EZrDIBInvalidDIB, "<Name>: Invalid Image Size") a header whose rows
// do not fit in the pixel memory.
TZrRows CheckedRows(const TZrDIBSource& Source, const char* Name);
// Fresh uncompressed result of BitCount bits with Source's rows and colour table.
TZrDIBData MakeUncompressed(const TZrDIBSource& Source, int BitCount, bool UseFMO, const char* Name);

// Index-preserving widening.
TZrDIBData Convert1BitRGBTo4BitRGB(const TZrDIBSource& Source, bool UseFMO);
TZrDIBData Convert1BitRGBTo8BitRGB(const TZrDIBSource& Source, bool UseFMO);
TZrDIBData Convert4BitRGBTo8BitRGB(const TZrDIBSource& Source, bool UseFMO);
// Each pixel becomes its colour-table entry's blue, green, red.
TZrDIBData Convert1BitRGBToTrueColor(const TZrDIBSource& Source, bool UseFMO);
TZrDIBData Convert4BitRGBToTrueColor(const TZrDIBSource& Source, bool UseFMO);
TZrDIBData Convert8BitRGBToTrueColor(const TZrDIBSource& Source, bool UseFMO);
// 1-bit masks: white where a pixel's colour is Color (plain RGB), else black.
TZrDIBData ConvertTrueColorTo1BitRGB(const TZrDIBSource& Source, bool UseFMO, COLORREF Color);
TZrDIBData Convert8BitTo1BitRGB(const TZrDIBSource& Source, bool UseFMO, COLORREF Color);
TZrDIBData Convert4BitRGBTo1BitRGB(const TZrDIBSource& Source, bool UseFMO, COLORREF Color);

// Colour reduction and half-tone.
TZrDIBData ConvertTrueColorTo8BitRGBLow(const TZrDIBSource& Source, bool UseFMO, const TZrConvertProgress& Progress);
TZrDIBData ConvertTrueColorTo4BitRGBLow(const TZrDIBSource& Source, bool UseFMO, const TZrConvertProgress& Progress);
TZrDIBData ConvertTrueColorTo8BitRGBHigh(const TZrDIBSource& Source, bool UseFMO, const TZrConvertProgress& Progress);
TZrDIBData ConvertTrueColorTo4BitRGBHigh(const TZrDIBSource& Source, bool UseFMO, const TZrConvertProgress& Progress);
TZrDIBData Convert8BitRGBTo4BitRGB(const TZrDIBSource& Source, bool UseFMO, const TZrConvertProgress& Progress);
TZrDIBData ConvertToHalfTone(const TZrDIBSource& Source, bool UseFMO);
TZrDIBData ConvertToHalfToneBW(const TZrDIBSource& Source, bool UseFMO);

// RLE codecs. The encoders fail (EZrDIBCompressionFailed) when the encoded data
// would not fit in the size of the uncompressed image.
TZrDIBData Convert8BitRLETo8BitRGB(const TZrDIBSource& Source, bool UseFMO);
TZrDIBData Convert4BitRLETo4BitRGB(const TZrDIBSource& Source, bool UseFMO);
TZrDIBData Convert8BitRGBTo8BitRLE(const TZrDIBSource& Source, bool UseFMO);
TZrDIBData Convert4BitRGBTo4BitRLE(const TZrDIBSource& Source, bool UseFMO);
// The encoders' core: encodes Source (checked already) into Work, whose size is
// the room the data may take; returns the encoded length.
std::size_t EncodeRLE8(const TZrDIBSource& Source, std::span<BYTE> Work);
std::size_t EncodeRLE4(const TZrDIBSource& Source, std::span<BYTE> Work);

// The dispatch table: for each current format and target, the converters that
// run one after another, each on the previous one's result.
struct TZrConvertArgs {
  bool UseFMO;
  BYTE Mode;
  const TZrConvertProgress& Progress;
  COLORREF Color;
};
struct TZrConverterStep {
  const char* Name = nullptr;
  TZrDIBData (*Run)(const TZrDIBSource& Source, const TZrConvertArgs& Args) = nullptr;
};
struct TZrConversion {
  std::array<TZrConverterStep, 3> Steps{};
  std::size_t Count = 0;
};
inline constexpr int ZrStoredFormatCount = 6;   // zrpf1Bit .. zrpf24Bit
inline constexpr int ZrTargetFormatCount = 8;   // .. zrpfHalfToneBW
// The chain from Current to Target; no steps where no conversion exists.
const TZrConversion& ConversionOf(TZrPixelFormat Current, TZrPixelFormat Target);
