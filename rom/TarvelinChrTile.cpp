#include "rom/TarvelinChrTile.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

TTilePixels UnpackTile(std::span<const std::uint8_t, 16> Bytes) {
  TTilePixels pixels{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const int bit = 7 - x;
      TilePixel(pixels, x, y) = static_cast<std::uint8_t>(((Bytes[static_cast<std::size_t>(y)] >> bit) & 1) |
                                                          (((Bytes[static_cast<std::size_t>(y + 8)] >> bit) & 1) << 1));
    }
  return pixels;
}

TChrTileBytes PackTile(const TTilePixels& Pixels) {
  TChrTileBytes bytes{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const int colour = Pixels[static_cast<std::size_t>(8 * y + x)];
      const int bit = 0x80 >> x;
      if (colour & 1) bytes[static_cast<std::size_t>(y)] |= static_cast<std::uint8_t>(bit);
      if (colour & 2) bytes[static_cast<std::size_t>(y + 8)] |= static_cast<std::uint8_t>(bit);
    }
  return bytes;
}

std::optional<TChrTileBytes> ChrTileFrom(std::span<const std::uint8_t> Bytes) {
  if (Bytes.size() != 16) return std::nullopt;
  TChrTileBytes bytes{};
  std::copy(Bytes.begin(), Bytes.end(), bytes.begin());
  return bytes;
}

void FillTile(TTilePixels& Pixels, int X, int Y, int Colour) {
  if (X < 0 || X > 7 || Y < 0 || Y > 7) return;
  const std::uint8_t from = TilePixel(Pixels, X, Y), to = static_cast<std::uint8_t>(Colour & 3);
  if (from == to) return;
  // At most 64 pixels: a stack of them all is enough.
  std::array<std::pair<int, int>, 64> stack{};
  std::size_t size = 0;
  TilePixel(Pixels, X, Y) = to;
  stack[size++] = {X, Y};
  while (size) {
    const auto [x, y] = stack[--size];
    for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
      const int nx = x + dx, ny = y + dy;
      if (nx < 0 || nx > 7 || ny < 0 || ny > 7 || TilePixel(Pixels, nx, ny) != from) continue;
      TilePixel(Pixels, nx, ny) = to;
      stack[size++] = {nx, ny};
    }
  }
}

void FlipTileHorizontal(TTilePixels& Pixels) {
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 4; ++x) std::swap(TilePixel(Pixels, x, y), TilePixel(Pixels, 7 - x, y));
}

void FlipTileVertical(TTilePixels& Pixels) {
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) std::swap(TilePixel(Pixels, x, y), TilePixel(Pixels, x, 7 - y));
}

void ShiftTile(TTilePixels& Pixels, int Dx, int Dy) {
  const TTilePixels from = Pixels;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      TilePixel(Pixels, ((x + Dx) % 8 + 8) % 8, ((y + Dy) % 8 + 8) % 8) = from[static_cast<std::size_t>(8 * y + x)];
}

void DrawTileLine(TTilePixels& Pixels, int X0, int Y0, int X1, int Y1, int Colour) {
  // Bresenham's, all octants.
  const int dx = std::abs(X1 - X0), dy = -std::abs(Y1 - Y0);
  const int sx = X0 < X1 ? 1 : -1, sy = Y0 < Y1 ? 1 : -1;
  int error = dx + dy;
  for (int x = X0, y = Y0;;) {
    if (x >= 0 && x < 8 && y >= 0 && y < 8) TilePixel(Pixels, x, y) = static_cast<std::uint8_t>(Colour & 3);
    if (x == X1 && y == Y1) break;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += sx;
    }
    if (twice <= dx) {
      error += dx;
      y += sy;
    }
  }
}
