#pragma once
// Declared free space and where a bank's pointers can put a record. The map
// holds file-offset ranges that the user gave up; nothing outside it is ever
// written when a record grows or moves. Detection only proposes ranges.

#include <string>
#include <utility>
#include <vector>

#include "rom/TarvelinFileIO.h"

// [First, End): a run of file offsets.
struct TFileRange {
  int First = 0;
  int End = 0;
  int Size() const { return End - First; }
  bool Contains(int Offset) const { return Offset >= First && Offset < End; }
  friend bool operator==(const TFileRange&, const TFileRange&) = default;
};

class TFreeMap {
public:
  TFreeMap() = default;
  explicit TFreeMap(std::vector<TFileRange> Ranges);

  // Sorted, disjoint and not touching one another.
  const std::vector<TFileRange>& Ranges() const { return FRanges; }
  bool Empty() const { return FRanges.empty(); }
  int TotalSize() const;
  void Add(TFileRange Range);
  void Remove(TFileRange Range);
  // Whether every offset of Range is free.
  bool Covers(TFileRange Range) const;
  bool Overlaps(TFileRange Range) const;
  // The lowest offset where Size free bytes lie wholly inside Within, or -1.
  int Find(int Size, TFileRange Within) const;
  friend bool operator==(const TFreeMap&, const TFreeMap&) = default;

private:
  std::vector<TFileRange> FRanges;
};

// The file offsets that pointers of bank BankIndex may name for a record that
// grows or moves: the CPU window $8000-$BFFF for "12-13" and "14-15", whose two
// items name both banks mapped there, but only $8000-$9FFF for "16", which names
// bank $16 alone; what the game maps at $A000 beside it is not known.
TFileRange BankReach(int BankIndex);
// "$24010-$2800F", as messages name a reach.
std::string FormatRange(TFileRange Range);

// Every byte that some pointer of the three banks' tables reaches: each
// FrameData (3 + 2 x count), each AnimationData (L + 3), each AlignData named by
// a FrameData (2 x the largest count naming it), and the tables themselves.
// Sorted and merged.
std::vector<TFileRange> ReachedRanges(const TPrgData& PrgData);
// The same without the records that start at the given offsets (-1: none), as
// the ones an edit rewrites: what else is read.
struct TRecordStarts {
  int Frame = -1;
  int Align = -1;
  int Animation = -1;
};
std::vector<TFileRange> ReachedRanges(const TPrgData& PrgData, TRecordStarts Except);
bool IsReached(const std::vector<TFileRange>& Reached, TFileRange Range);

// Runs of $FF or of $00 of at least MinimumRun bytes inside a bank's reach that no
// pointer of the tables points into, that no reached record covers and that are
// not yet free.
inline constexpr int MinimumFreeRun = 32;
std::vector<TFileRange> DetectFreeSpace(const TPrgData& PrgData, const TFreeMap& Free);
