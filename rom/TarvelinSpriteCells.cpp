#include "rom/TarvelinSpriteCells.h"

#include <algorithm>

int SpriteAtCell(std::span<const std::uint8_t> Align, int Count, int X, int Y) {
  const int count = std::min(Count, static_cast<int>(Align.size() / 2));
  for (int i = count - 1; i >= 0; --i) {
    const auto at = static_cast<std::size_t>(i);
    // How far into the cell, counted from its top-left pixel, with the picture's wrap.
    const int down = (Y - (Align[2 * at] + 128)) & 0xFF;
    const int across = (X - (Align[2 * at + 1] + 128)) & 0xFF;
    if (down < 8 && across < 8) return i;
  }
  return -1;
}
