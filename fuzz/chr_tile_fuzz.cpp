// A tile as the clipboard offers it, any bytes: only 16 are taken, they unpack and
// pack back unchanged, and the editor's operations keep what they promise on them.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "rom/TarvelinChrTile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::span<const std::uint8_t> bytes(Data, Size);
  const auto tile = ChrTileFrom(bytes.first(std::min<std::size_t>(Size, 16)));
  if (tile.has_value() != (Size >= 16)) std::abort();
  if (!tile) return 0;
  const TTilePixels pixels = UnpackTile(*tile);
  if (PackTile(pixels) != *tile) std::abort();
  // Bytes past the tile choose the operation's arguments.
  const int x = Size > 16 ? Data[16] % 8 : 0, y = Size > 16 ? Data[16] / 8 % 8 : 0;
  const int colour = Size > 17 ? Data[17] % 4 : 1, dx = Size > 18 ? Data[18] % 17 - 8 : 1, dy = Size > 19 ? Data[19] % 17 - 8 : 1;
  TTilePixels shifted = pixels;
  ShiftTile(shifted, dx, dy);
  ShiftTile(shifted, -dx, -dy);
  TTilePixels flipped = pixels;
  FlipTileHorizontal(flipped);
  FlipTileVertical(flipped);
  FlipTileHorizontal(flipped);
  FlipTileVertical(flipped);
  if (shifted != pixels || flipped != pixels) std::abort();
  // A fill changes only pixels of the colour it started on, all to the new colour, the start among them.
  TTilePixels filled = pixels;
  FillTile(filled, x, y, colour);
  const std::uint8_t from = pixels[static_cast<std::size_t>(8 * y + x)];
  if (filled[static_cast<std::size_t>(8 * y + x)] != colour) std::abort();
  for (std::size_t i = 0; i < 64; ++i)
    if (filled[i] != pixels[i] && (pixels[i] != from || filled[i] != colour)) std::abort();
  return 0;
}
