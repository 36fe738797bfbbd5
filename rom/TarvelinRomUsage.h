#pragma once
// Who shares what an edit changes: the patterns of every bank that resolve to a
// FrameData, an AlignData, a CHR tile or a CHR bank, and the animation frames
// that show a pattern. Records are named by their file offsets, so patterns of
// different banks that reach the same bytes are found as well.

#include <vector>

#include "rom/TarvelinFileIO.h"
#include "rom/TarvelinRomChange.h"

// A bank box item index (0-2) and a 9-bit pattern number.
struct TPatternRef {
  int BankIndex = 0;
  int Number = 0;
  friend bool operator==(const TPatternRef&, const TPatternRef&) = default;
};

// A bank box item index and an animation number (0-255).
struct TAnimationRef {
  int BankIndex = 0;
  int Number = 0;
  friend bool operator==(const TAnimationRef&, const TAnimationRef&) = default;
};

struct TAnimationFrameRef {
  TAnimationRef Animation;
  int Frame = 0;
  friend bool operator==(const TAnimationFrameRef&, const TAnimationFrameRef&) = default;
};

// File offsets of a pattern's records, as the sprite page resolves them.
int PatternFrameAddress(const TPrgData& PrgData, TPatternRef Pattern);
int PatternAlignAddress(const TPrgData& PrgData, TPatternRef Pattern);
int AnimationAddress(const TPrgData& PrgData, TAnimationRef Animation);

// ChrData offsets of the tiles the FrameData at FrameAddress draws, one per sprite
// (tiles outside ChrData left out).
std::vector<int> TilesDrawnBy(const TPrgData& PrgData, int FrameAddress);

// In bank order, then number order.
std::vector<TPatternRef> PatternsUsingFrame(const TPrgData& PrgData, int FrameAddress);
std::vector<TPatternRef> PatternsUsingAlign(const TPrgData& PrgData, int AlignAddress);
// Patterns that draw a sprite from the tile at ChrData offset ChrOffset (a multiple of 16).
std::vector<TPatternRef> PatternsUsingTile(const TPrgData& PrgData, int ChrOffset);
// Patterns that draw a sprite from CHR bank ChrBank (0-255).
std::vector<TPatternRef> PatternsUsingChrBank(const TPrgData& PrgData, int ChrBank);
// Frames of every animation of every bank whose pattern is the FrameData at FrameAddress.
std::vector<TAnimationFrameRef> AnimationsShowing(const TPrgData& PrgData, int FrameAddress);

// Whether Change writes a byte that the picture of Pattern is drawn from: the
// pointer pairs that locate its records, its FrameData and AlignData as far as
// its sprite count reaches, and the CHR tiles its sprites draw. Asked after the
// change: a byte the picture read before it is one of these, or the change
// wrote one of these that led there.
bool ChangeTouchesPattern(const TPrgData& PrgData, TPatternRef Pattern, const TRomChange& Change);
// The same for what an animation's first frame shows: its pointer pair, its
// first byte (high bit and frame count), its first frame byte and that pattern.
bool ChangeTouchesAnimationStart(const TPrgData& PrgData, TAnimationRef Animation, const TRomChange& Change);
