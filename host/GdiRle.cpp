#include "host/GdiRle.h"

#include <new>

namespace {

class TRleReader {
 public:
  explicit TRleReader(const TDibSource& Source) : FData(Source.Bits), FSize(Source.ImageSize) {}
  bool Has(std::size_t Count) const { return FSize - FPos >= Count; }
  BYTE Next() { return FData[FPos++]; }
  void Skip(std::size_t Count) { FPos += Count; }

 private:
  const BYTE* FData;
  std::size_t FSize;
  std::size_t FPos = 0;
};

class TRleWriter {
 public:
  explicit TRleWriter(TDecodedRle& Out) : FOut(Out) {}
  bool Done() const { return FRow >= FOut.Height; }
  void Put(BYTE Value) {
    if (FX < FOut.Width && !Done()) {
      // Stream rows run upwards from the bottom of the picture.
      const std::size_t at = static_cast<std::size_t>(FOut.Height - 1 - FRow) * FOut.Width + FX;
      FOut.Pixels[at] = Value;
      FOut.Covered[at] = 1;
    }
    ++FX;
  }
  void EndOfLine() {
    FX = 0;
    ++FRow;
  }
  void Move(int Dx, int Dy) {
    FX += Dx;
    FRow += Dy;
  }

 private:
  TDecodedRle& FOut;
  long long FX = 0;
  long long FRow = 0;
};

}  // namespace

std::optional<TDecodedRle> DecodeRle(const TDibSource& Source) {
  if (!Source.Rle() || static_cast<long long>(Source.Width) * Source.Height > MaxRlePixels) return std::nullopt;
  TDecodedRle out;
  out.Width = Source.Width;
  out.Height = Source.Height;
  try {
    out.Pixels.assign(static_cast<std::size_t>(Source.Width) * Source.Height, 0);
    out.Covered.assign(out.Pixels.size(), 0);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  const bool four = Source.Compression == BI_RLE4;
  TRleReader in(Source);
  TRleWriter put(out);
  while (!put.Done() && in.Has(2)) {
    const BYTE count = in.Next();
    const BYTE value = in.Next();
    if (count > 0) {
      for (int i = 0; i < count; ++i) put.Put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
      continue;
    }
    if (value == 0) {
      put.EndOfLine();
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (!in.Has(2)) break;
      const int dx = in.Next();
      const int dy = in.Next();
      put.Move(dx, dy);
    } else {
      // Absolute mode: value literal pixels, padded to a 16-bit boundary.
      const std::size_t bytes = four ? (value + 1u) / 2 : value;
      const std::size_t padded = (bytes + 1) & ~std::size_t{1};
      if (!in.Has(bytes)) break;
      for (std::size_t i = 0; i < bytes; ++i) {
        const BYTE b = in.Next();
        if (four) {
          put.Put(b >> 4);
          if (2 * i + 1 < value) put.Put(b & 0x0F);
        } else {
          put.Put(b);
        }
      }
      if (!in.Has(padded - bytes)) break;
      in.Skip(padded - bytes);
    }
  }
  return out;
}
