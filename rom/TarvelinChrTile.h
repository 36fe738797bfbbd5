#pragma once
// One CHR tile as 64 colour numbers (row by row, top first, left first) and
// back to its 16 bytes, with the whole-tile operations of the tile editor.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

using TChrTileBytes = std::array<std::uint8_t, 16>;
using TTilePixels = std::array<std::uint8_t, 64>;

TTilePixels UnpackTile(std::span<const std::uint8_t, 16> Bytes);
TChrTileBytes PackTile(const TTilePixels& Pixels);
// Sixteen bytes exactly, else nothing (what a clipboard offers is anyone's).
std::optional<TChrTileBytes> ChrTileFrom(std::span<const std::uint8_t> Bytes);

inline std::uint8_t& TilePixel(TTilePixels& Pixels, int X, int Y) { return Pixels[static_cast<std::size_t>(8 * Y + X)]; }

// The 4-connected area of (X, Y)'s colour, within the tile, to Colour.
void FillTile(TTilePixels& Pixels, int X, int Y, int Colour);
void FlipTileHorizontal(TTilePixels& Pixels);
void FlipTileVertical(TTilePixels& Pixels);
// Moves every pixel by (Dx, Dy); what leaves one edge comes in at the other.
void ShiftTile(TTilePixels& Pixels, int Dx, int Dy);
// The pixels of a straight line from (X0, Y0) to (X1, Y1), both ends in, to Colour.
void DrawTileLine(TTilePixels& Pixels, int X0, int Y0, int X1, int Y1, int Colour);
