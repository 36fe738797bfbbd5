#pragma once
// Where a thumbnail of a 256 x 256 page picture looks: the square around what is
// drawn, scaled up by a whole factor so 8 x 8 sprites stay sharp and readable.

#include <cstdint>
#include <span>

struct TThumbnailFrame {
  int Left = 0;
  int Top = 0;
  int Side = 0;    // of the square taken from the picture
  int Factor = 0;  // its pixels' scale; 0: nothing fits, the whole picture is shown shrunk
};

// Pixels: Height rows of Stride bytes, a non-zero byte drawn. The square has
// Side = ceil(Size / Factor) with the largest Factor that fits the drawn area
// in Size, centred on the drawn area and kept inside the picture.
TThumbnailFrame ThumbnailFrame(std::span<const std::uint8_t> Pixels, int Width, int Height, int Stride, int Size);
