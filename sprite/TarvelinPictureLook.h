#pragma once
// How the viewer's pictures look beyond the fixed sprite palette: the colour
// behind the sprites, transparency in files and on the clipboard, and the
// pattern table of a pattern's whole sprite tile window. The defaults are the
// pictures as they have always been.

#include <cstdint>
#include <string>

class TDrawSprite;
class TZrDIB;
struct TSpritePattern;

// A background that is no NES colour: squares of two greys, as picture editors show transparency.
inline constexpr int CheckerboardBackground = -1;
inline constexpr int DefaultBackground = 0x0F;
inline constexpr int CheckerSquare = 8;
inline constexpr std::uint32_t CheckerLight = 0x999999, CheckerDark = 0x666666;  // 0x00RRGGBB

struct TViewOptions {
  // What shows behind the sprites of the composed and animation pictures: an
  // NES colour number, or CheckerboardBackground.
  int Background = DefaultBackground;
  // Saved and copied pictures mark the pixels no sprite covered as transparent.
  bool Transparent = false;
  // The pattern table shows all four banks of the pattern's sprite tile window.
  bool WholeTileWindow = false;
};
// How an animation is written: a GIF counts hundredths of a second, an APNG is exact.
enum class TAnimationFormat { Gif, Apng };

// The window's choices; every picture drawn after a change follows them.
extern TViewOptions ViewOptions;

// A pixel of a composed picture that no sprite covered: a sprite never writes
// colour 0 of any group (indexes 0, 4, 8, 12), so those indexes are background.
inline bool IsBackgroundIndex(int Index) {
  return (Index & 3) == 0;
}

// Gives a freshly drawn 256 x 256 sprite picture the Background: colour entry 0
// for an NES colour; for the checkerboard, its pixels alternate between
// entries 0 and 4, both grey. The default background changes nothing.
void ApplyBackground(TZrDIB& Sprite, int Background);

// The 128 x 128 pattern table of Pattern's whole sprite tile window: window
// bank b in band b (banks outside the CHR data stay index 0), every tile a
// drawn sprite of the pattern uses outlined in OutlineIndex.
inline constexpr std::uint8_t OutlineIndex = 11;  // NES $27, orange: seen on all of group 0's colours
void DrawTileWindow(const TDrawSprite& Drawer, const TSpritePattern& Pattern, TZrDIB& PatternTable);

// The status-bar text for pixel (X, Y) of that table, for a pattern whose
// first sprite names CHR bank Bank at load offset LoadOffset.
std::string TileWindowPixelText(int Bank, int LoadOffset, int X, int Y);
