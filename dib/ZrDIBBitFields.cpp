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

TZrBitFields::TZrBitFields(int BitCount, DWORD Compression, const std::array<DWORD, 3>& Masks) : FBitCount(BitCount) {
  std::array<DWORD, 3> masks = Masks;
  if (Compression == BI_RGB)
    masks = BitCount == 16 ? std::array<DWORD, 3>{0x7C00, 0x03E0, 0x001F}
                           : std::array<DWORD, 3>{0xFF0000, 0x00FF00, 0x0000FF};
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
  FBytesInPlace = BitCount == 32 && masks == std::array<DWORD, 3>{0xFF0000, 0x00FF00, 0x0000FF};
}

std::int64_t TZrBitFields::SourceRowBytes(int BitCount, std::int64_t Width) {
  return BitCount == 16 ? (2 * Width + 3) / 4 * 4 : 4 * Width;
}

template <int Bytes>
void TZrBitFields::Convert(const BYTE* Source, BYTE* Dest, std::int64_t Width) const {
  // Locals: stores through Dest could alias the members, which would be
  // reloaded after every byte.
  const DWORD rm = FChannels[0].Mask, gm = FChannels[1].Mask, bm = FChannels[2].Mask;
  const unsigned rr = FChannels[0].Right, gr = FChannels[1].Right, br = FChannels[2].Right;
  const unsigned rl = FChannels[0].Left, gl = FChannels[1].Left, bl = FChannels[2].Left;
  const BYTE* const rs = FChannels[0].Scale.data();
  const BYTE* const gs = FChannels[1].Scale.data();
  const BYTE* const bs = FChannels[2].Scale.data();
  const auto pixel = [&](const BYTE* p) {
    DWORD v = p[0] | static_cast<DWORD>(p[1]) << 8;
    if constexpr (Bytes == 4) v |= static_cast<DWORD>(p[2]) << 16 | static_cast<DWORD>(p[3]) << 24;
    return bs[((v & bm) >> br) << bl] | static_cast<DWORD>(gs[((v & gm) >> gr) << gl]) << 8 |
           static_cast<DWORD>(rs[((v & rm) >> rr) << rl]) << 16;
  };
  // One 4-byte store per pixel; its fourth byte is overwritten by the next
  // pixel, so the last one is stored byte by byte.
  std::int64_t x = 0;
  for (; x + 1 < Width; ++x, Source += Bytes, Dest += 3) {
    const DWORD bgr = pixel(Source);
    std::memcpy(Dest, &bgr, 4);
  }
  const DWORD bgr = pixel(Source);
  Dest[0] = static_cast<BYTE>(bgr);
  Dest[1] = static_cast<BYTE>(bgr >> 8);
  Dest[2] = static_cast<BYTE>(bgr >> 16);
}

void TZrBitFields::ConvertRow(const BYTE* Source, BYTE* Dest, std::int64_t Width) const {
  // The last 4 bytes hold every padding byte there is.
  std::memset(Dest + OutputRowBytes(Width) - 4, 0, 4);
  if (FBytesInPlace) {
    // Blue, green and red already lie in the first three bytes of each pixel.
    std::int64_t x = 0;
    for (; x + 1 < Width; ++x, Source += 4, Dest += 3) std::memcpy(Dest, Source, 4);
    std::memcpy(Dest, Source, 3);
  } else if (FBitCount == 16)
    Convert<2>(Source, Dest, Width);
  else
    Convert<4>(Source, Dest, Width);
}
