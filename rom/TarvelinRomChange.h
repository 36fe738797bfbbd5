#pragma once
// One change of the ROM image as byte writes at file offsets: what an edit
// resolves to, what undo puts back, and what a patch is made of.

#include <cstdint>
#include <vector>

struct TByteWrite {
  int Offset;  // file offset
  std::uint8_t Old;
  std::uint8_t New;
};

struct TRomChange {
  std::vector<TByteWrite> Writes;  // one per offset

  bool Empty() const { return Writes.empty(); }
  // True when every write puts back the byte it found.
  bool Idle() const;
  // Later, made after this one, joins it: the first old byte and the last new byte of each offset.
  void Merge(const TRomChange& Later);
};
