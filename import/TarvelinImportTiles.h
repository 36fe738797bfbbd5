#pragma once
// What the importers share: a picture at the size it was saved at, reduced to
// the page's own size, and new tile bytes turned into the writes that differ.

#include <array>
#include <cstdint>
#include <map>

#include "import/TarvelinImport.h"

// The new 16 bytes of each tile an import touches, by ChrData offset.
using TNewTiles = std::map<int, std::array<std::uint8_t, 16>>;

// Picture itself when it is Width x Height; an enlarged copy (K x K blocks, K up to 8,
// each of one colour) brought back to that size in Reduced; null when refused.
const TImportImage* AtPageSize(const TImportImage& Picture, int Width, int Height, TImportImage& Reduced,
                               TImportResult& Result);

// The tile at ChrData offset Offset as its current bytes.
std::array<std::uint8_t, 16> TileBytes(const TChrData& ChrData, int Offset);
// Colour number of pixel (X, Y) of a tile's bytes.
int TilePixel(const std::array<std::uint8_t, 16>& Tile, int X, int Y);
void SetTilePixel(std::array<std::uint8_t, 16>& Tile, int X, int Y, int Colour);

// The writes of Tiles' bytes that differ from ChrData, and the tiles they change.
void PlanTileWrites(const TChrData& ChrData, const TNewTiles& Tiles, TImportResult& Result);
