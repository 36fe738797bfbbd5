#pragma once
// 16- and 32-bit pixels with colour masks, turned into 24-bit rows: a storage
// only ever holds 1, 4, 8 or 24 bits.

#include <array>
#include <cstdint>

#include "host/Windows.h"

// The shift that brings the mask's highest set bit to bit 7: positive shifts
// right, negative shifts left. Mask must not be 0.
int MaskShiftOf(DWORD Mask);

class TZrBitFields {
 public:
  // Masks in the order red, green, blue; with Compression 0 the defaults of the
  // bit count (5-5-5 or 8-8-8) are taken instead. A mask of 0 raises EZrDIBInvalidDIB.
  TZrBitFields(int BitCount, DWORD Compression, const std::array<DWORD, 3>& Masks);

  // Bytes of one stored 16- or 32-bit row, and of one 24-bit output row.
  static std::int64_t SourceRowBytes(int BitCount, std::int64_t Width);
  static std::int64_t OutputRowBytes(std::int64_t Width) { return (3 * Width + 3) / 4 * 4; }

  // Converts Width pixels of Source into Dest, OutputRowBytes(Width) long,
  // padding included.
  void ConvertRow(const BYTE* Source, BYTE* Dest, std::int64_t Width) const;

 private:
  struct TChannel {
    DWORD Mask;
    unsigned Right;  // one of the two shifts is 0
    unsigned Left;
    std::array<BYTE, 256> Scale;  // shifted value -> 0..255
  };
  template <int Bytes>
  void Convert(const BYTE* Source, BYTE* Dest, std::int64_t Width) const;

  int FBitCount;
  bool FBytesInPlace = false;         // 8-8-8 masks: every component is a byte as it stands
  std::array<TChannel, 3> FChannels;  // red, green, blue
};
