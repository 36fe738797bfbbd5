#include "rom/TarvelinFreeSpace.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr int BankCount = static_cast<int>(SpriteBanks.size());
constexpr int TablesSize = 0x800;
constexpr int PrgEnd = static_cast<int>(sizeof(TPrgData));

int Prg(const TPrgData& PrgData, int Offset) {
  return Offset >= 0 && Offset < PrgEnd ? PrgData[static_cast<std::size_t>(Offset)] : 0;
}

// Sorted, with overlapping and touching ranges joined.
std::vector<TFileRange> Merged(std::vector<TFileRange> Ranges) {
  std::ranges::sort(Ranges, {}, &TFileRange::First);
  std::vector<TFileRange> merged;
  for (const TFileRange& range : Ranges) {
    if (range.Size() <= 0) continue;
    if (!merged.empty() && range.First <= merged.back().End)
      merged.back().End = std::max(merged.back().End, range.End);
    else
      merged.push_back(range);
  }
  return merged;
}

}  // namespace

TFreeMap::TFreeMap(std::vector<TFileRange> Ranges) : FRanges(Merged(std::move(Ranges))) {}

int TFreeMap::TotalSize() const {
  int total = 0;
  for (const TFileRange& range : FRanges) total += range.Size();
  return total;
}

void TFreeMap::Add(TFileRange Range) {
  if (Range.Size() <= 0) return;
  auto ranges = FRanges;
  ranges.push_back(Range);
  FRanges = Merged(std::move(ranges));
}

void TFreeMap::Remove(TFileRange Range) {
  if (Range.Size() <= 0) return;
  std::vector<TFileRange> kept;
  for (const TFileRange& range : FRanges) {
    if (range.End <= Range.First || range.First >= Range.End) {
      kept.push_back(range);
      continue;
    }
    if (range.First < Range.First) kept.push_back({range.First, Range.First});
    if (range.End > Range.End) kept.push_back({Range.End, range.End});
  }
  FRanges = std::move(kept);
}

bool TFreeMap::Covers(TFileRange Range) const {
  if (Range.Size() <= 0) return true;
  const auto it = std::ranges::upper_bound(FRanges, Range.First, {}, &TFileRange::First);
  if (it == FRanges.begin()) return false;
  const TFileRange& range = *std::prev(it);
  return range.First <= Range.First && Range.End <= range.End;
}

bool TFreeMap::Overlaps(TFileRange Range) const {
  return std::ranges::any_of(FRanges, [&](const TFileRange& R) { return R.First < Range.End && Range.First < R.End; });
}

int TFreeMap::Find(int Size, TFileRange Within) const {
  for (const TFileRange& range : FRanges) {
    const int first = std::max(range.First, Within.First);
    const int end = std::min(range.End, Within.End);
    if (end - first >= Size) return first;
  }
  return -1;
}

TFileRange BankReach(int BankIndex) {
  const int base = SpriteBanks.at(static_cast<std::size_t>(BankIndex));
  return {base, base + (BankIndex == 2 ? 0x2000 : 0x4000)};
}

std::string FormatRange(TFileRange Range) {
  char text[32];
  std::snprintf(text, sizeof text, "$%05X-$%05X", static_cast<unsigned>(Range.First),
                static_cast<unsigned>(Range.End - 1));
  return text;
}

std::vector<TFileRange> ReachedRanges(const TPrgData& PrgData) {
  return ReachedRanges(PrgData, {});
}

std::vector<TFileRange> ReachedRanges(const TPrgData& PrgData, TRecordStarts Except) {
  std::vector<TFileRange> ranges;
  for (int bank = 0; bank < BankCount; ++bank) {
    const int base = SpriteBanks[static_cast<std::size_t>(bank)];
    ranges.push_back({base, base + TablesSize});
    // The longest run of pairs each alignment number is read for.
    std::array<int, 256> alignBytes{};
    for (int n = 0; n < 512; ++n) {
      const int frame = FrameDataOffset(PrgData, base, n);
      const int count = Prg(PrgData, frame + 1) + 1;
      if (frame != Except.Frame) ranges.push_back({frame, frame + 3 + 2 * count});
      int& bytes = alignBytes[static_cast<std::size_t>(Prg(PrgData, frame + 2))];
      bytes = std::max(bytes, 2 * count);
    }
    for (int a = 0; a < 256; ++a) {
      const int align = AlignDataOffset(PrgData, base, a);
      // A number no pattern names still points somewhere: its first pair is kept.
      if (align != Except.Align)
        ranges.push_back({align, align + std::max(2, alignBytes[static_cast<std::size_t>(a)])});
    }
    for (int m = 0; m < 256; ++m) {
      const int animation = AnimationDataOffset(PrgData, base, m);
      if (animation != Except.Animation)
        ranges.push_back({animation, animation + 3 + (Prg(PrgData, animation) & 0x7F)});
    }
  }
  return Merged(std::move(ranges));
}

bool IsReached(const std::vector<TFileRange>& Reached, TFileRange Range) {
  const auto it = std::ranges::upper_bound(Reached, Range.First, {}, &TFileRange::First);
  if (it != Reached.begin() && std::prev(it)->End > Range.First) return true;
  return it != Reached.end() && it->First < Range.End;
}

std::vector<TFileRange> DetectFreeSpace(const TPrgData& PrgData, const TFreeMap& Free) {
  const auto reached = ReachedRanges(PrgData);
  std::vector<TFileRange> found;
  for (int bank = 0; bank < BankCount; ++bank) {
    const TFileRange reach = BankReach(bank);
    int at = reach.First;
    while (at < reach.End) {
      const int value = Prg(PrgData, at);
      int end = at + 1;
      while (end < reach.End && Prg(PrgData, end) == value) ++end;
      // Cut the run where anything reached or already free lies inside it.
      if ((value == 0x00 || value == 0xFF) && end - at >= MinimumFreeRun) {
        int first = at;
        for (int i = at; i <= end; ++i) {
          const bool taken = i == end || IsReached(reached, {i, i + 1}) || Free.Covers({i, i + 1});
          if (!taken) continue;
          if (i - first >= MinimumFreeRun) found.push_back({first, i});
          first = i + 1;
        }
      }
      at = end;
    }
  }
  return found;
}
