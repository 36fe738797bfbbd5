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

std::array<int, 256> SpritesPerScanline(std::span<const std::uint8_t> Align, int Count) {
  std::array<int, 256> rows{};
  const int count = std::min(Count, static_cast<int>(Align.size() / 2));
  for (int i = 0; i < count; ++i) {
    const int top = Align[2 * static_cast<std::size_t>(i)] + 128;
    for (int j = 0; j < 8; ++j) ++rows[static_cast<std::size_t>((top + j) & 0xFF)];
  }
  return rows;
}
