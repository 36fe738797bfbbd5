#pragma once
// The typed edits of the sprite data. Each resolves its record through the
// address rules the pages use and answers the byte writes it needs, against the
// document's current bytes, without applying them; a record never grows. An
// edit the image cannot take raises ERomEditError.

#include <array>
#include <cstdint>
#include <span>

#include "rom/TarvelinRomDocument.h"
#include "rom/TarvelinRomUsage.h"

// FrameData: the CHR bank, the alignment number, and the sprite count (only lowered).
TRomChange SetPatternChrBank(const TRomDocument& Document, TPatternRef Pattern, int ChrBank);
TRomChange SetPatternAlignNumber(const TRomDocument& Document, TPatternRef Pattern, int AlignNumber);
TRomChange SetPatternSpriteCount(const TRomDocument& Document, TPatternRef Pattern, int Count);
// A sprite of the FrameData: its tile, its flips and its palette group (attribute bits 5-2 kept).
TRomChange SetSpriteTile(const TRomDocument& Document, TPatternRef Pattern, int Sprite, int Tile);
TRomChange SetSpriteFlips(const TRomDocument& Document, TPatternRef Pattern, int Sprite, bool Vertical,
                          bool Horizontal);
TRomChange SetSpritePaletteGroup(const TRomDocument& Document, TPatternRef Pattern, int Sprite, int Group);
// The sprite's (Y, X) in the pattern's AlignData; each taken mod 256, so a step past an edge wraps.
TRomChange SetSpritePosition(const TRomDocument& Document, TPatternRef Pattern, int Sprite, int Y, int X);

// AnimationData: the pattern-number high bit, ticks per frame (1-256), the
// frame count (only lowered) and a frame's pattern-number low byte.
TRomChange SetAnimationHighBit(const TRomDocument& Document, TAnimationRef Animation, bool High);
TRomChange SetAnimationTicks(const TRomDocument& Document, TAnimationRef Animation, int Ticks);
TRomChange SetAnimationFrameCount(const TRomDocument& Document, TAnimationRef Animation, int Count);
TRomChange SetAnimationFrame(const TRomDocument& Document, TAnimationRef Animation, int Frame, int PatternLow);

// Pixel (X, Y) of tile Tile (0-63) of CHR bank ChrBank to colour Colour (0-3): one bit in each plane.
TRomChange SetChrPixel(const TRomDocument& Document, int ChrBank, int Tile, int X, int Y, int Colour);
// All 16 bytes of tile Tile (0-63) of CHR bank ChrBank; only the bytes that differ are written.
TRomChange SetChrTile(const TRomDocument& Document, int ChrBank, int Tile, std::span<const std::uint8_t, 16> Bytes);
// The current 16 bytes of that tile.
std::array<std::uint8_t, 16> ChrTileBytes(const TRomDocument& Document, int ChrBank, int Tile);
