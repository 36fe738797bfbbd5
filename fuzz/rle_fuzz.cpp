// The RLE8 and RLE4 decoders on arbitrary data under an arbitrary header.
// Input: one byte of choices, width and height (16 bits each, little-endian,
// the height signed), then the compressed data. Whatever decodes must encode
// and decode again to the same pixels, where the encoder finds room.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dib/ZrDIBConvert.h"

namespace {

// Decoded pictures stay small: memory stays bounded and runs stay fast.
constexpr std::int64_t MaxPixelBytes = 256 << 10;

struct TRaw {
  TRaw(const BITMAPINFOHEADER& Header, const std::uint8_t* Data, std::size_t Size)
      : DIB(false, TZrInternalDIB::NoPixels) {
    DIB.BitmapInfo.bmiHeader = Header;
    DIB.Width = Header.biWidth;
    DIB.Height = std::abs(Header.biHeight);
    GetMemory(static_cast<std::int32_t>(Size), false, DIB.FileMapping, DIB.Bits);
    if (Size) std::memcpy(DIB.Bits, Data, Size);
    DIB.ImageSize = static_cast<std::int32_t>(Size);
  }
  TZrInternalDIB DIB;
};

// Pixel x of visual row y (0 the top row): the pad bits past the width, where a
// run may leave a nibble that the encoder never sees, are not compared.
int PixelAt(const TZrDIBData& D, std::int64_t x, std::int64_t y) {
  const auto& h = D.BitmapInfo.bmiHeader;
  const std::int64_t height = std::abs(h.biHeight);
  const std::int64_t row = h.biHeight > 0 ? height - 1 - y : y;
  const BYTE* p = D.Bits + row * DIBStride(h.biBitCount, h.biWidth);
  if (h.biBitCount == 8) return p[x];
  return x & 1 ? p[x >> 1] & 0x0F : p[x >> 1] >> 4;
}

bool SamePicture(const TZrDIBData& A, const TZrDIBData& B) {
  const auto& h = A.BitmapInfo.bmiHeader;
  const std::int64_t height = std::abs(h.biHeight);
  for (std::int64_t y = 0; y < height; ++y)
    for (std::int64_t x = 0; x < h.biWidth; ++x)
      if (PixelAt(A, x, y) != PixelAt(B, x, y)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size < 5 || Size > (1 << 20)) return 0;
  const std::uint8_t choices = Data[0];
  const bool rle4 = choices & 1;
  BITMAPINFOHEADER header;
  header.biSize = sizeof header;
  header.biWidth = Data[1] | Data[2] << 8;
  header.biHeight = static_cast<std::int16_t>(Data[3] | Data[4] << 8);
  header.biPlanes = 1;
  header.biBitCount = rle4 ? 4 : 8;
  header.biCompression = rle4 ? BI_RLE4 : BI_RLE8;
  header.biClrUsed = rle4 ? 16 : 256;
  if (DIBStride(header.biBitCount, header.biWidth) * std::abs(header.biHeight) > MaxPixelBytes) return 0;

  TRaw raw(header, Data + 5, Size - 5);
  try {
    if (choices & 2) {
      // Through the dispatch: decoding, then the chain's next step.
      raw.DIB.SetPixelsFormat(choices & 4 ? zrpf24Bit : zrpf1Bit, 0, {}, 0xFFFFFF);
      return 0;
    }
    const TZrDIBData decoded = rle4 ? Convert4BitRLETo4BitRGB(SourceOf(raw.DIB), false)
                                    : Convert8BitRLETo8BitRGB(SourceOf(raw.DIB), false);
    TZrDIBData encoded = rle4 ? Convert4BitRGBTo4BitRLE(decoded.Source(), false)
                              : Convert8BitRGBTo8BitRLE(decoded.Source(), false);
    const TZrDIBData again = rle4 ? Convert4BitRLETo4BitRGB(encoded.Source(), false)
                                  : Convert8BitRLETo8BitRGB(encoded.Source(), false);
    // Skipped pixels decode as 0, so both must show the same picture (the
    // encoder turns a top-down one bottom-up).
    if (again.ImageSize != decoded.ImageSize || !SamePicture(decoded, again)) std::abort();
  } catch (const EZrDIBError&) {
    // Malformed data, or no room to encode: refused, which is what is wanted.
  } catch (const EOutOfMemory&) {
  }
  return 0;
}
