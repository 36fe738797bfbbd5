// Colour reduction and half-tone on fuzzed pictures: size, depth, orientation,
// colour table and pixels from the input. Every converter must finish, call
// its progress exactly 2^depth times, give only indexes below the colour count
// (half-tone: none above 209) and agree with itself on the same pixels.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "dib/ZrDIBConvert.h"

namespace {

void Check(bool Condition) {
  if (!Condition) __builtin_trap();
}

int IndexAt(const TZrDIBData& Data, int x, int Row) {
  const auto& h = Data.BitmapInfo.bmiHeader;
  const BYTE* row = Data.Bits + static_cast<std::size_t>(Row) * DIBStride(h.biBitCount, h.biWidth);
  switch (h.biBitCount) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4;
    default: return row[x];
  }
}

void CheckIndexes(const TZrDIBData& Data, int Below) {
  const auto& h = Data.BitmapInfo.bmiHeader;
  for (int y = 0; y < std::abs(h.biHeight); ++y)
    for (int x = 0; x < h.biWidth; ++x) Check(IndexAt(Data, x, y) < Below);
}

using TReducer = TZrDIBData (*)(const TZrDIBSource&, bool, const TZrConvertProgress&);

void Reduce(const TZrDIBSource& Source, TReducer Convert, int Depth) {
  int steps = 0;
  const TZrDIBData out = Convert(Source, false, [&] { ++steps; });
  Check(steps == 1 << Depth);
  const auto used = static_cast<int>(out.BitmapInfo.bmiHeader.biClrUsed);
  Check(used >= 1 && used <= 1 << Depth);
  CheckIndexes(out, used);
  const TZrDIBData again = Convert(Source, false, {});
  Check(out.ImageSize == again.ImageSize && std::memcmp(out.Bits, again.Bits, out.ImageSize) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 3) return 0;
  static const int depths[] = {1, 4, 8, 24};
  const int bits = depths[Data[0] & 3];
  const int width = 1 + Data[1] % 96, height = (1 + Data[2] % 64) * ((Data[0] & 4) ? -1 : 1);
  Data += 3;
  Size -= 3;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bits);
  if (bits != 24) {
    const std::size_t table = std::min<std::size_t>(Size, 256 * 3);
    for (std::size_t i = 0; i < table / 3; ++i)
      info.bmiColors[i] = RGBQUAD{Data[3 * i], Data[3 * i + 1], Data[3 * i + 2], 0};
    Data += table;
    Size -= table;
  }
  // The rest are the pixels, repeated to fill the picture.
  const std::size_t bytes = static_cast<std::size_t>(DIBStride(bits, width)) * std::abs(height);
  std::vector<BYTE> pixels(bytes);
  for (std::size_t i = 0; i < bytes && Size > 0; ++i) pixels[i] = Data[i % Size];
  const TZrDIBSource source{&info, pixels.data(), static_cast<std::int32_t>(bytes)};

  if (bits == 24) {
    Reduce(source, ConvertTrueColorTo8BitRGBLow, 8);
    Reduce(source, ConvertTrueColorTo4BitRGBLow, 4);
    Reduce(source, ConvertTrueColorTo8BitRGBHigh, 8);
    Reduce(source, ConvertTrueColorTo4BitRGBHigh, 4);
  }
  if (bits == 8) Reduce(source, Convert8BitRGBTo4BitRGB, 4);
  const TZrDIBData halfTone = ConvertToHalfTone(source, false);
  Check(halfTone.BitmapInfo.bmiHeader.biClrUsed == 215);
  CheckIndexes(halfTone, 210);
  const TZrDIBData bw = ConvertToHalfToneBW(source, false);
  Check(bw.BitmapInfo.bmiHeader.biClrUsed == 2);
  CheckIndexes(bw, 2);
  return 0;
}
