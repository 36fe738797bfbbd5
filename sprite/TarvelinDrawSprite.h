#pragma once
// Sprite rendering: CHR tiles, character banks and whole sprite patterns drawn
// as palette indexes into 8-bit pictures coloured with the fixed sprite palette.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "sprite/TarvelinFcPalette.h"
#include "rom/TarvelinFileIO.h"

class TZrDIB;

// Four palette groups of four NES colour numbers; entry 4g + c is colour c of group g.
inline constexpr std::array<std::uint8_t, 16> SpritePaletteSet = {
    0x0F, 0x0F, 0x2C, 0x11,  //
    0x0F, 0x0F, 0x20, 0x37,  //
    0x0F, 0x0F, 0x20, 0x27,  //
    0x0F, 0x0F, 0x20, 0x2A,
};

// Sets colour-table entries 0..15 of Picture to the colours of the NES colour numbers in Set.
void SetSpritePalette(TZrDIB& Picture, const std::array<std::uint8_t, 16>& Set);
// A new 8-bit picture of the given size: every pixel 0, entries 0..15 the sprite palette.
std::unique_ptr<TZrDIB> CreatePageDIB(int Width, int Height);
// The palette pictures are coloured with: FcPalette, or the built-in master
// palette when the palette file could not be opened.
const TFcPaletteData& PicturePalette();

// Which sprite of a pattern wrote each pixel of a 256 x 256 picture, recorded
// while it is drawn, so a pixel traces back to its ROM bytes without a second pass.
class TSpriteMap {
public:
  static constexpr int Size = 256;
  TSpriteMap() : FSprites(Size * Size, -1) {}
  // The record index of the topmost sprite at (X, Y) (taken mod 256); -1 where none is.
  int At(int X, int Y) const { return FSprites[Index(X, Y)]; }
  void Set(int X, int Y, int Sprite) { FSprites[Index(X, Y)] = static_cast<std::int16_t>(Sprite); }

private:
  static std::size_t Index(int X, int Y) { return static_cast<std::size_t>((Y & 0xFF) * Size + (X & 0xFF)); }
  std::vector<std::int16_t> FSprites;
};

class TDrawSprite {
public:
  TDrawSprite(const TChrData& ChrData, const TFcPaletteData* Palette);

  // One 1 KiB character bank as a 128 x 32 band whose top row is Top; colour 0 is drawn too.
  void DrawCharacterBank(TZrDIB& Picture, std::uint8_t Bank, std::uint8_t Top, std::uint8_t Group) const;
  // The 128 x 128 pattern table: the bank in the band of its load offset (and the
  // next bank in band 3 when the offset is 2).
  void DrawPatternTable(TZrDIB& Picture, std::uint8_t Bank, std::uint8_t LoadOffset, std::uint8_t Group) const;
  // One 8 x 8 sprite with its top-left pixel at (X, Y), colour 0 transparent;
  // a tile whose bytes lie outside ChrData is skipped.
  void DrawSpriteTile(TZrDIB& Picture, std::int32_t Window, std::uint8_t X, std::uint8_t Y, std::uint8_t Tile,
                      std::uint8_t Attribute) const;
  // A whole sprite pattern: the FrameData record with its AlignData record.
  // Sprites whose bytes the records do not hold are not drawn.
  void DrawFrame(TZrDIB& Picture, std::span<const std::uint8_t> Frame, std::span<const std::uint8_t> Align) const;
  // The same, noting in Map which sprite wrote each pixel (Map is not cleared first).
  void DrawFrame(TZrDIB& Picture, std::span<const std::uint8_t> Frame, std::span<const std::uint8_t> Align,
                 TSpriteMap* Map) const;

private:
  void DrawTile(TZrDIB& Picture, std::int32_t Window, std::uint8_t X, std::uint8_t Y, std::uint8_t Tile,
                std::uint8_t Attribute, TSpriteMap* Map, int Sprite) const;

  std::int32_t FOriginX = 128;
  std::int32_t FOriginY = 128;
  const TChrData* FChrData;
  const TFcPaletteData* FPalette;
};
