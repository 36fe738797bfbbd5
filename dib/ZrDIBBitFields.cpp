#include "dib/ZrDIBBitFields.h"

#include <cstring>

#include "dib/ZrDIBErrors.h"

int MaskShiftOf(DWORD Mask) {
  DWORD m = Mask;
  int s = 0;
  while (m >= 256) {
    m >>= 1;
    ++s;
  }
  while (m < 128) {
    m <<= 1;
    --s;
  }
  return s;
}

TZrBitFields::TZrBitFields(int BitCount, DWORD Compression, const std::array<DWORD, 3>& Masks)
    : FBitCount(BitCount) {
  std::array<DWORD, 3> masks = Masks;
  if (Compression == BI_RGB)
    masks = BitCount == 16 ? std::array<DWORD, 3>{0x7C00, 0x03E0, 0x001F} : std::array<DWORD, 3>{0xFF0000, 0x00FF00, 0x0000FF};
  for (int c = 0; c < 3; ++c) {
    if (masks[c] == 0) throw EZrDIBInvalidDIB("TZrInternalDIB.LoadFromStream: Invalid Masks");
    TChannel& channel = FChannels[c];
    const int s = MaskShiftOf(masks[c]);
    channel.Mask = masks[c];
    channel.Right = s > 0 ? static_cast<unsigned>(s) : 0;
    channel.Left = s < 0 ? static_cast<unsigned>(-s) : 0;
    const DWORD scale = (masks[c] >> channel.Right) << channel.Left;
    // Values above the scale cannot come out of the mask; the table still covers them.
    for (DWORD v = 0; v < 256; ++v) channel.Scale[v] = static_cast<BYTE>(v <= scale ? v * 255 / scale : 255);
  }
}

std::int64_t TZrBitFields::SourceRowBytes(int BitCount, std::int64_t Width) {
  return BitCount == 16 ? (2 * Width + 3) / 4 * 4 : 4 * Width;
}

template <int Bytes>
void TZrBitFields::Convert(const BYTE* Source, BYTE* Dest, std::int64_t Width) const {
  const TChannel& r = FChannels[0];
  const TChannel& g = FChannels[1];
  const TChannel& b = FChannels[2];
  for (std::int64_t x = 0; x < Width; ++x, Source += Bytes, Dest += 3) {
    DWORD v = Source[0] | static_cast<DWORD>(Source[1]) << 8;
    if constexpr (Bytes == 4) v |= static_cast<DWORD>(Source[2]) << 16 | static_cast<DWORD>(Source[3]) << 24;
    Dest[0] = b.Scale[((v & b.Mask) >> b.Right) << b.Left];
    Dest[1] = g.Scale[((v & g.Mask) >> g.Right) << g.Left];
    Dest[2] = r.Scale[((v & r.Mask) >> r.Right) << r.Left];
  }
}

void TZrBitFields::ConvertRow(const BYTE* Source, BYTE* Dest, std::int64_t Width) const {
  // The last 4 bytes hold every padding byte there is.
  std::memset(Dest + OutputRowBytes(Width) - 4, 0, 4);
  if (FBitCount == 16)
    Convert<2>(Source, Dest, Width);
  else
    Convert<4>(Source, Dest, Width);
}
