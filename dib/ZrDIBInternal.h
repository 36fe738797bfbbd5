#pragma once
// The storage behind TZrDIB: one DIB (header, colour table, pixels) that several
// graphics may share, and the routines that give it pixel memory and palettes.

#include <cstdint>
#include <functional>
#include <span>

#include "dib/ZrDIBErrors.h"
#include "host/Windows.h"
#include "host/Classes.h"

enum TZrPixelFormat : BYTE {
  zrpf1Bit = 0,
  zrpf4Bit = 1,
  zrpf4BitRLE = 2,
  zrpf8Bit = 3,
  zrpf8BitRLE = 4,
  zrpf24Bit = 5,
  zrpfHalfTone = 6,    // conversion target only
  zrpfHalfToneBW = 7,  // conversion target only
};

// Whether a new TZrDIB keeps its pixels in a file mapping object.
extern bool DefaultUseFMO;

// Zero-filled pixel memory of Size bytes: a view of a new file mapping object
// with UseFMO, else a heap block (FileMapping none).
void GetMemory(std::int32_t Size, bool UseFMO, HANDLE& FileMapping, BYTE*& Bits);
void ReleaseMemory(HANDLE FileMapping, BYTE* Bits, bool UseFMO);

// 2, 16 or 256 for 1, 4 or 8 bits; 0 for any other bit count.
int NumColorsOf(int BitCount);
// Bytes per row: rows are padded to whole 32-bit words. 64 bits wide so that no
// width a header can carry overflows it.
std::int64_t DIBStride(int BitCount, std::int64_t Width);
// A palette of the first biClrUsed colour entries, or none when there are none.
HPALETTE GetPaletteFromDIBInfos(const BITMAPINFO& BitmapInfo);

class TZrInternalDIB : public TObject {
public:
  // Asks for a storage that holds no pixel memory yet, for content built afterwards.
  struct TNoPixels {};
  static constexpr TNoPixels NoPixels{};

  // A blank 1 x 1, 8-bit DIB with 256 black colours.
  explicit TZrInternalDIB(bool AUseFMO);
  TZrInternalDIB(bool AUseFMO, TNoPixels);
  ~TZrInternalDIB() override;
  TZrInternalDIB(const TZrInternalDIB&) = delete;
  TZrInternalDIB& operator=(const TZrInternalDIB&) = delete;
  const char* ClassName() const override { return "TZrInternalDIB"; }

  // A blank DIB (pixels 0, colours black); a negative Height asks for top-down rows.
  // The storage must hold no pixel memory.
  void CreateDIB(int AWidth, int AHeight, int ColorCount, int BitCount);
  void FreeDIB();
  // Drops the cached palette after the colour table changed.
  void UpdatePalette();
  TZrPixelFormat GetPixelFormat() const;
  // Converts the pixels to Target (not the current format) through the
  // converters of its chain; on failure the storage stays as it was. Mode picks
  // the colour reduction, ConvertProgress is called per reduction step, Color
  // (plain RGB) is what masks to 1 bit keep white. The storage must not be shared.
  void SetPixelsFormat(TZrPixelFormat Target, BYTE Mode, const std::function<void()>& ConvertProgress,
                       COLORREF Color);

  // Fill the storage from a BMP file at the stream's position or from a packed
  // DIB; on failure the storage is left as it was.
  void LoadFromStream(TStream& Stream);
  void LoadFromClipboardFormat(HGLOBAL Block);
  // A new packed DIB of the content; the caller owns the block.
  HGLOBAL SaveToClipboardFormat() const;
  // Bytes of the header and colour table that a BMP file or packed DIB of the
  // content carries; raises, under Operation's name, for content no reader
  // would take back.
  std::int64_t SavedInfoSize(const char* Operation) const;

  std::span<BYTE> Pixels() const { return {Bits, static_cast<std::size_t>(ImageSize)}; }

  std::int32_t RefCount = 1;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  HPALETTE PaletteHandle;
  std::int32_t ImageSize = 0;
  HANDLE FileMapping;
  BYTE* Bits = nullptr;
  BITMAPINFO BitmapInfo;
  bool PaletteChanged = false;
  bool UseFMO;
};
