#pragma once
// Pixel-to-ROM trace: what the status bar says about the pixel under the mouse,
// from a record of how the picture shown was drawn.

#include <cstdint>
#include <string>
#include <vector>

#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinPictureLook.h"

struct TSpritePattern;
class TZrDIB;

// How a page's sprite picture was drawn: copies of the records' bytes and the
// sprite map, kept with the picture so the trace matches it even after the ROM
// buffers change.
struct TSpriteTrace {
  bool Drawn = false;  // false for an empty picture (no pattern, or no renderer)
  int BankIndex = 0;   // bank box item and pattern number, for opening it on the sprite page
  int PatternNumber = 0;
  int FrameAddress = 0;
  int AlignAddress = 0;
  std::vector<std::uint8_t> Frame;  // header and the sprite entries
  std::vector<std::uint8_t> Align;  // the (Y, X) pairs
  TSpriteMap Map;
  int Background = DefaultBackground;  // behind the sprites, as ApplyBackground took it
};

// The trace record of Pattern, with an empty map for the drawing to fill.
TSpriteTrace TraceOf(const TSpritePattern& Pattern, int BankIndex, int PatternNumber);

// The text for pixel (X, Y) of a 256 x 256 sprite picture drawn as Trace says;
// Index is the pixel's palette index.
std::string SpritePixelText(const TSpriteTrace& Trace, int X, int Y, int Index);

// The text for pixel (X, Y) of the 128 x 128 pattern table of CHR bank Bank at
// load offset LoadOffset.
std::string PatternTablePixelText(int Bank, int LoadOffset, int X, int Y);

// The tile under pixel (X, Y) of a 128 x 128 pattern table of a pattern whose
// first sprite names CHR bank Bank at load offset LoadOffset: its number in the
// sprite tile window, and the CHR bank the table drew it from (-1 where the
// table shows none). WholeTileWindow: the table shows the window's four banks.
struct TTableTile {
  int Tile = 0;
  int Bank = -1;
};
TTableTile PatternTableTile(int Bank, int LoadOffset, bool WholeTileWindow, int X, int Y);

// Palette index of pixel (X, Y) of an 8-bit picture, read without unsharing its storage; -1 outside it.
int PicturePixelIndex(const TZrDIB& Picture, int X, int Y);
