#pragma once
// The 8 x 8 cells a pattern's sprites cover on the 256 x 256 picture, found from
// the AlignData alone: which sprite a point picks.

#include <array>
#include <cstdint>
#include <span>

// The sprite whose cell holds picture pixel (X, Y), the one drawn last where
// cells overlap; -1 for none. Count sprites are read from Align's (Y, X) pairs,
// each placed at its offset from the picture centre and wrapping at the edges as drawn.
int SpriteAtCell(std::span<const std::uint8_t> Align, int Count, int X, int Y);

// How many of the Count sprites share each of the picture's 256 rows, their
// cells wrapping as drawn. The console shows at most 8 sprites on one scanline.
inline constexpr int SpritesPerScanlineLimit = 8;
std::array<int, 256> SpritesPerScanline(std::span<const std::uint8_t> Align, int Count);
