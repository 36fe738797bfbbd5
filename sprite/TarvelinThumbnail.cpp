#include "sprite/TarvelinThumbnail.h"

#include <algorithm>

TThumbnailFrame ThumbnailFrame(std::span<const std::uint8_t> Pixels, int Width, int Height, int Stride, int Size) {
  int left = Width, top = Height, right = -1, bottom = -1;
  for (int y = 0; y < Height; ++y) {
    const auto row = Pixels.subspan(static_cast<std::size_t>(y) * static_cast<std::size_t>(Stride),
                                    static_cast<std::size_t>(Width));
    for (int x = 0; x < Width; ++x)
      if (row[static_cast<std::size_t>(x)]) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  }
  if (right < 0) return {};
  const int width = right - left + 1, height = bottom - top + 1;
  const int factor = Size / std::max(width, height);
  if (factor < 1) return {};
  const int side = std::min({(Size + factor - 1) / factor, Width, Height});
  const auto place = [side](int From, int Extent, int Limit) {
    return std::clamp(From - (side - Extent) / 2, 0, Limit - side);
  };
  return {place(left, width, Width), place(top, height, Height), side, factor};
}
