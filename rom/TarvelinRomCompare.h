#pragma once
// What differs between two images of the game, item by item: the patterns,
// alignments and animations of each bank (their pointer or their record's
// bytes) and the CHR tiles. A record moved to another offset counts as
// changed even when its bytes are the same, since the tables changed.

#include <string>
#include <vector>

#include "rom/TarvelinFileIO.h"
#include "rom/TarvelinRomUsage.h"

enum class TDifferenceKind { Pattern, Alignment, Animation, Tile };

struct TRomDifference {
  TDifferenceKind Kind = TDifferenceKind::Pattern;
  // Bank box item index for patterns, alignments and animations; CHR bank (0-255) for tiles.
  int Bank = 0;
  // 9-bit pattern number, alignment or animation number, or tile number in its CHR bank (0-63).
  int Number = 0;
  int OldAddress = 0;  // file offsets of the record in either image
  int NewAddress = 0;
  friend bool operator==(const TRomDifference&, const TRomDifference&) = default;
};

struct TRomImageRef {
  const TPrgData& Prg;
  const TChrData& Chr;
};

// In kind order (patterns, alignments, animations, tiles), then bank, then number.
// An alignment's record is as long as the longest pattern of its bank that names
// it in either image; one no pattern names is compared by its pointer only.
std::vector<TRomDifference> CompareRomImages(TRomImageRef Old, TRomImageRef New);

// "pattern", "alignment", "animation", "tile".
const char* DifferenceKindName(TDifferenceKind Kind);
// kind,bank,number,old_address,new_address: bank as the bank box names it or the
// CHR bank in hex, numbers and offsets in hex without padding.
std::string DifferenceCsvHeader();
std::string DifferenceCsvRow(const TRomDifference& Difference);

// The patterns and animations whose pictures in New the differences reach: the
// patterns listed, those naming a listed alignment or drawing a listed tile, the
// animations listed and those showing any of these patterns. Bank, then number.
struct TChangedPictures {
  std::vector<TPatternRef> Patterns;
  std::vector<TAnimationRef> Animations;
};
TChangedPictures PicturesChangedBy(const TPrgData& New, const std::vector<TRomDifference>& Differences);
