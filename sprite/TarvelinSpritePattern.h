#pragma once
// One sprite pattern as both pages and the exporter find it in the ROM: its
// records, the texts the sprite page shows for it, and its two pictures.

#include <cstdint>
#include <span>
#include <string>

#include "rom/TarvelinFileIO.h"

class TDrawSprite;
class TSpriteMap;
class TZrDIB;

struct TSpritePattern {
  int FrameAddress = 0;   // file offset of the FrameData
  int AlignAddress = 0;   // file offset of the AlignData
  int CHRLoadOffset = 0;  // top two bits of the first sprite's tile number
  // The records from their addresses to the end of PrgData.
  std::span<const std::uint8_t> Frame;
  std::span<const std::uint8_t> Align;

  int CHRBank() const { return Frame[0]; }
  int SpriteCount() const { return Frame[1] + 1; }
  int AlignNumber() const { return Frame[2]; }
};

// Pattern Number (mod 512) of the bank with base BankBase.
TSpritePattern LocateSpritePattern(const TPrgData& PrgData, int BankBase, int PatternNumber);

// The sprite page's labels and dumps, each text as the page shows it.
struct TSpritePatternTexts {
  std::string CHRBank;         // LblSCHRBank
  std::string CHRLoadOffset;   // LblSCHRLoadOffset
  std::string CHRBankAddress;  // LblSCHRBankAddress
  std::string FrameAddress;    // LblSFrameAddress
  std::string SpriteCount;     // LblSnSprite
  std::string Align;           // LblSAlign
  std::string AlignAddress;    // LblSAlignAddress
  std::string AlignDump;       // EditSAlignData
  std::string FrameDump;       // EditSFrameData
};
TSpritePatternTexts SpritePatternTexts(const TSpritePattern& Pattern);

// The composed sprite into a 256 x 256 page picture.
// Map, if given, learns which sprite wrote each pixel.
void DrawSpritePattern(const TDrawSprite& Drawer, const TSpritePattern& Pattern, TZrDIB& Sprite,
                       TSpriteMap* Map = nullptr);
// The pattern's CHR bank into a 128 x 128 page picture, in palette group 0.
void DrawSpritePatternTable(const TDrawSprite& Drawer, const TSpritePattern& Pattern, TZrDIB& PatternTable);

// The pattern number frame Frame (mod 128) of the AnimationData at Address
// shows, or -1 for a $00 frame, which ends playback with an empty picture.
int AnimationFramePattern(const TPrgData& PrgData, int Address, int Frame);
