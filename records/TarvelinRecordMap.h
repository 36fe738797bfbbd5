#pragma once
// Every record the pages read, found by walking the three banks' pointer
// tables: each FrameData, AlignData and AnimationData once, keyed by its file
// offset, with the numbers of every bank that reach it.

#include <array>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "rom/TarvelinFileIO.h"

inline constexpr int RecordBankCount = 3;

enum class TRecordKind { Frame, Align, Animation };

// A bank box item index and a pattern (9-bit), alignment or animation number.
struct TRecordNumber {
  int Bank = 0;
  int Number = 0;
  friend bool operator==(const TRecordNumber&, const TRecordNumber&) = default;
};

struct TRecordInfo {
  int Bank = 0;                        // the first bank whose tables reach it: the one it is listed under
  int Size = 0;                        // bytes the pages read
  std::vector<TRecordNumber> Numbers;  // bank order, then number order
};

struct TRecordMap {
  // File offsets each table entry leads to.
  std::array<std::array<int, 512>, RecordBankCount> PatternTable{};
  std::array<std::array<int, 256>, RecordBankCount> AlignTable{};
  std::array<std::array<int, 256>, RecordBankCount> AnimationTable{};
  std::map<int, TRecordInfo> Frames;
  // An AlignData is as long as the longest FrameData that uses it names; one that
  // no pattern uses has no bytes.
  std::map<int, TRecordInfo> Aligns;
  std::map<int, TRecordInfo> Animations;

  const std::map<int, TRecordInfo>& Records(TRecordKind Kind) const;
};

TRecordMap WalkRecords(const TPrgData& PrgData);

// The image as the pages see it: PrgData from its first bytes, zero past its end.
TPrgData PrgOfImage(std::span<const std::uint8_t> Image);

// CPU address of a file offset seen from bank Bank (B + p - $8000 = offset).
inline int CpuAddress(int Bank, int Offset) {
  return Offset - SpriteBanks[static_cast<std::size_t>(Bank)] + 0x8000;
}

// "12-13:$005" (patterns, three digits) or "12-13:$05".
std::string NumberName(TRecordKind Kind, TRecordNumber Number);
// "$" and Digits upper-case hex digits.
std::string RecordHex(int Value, int Digits);
