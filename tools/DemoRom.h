#pragma once
// A made-up ROM image in TARVELIN's layout, for trying the viewer and for
// tests: every case the pages and the renderer treat specially has a record.
//
// Image: iNES header (16 PRG banks of 16K, 32 CHR banks of 8K, mapper 4), PRG
// zero except the three bank boxes' banks, CHR-ROM filled with labelled tiles.
//
// CHR tile t (0..63) of 1 KiB bank k, all three colours used:
//   row 0 and column 0 (rows 0..6): colour 1, an "L"-shaped corner, so flips show;
//   rows 2..6: hex digit t / 16 in colour 2 (columns 1..3) and t % 16 in
//   colour 3 (columns 5..7), so the tile reads "00".."3F";
//   row 7: the bits of k, bit 7 leftmost, in colour 2 (0 bits transparent).
//
// PRG, per bank base B (pointers are CPU addresses, B standing for $8000):
//   B+$000..$7FF  the split pointer tables; every entry not listed below points
//                 at the bank's default record (DefaultFrame/Align/Animation).
//   B+$800..      records. Bank "14-15" keeps its records in bank $15 ($A000+).
//
// Bank "12-13" (index 0), patterns:
//   $000 OneSprite             1 sprite, tile $2A
//   $001 Overlap               2 sprites overlapping by 4x4 pixels, groups 1 and 2
//   $002 FourFlips             tile $2F with attributes $00, $40, $80, $C0 (2x2)
//   $003 FourGroups            palette groups 0..3 in a row
//   $004 IgnoredAttributeBits  attributes $3C, $43, $BE
//   $005 AllSprites            256 sprites (count byte $FF), tiles $00..$FF of
//                              CHR banks $04..$07 in a 16x16 grid, group = tile/64;
//                              records in bank $13 (pointer $A000)
//   $006..$009 LoadOffset0..3  CHR banks $08..$0B, first tiles $05/$45/$85/$C5;
//                              LoadOffset2 spans into bank $0B
//   $00A WindowBelowBank0      CHR bank $01 with first tile $C0: window bank -2,
//                              its middle sprite (tile $10) lies before CHR and is skipped
//   $00B WindowPastLastBank    CHR bank $FF at load offset 2: tile $C5 lies past
//                              CHR and is skipped; the pattern table wraps to bank $00
//   $00C EdgeWrap              sprites at Y/X = $7C, running over the picture edges
//   $010..$012 WalkFrames      2x2 blocks of CHR bank $10 moving right
//   $100 FirstHighPattern      1 sprite, group 3
//   $110..$112 HighWalkFrames  mirrored 2x2 blocks of CHR bank $20, group 2
//   $1FF LastPattern           1 sprite, CHR bank $3F
// Bank "12-13" animations:
//   $00 ThreeFrames      02 03 10 11 12
//   $01 HighBit          82 03 10 11 12 (patterns $110..$112)
//   $02 OneTickFrames    02 00 10 11 12 (D = 0)
//   $03 OneFrame         00 07 02 (L = 0)
//   $04 EndsWithZero     03 03 10 11 12 00
//   $05 Tour             12 frames, patterns $001..$00C, 16 ticks each
//   $06 LastPatternAnim  80 07 FF (pattern $1FF)
// Bank "14-15": pattern $000 Bank14Block (2x2, CHR bank $40, group 1).
// Bank "16": pattern $1FF Bank16LastPattern and animation $FF Bank16Animation
// (80 07 FF) showing it.

#include <array>
#include <cstdint>
#include <vector>

