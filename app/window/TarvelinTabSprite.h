#pragma once
// The sprite pattern page: steps through the pattern numbers of one PRG bank and
// shows the composed sprite, its CHR bank as a pattern table and the numbers behind them.

#include <memory>
#include <string>

#include "sprite/TarvelinPixelTrace.h"

class TZrDIB;

// The page's state between refreshes, one instance for the whole run.
struct TSpritePageState {
  int SpriteNumLow = 0;   // low part of the 9-bit pattern number; the high part is CmbSSpriteNumHigh's index
  int FrameAddress = 0;   // file offset of the current FrameData
  int AlignAddress = 0;   // file offset of the current AlignData
  int CHRLoadOffset = 0;  // top two bits of the first sprite's tile number
  std::unique_ptr<TZrDIB> PatternTableDIB;  // the pictures last handed to the controls
  std::unique_ptr<TZrDIB> SpriteDIB;
  int CHRBank = 0;     // CHR bank of the pattern table shown
  TSpriteTrace Trace;  // how SpriteDIB was drawn
};
extern TSpritePageState SpritePage;

// Recomputes everything from the boxes, SpriteNumLow and PrgData and redraws the page.
void RefreshSpritePage();
// Steps the pattern number by the arrow key (any other key only redraws).
void SpritePageKeyDown(int Key);

// Virtual key codes of the arrow keys.
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;

// What an arrow key adds to a page's number: +/-1 across, +/-16 up and down, 0 for any other key.
int ArrowKeyStep(int Key);

// Shows a byte dump from its first byte on; a long one runs past the box's right edge.
void ShowDump(class QLineEdit& Edit, const std::string& Dump);

// A number box's text as a hexadecimal number; 0 when it is not one.
int ReadHexBox(const class QLineEdit& Edit);