namespace DemoRom {

inline constexpr int ImageSize = 0x80010;
inline constexpr int ChrFileOffset = 0x40010;
// File offsets of CPU $8000 of the banks "12-13", "14-15" and "16".
inline constexpr std::array<int, 3> BankBases = {0x24010, 0x28010, 0x2C010};

constexpr int FileOffset(int BankIndex, int CpuAddress) { return BankBases[BankIndex] + CpuAddress - 0x8000; }

struct TPattern {
  int BankIndex;    // index of the bank box item
  int Number;       // 9-bit pattern number
  int ChrBank;      // FrameData byte 0
  int AlignNumber;  // FrameData byte 2
  int FrameOffset;  // file offset of the FrameData
  int AlignOffset;  // file offset of the AlignData
  const char* Exercises;
};

struct TAnimation {
  int BankIndex;
  int Number;
  int Offset;  // file offset of the AnimationData
  const char* Exercises;
};

// The records every unlisted pointer of a bank leads to: one sprite, tile $00
// of CHR bank $00 at the centre; an animation of one frame of pattern $0FF.
inline constexpr std::array<int, 3> DefaultFrameOffsets = {FileOffset(0, 0x8800), FileOffset(1, 0xA800), FileOffset(2, 0x8800)};
inline constexpr std::array<int, 3> DefaultAlignOffsets = {FileOffset(0, 0x8808), FileOffset(1, 0xA808), FileOffset(2, 0x8808)};
inline constexpr std::array<int, 3> DefaultAnimationOffsets = {FileOffset(0, 0x8810), FileOffset(1, 0xA810), FileOffset(2, 0x8810)};

// Records of bank "12-13": FrameData at $8900 + $20 * slot, AlignData at
// $8C00 + $20 * alignment number, AnimationData at $8F00 + $20 * number.
constexpr int Frame0(int Slot) { return FileOffset(0, 0x8900 + 0x20 * Slot); }
constexpr int Align0(int Number) { return FileOffset(0, 0x8C00 + 0x20 * Number); }
constexpr int Animation0(int Number) { return FileOffset(0, 0x8F00 + 0x20 * Number); }

inline constexpr TPattern OneSprite{0, 0x000, 0x00, 0x01, Frame0(0), Align0(0x01), "one sprite"};
inline constexpr TPattern Overlap{0, 0x001, 0x00, 0x02, Frame0(1), Align0(0x02), "overlapping sprites"};
inline constexpr TPattern FourFlips{0, 0x002, 0x00, 0x03, Frame0(2), Align0(0x03), "all four flip combinations"};
inline constexpr TPattern FourGroups{0, 0x003, 0x00, 0x04, Frame0(3), Align0(0x04), "all four palette groups"};
inline constexpr TPattern IgnoredAttributeBits{0, 0x004, 0x00, 0x05, Frame0(4), Align0(0x05), "attribute bits 5-2 ignored"};
inline constexpr TPattern AllSprites{0, 0x005, 0x04, 0x06, FileOffset(0, 0xA000), FileOffset(0, 0xA400), "256 sprites, window over four banks"};
inline constexpr TPattern LoadOffset0{0, 0x006, 0x08, 0x07, Frame0(6), Align0(0x07), "CHR load offset 0"};
inline constexpr TPattern LoadOffset1{0, 0x007, 0x09, 0x07, Frame0(7), Align0(0x07), "CHR load offset 1"};
inline constexpr TPattern LoadOffset2{0, 0x008, 0x0A, 0x07, Frame0(8), Align0(0x07), "CHR load offset 2, spans two banks"};
inline constexpr TPattern LoadOffset3{0, 0x009, 0x0B, 0x07, Frame0(9), Align0(0x07), "CHR load offset 3"};
inline constexpr TPattern WindowBelowBank0{0, 0x00A, 0x01, 0x08, Frame0(10), Align0(0x08), "window starting at bank -2"};
inline constexpr TPattern WindowPastLastBank{0, 0x00B, 0xFF, 0x07, Frame0(11), Align0(0x07), "CHR bank $FF at offset 2"};
inline constexpr TPattern EdgeWrap{0, 0x00C, 0x00, 0x09, Frame0(12), Align0(0x09), "sprites wrapping at the edges"};
inline constexpr TPattern WalkFrame0{0, 0x010, 0x10, 0x0A, Frame0(13), Align0(0x0A), "animation frame"};
inline constexpr TPattern WalkFrame1{0, 0x011, 0x10, 0x0B, Frame0(14), Align0(0x0B), "animation frame"};
inline constexpr TPattern WalkFrame2{0, 0x012, 0x10, 0x0C, Frame0(15), Align0(0x0C), "animation frame"};
inline constexpr TPattern HighWalkFrame0{0, 0x110, 0x20, 0x0A, Frame0(16), Align0(0x0A), "high-half animation frame"};
inline constexpr TPattern HighWalkFrame1{0, 0x111, 0x20, 0x0B, Frame0(17), Align0(0x0B), "high-half animation frame"};
inline constexpr TPattern HighWalkFrame2{0, 0x112, 0x20, 0x0C, Frame0(18), Align0(0x0C), "high-half animation frame"};
inline constexpr TPattern FirstHighPattern{0, 0x100, 0x30, 0x01, Frame0(19), Align0(0x01), "pattern number $100"};
inline constexpr TPattern LastPattern{0, 0x1FF, 0x3F, 0x01, Frame0(20), Align0(0x01), "pattern number $1FF"};
inline constexpr TPattern Bank14Block{1, 0x000, 0x40, 0x01, FileOffset(1, 0xA900), FileOffset(1, 0xAC20), "bank \"14-15\", records in bank $15"};
inline constexpr TPattern Bank16LastPattern{2, 0x1FF, 0x80, 0x01, FileOffset(2, 0x8900), FileOffset(2, 0x8C20), "bank \"16\", pattern $1FF"};

inline constexpr std::array<TPattern, 23> Patterns = {
    OneSprite,      Overlap,        FourFlips,        FourGroups,  IgnoredAttributeBits, AllSprites,       LoadOffset0,
    LoadOffset1,    LoadOffset2,    LoadOffset3,      WindowBelowBank0, WindowPastLastBank, EdgeWrap,      WalkFrame0,
    WalkFrame1,     WalkFrame2,     HighWalkFrame0,   HighWalkFrame1, HighWalkFrame2,   FirstHighPattern, LastPattern,
    Bank14Block, Bank16LastPattern};

inline constexpr TAnimation ThreeFrames{0, 0x00, Animation0(0), "02 03 10 11 12"};
inline constexpr TAnimation HighBit{0, 0x01, Animation0(1), "first byte $82: patterns $110..$112"};
inline constexpr TAnimation OneTickFrames{0, 0x02, Animation0(2), "D = 0"};
inline constexpr TAnimation OneFrame{0, 0x03, Animation0(3), "L = 0"};
inline constexpr TAnimation EndsWithZero{0, 0x04, Animation0(4), "a $00 frame ends playback"};
inline constexpr TAnimation Tour{0, 0x05, Animation0(5), "patterns $001..$00C"};
inline constexpr TAnimation LastPatternAnim{0, 0x06, Animation0(6), "high bit with frame $FF: pattern $1FF"};
inline constexpr TAnimation Bank16Animation{2, 0xFF, FileOffset(2, 0x8F00), "bank \"16\", animation $FF"};

inline constexpr std::array<TAnimation, 8> Animations = {ThreeFrames, HighBit, OneTickFrames, OneFrame,
                                                         EndsWithZero, Tour, LastPatternAnim, Bank16Animation};

}  // namespace DemoRom

// The whole 524,304-byte image.
std::vector<std::uint8_t> MakeDemoRom();
