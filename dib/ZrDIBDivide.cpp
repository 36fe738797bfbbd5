// Division of a colour set: split on the channel of the largest weighted
// variance at its mean, upper part first, down to a fixed depth.

#include <algorithm>
#include <cmath>

#include "dib/ZrDIBDivide.h"
#include "dib/ZrDIBThreads.h"

namespace {

// Ranges at least this long are partitioned on both cores.
constexpr std::size_t ParallelItems = std::size_t{1} << 18;

struct TDivision {
  int Channel;             // 0 red, 1 green, 2 blue
  long double Mean;
  std::uint32_t Floor;     // an integer channel value is <= Mean exactly when it is <= Floor
};

TDivision DivisionOf(const TZrColorSums& Sums) {
  const long double n = static_cast<long double>(Sums.Count);
  constexpr long double weights[3] = {3, 4, 2};
  long double mean[3], weighted[3];
  for (int c = 0; c < 3; ++c) {
    mean[c] = static_cast<long double>(Sums.Sum[c]) / n;
    weighted[c] = weights[c] * (static_cast<long double>(Sums.Square[c]) / n - mean[c] * mean[c]);
  }
  const int channel = weighted[0] >= weighted[1] && weighted[0] >= weighted[2] ? 0 : weighted[1] >= weighted[2] ? 1 : 2;
  return {channel, mean[channel], static_cast<std::uint32_t>(std::floor(mean[channel]))};
}

// Sum / Count to the nearest integer, halves to even. Reckoned on integers: no
// quotient of these sizes lies within rounding distance of a half without being one.
BYTE RoundedMean(std::uint64_t Sum, std::uint64_t Count) {
  std::uint64_t q = Sum / Count;
  const std::uint64_t r2 = 2 * (Sum % Count);
  if (r2 > Count || (r2 == Count && (q & 1))) ++q;
  return static_cast<BYTE>(q);
}

void AddLeaf(TZrDividedPalette& Palette, const TZrColorSums& Sums) {
  Assert(Palette.Count < 256, "DivideColors: Palette Overflow");
  Palette.Colors[Palette.Count] = RGBQUAD{RoundedMean(Sums.Sum[2], Sums.Count), RoundedMean(Sums.Sum[1], Sums.Count),
                                          RoundedMean(Sums.Sum[0], Sums.Count), 0};
  ++Palette.Count;
}

void Step(const TZrConvertProgress& Progress, std::uint64_t Times) {
  if (Progress)
    for (std::uint64_t i = 0; i < Times; ++i) Progress();
}

std::int32_t ChannelOf(const TColorCell& Cell, int Channel) {
  return Channel == 0 ? Cell.Red : Channel == 1 ? Cell.Green : Cell.Blue;
}

struct TCellDivider {
  int Depth;
  TZrDividedPalette& Palette;
  const TZrConvertProgress& Progress;

  void Run(std::span<TColorCell> Cells, int Level) {
    if (Cells.empty()) {
      Step(Progress, std::uint64_t{1} << (Depth - Level));
      return;
    }
    TZrColorSums sums;
    for (const TColorCell& cell : Cells) {
      const auto w = static_cast<std::uint64_t>(cell.Count);
      sums.Count += w;
      for (int c = 0; c < 3; ++c) {
        const auto v = static_cast<std::uint64_t>(ChannelOf(cell, c));
        sums.Sum[c] += w * v;
        sums.Square[c] += w * v * v;
      }
    }
    if (Level == Depth) {
      const int index = Palette.Count;
      AddLeaf(Palette, sums);
      for (TColorCell& cell : Cells) cell.Count = index;
      Step(Progress, 1);
      return;
    }
    const TDivision division = DivisionOf(sums);
    const auto upper = std::partition(Cells.begin(), Cells.end(), [&](const TColorCell& cell) {
      return static_cast<std::uint32_t>(ChannelOf(cell, division.Channel)) <= division.Floor;
    });
    const auto lowerCount = static_cast<std::size_t>(upper - Cells.begin());
    Run(Cells.subspan(lowerCount), Level + 1);
    Run(Cells.first(lowerCount), Level + 1);
  }
};

// The sums of the colours whose channel value is at most Limit. Runs of 2^16
// add up in 32 bits (255^2 * 2^16 < 2^32), which lets the compiler use vectors.
TZrColorSums LowerSums(std::span<const TZrPackedColor> Pixels, unsigned Shift, std::uint32_t Limit) {
  TZrColorSums sums;
  constexpr std::size_t run = std::size_t{1} << 16;
  for (std::size_t begin = 0; begin < Pixels.size(); begin += run) {
    const std::size_t end = std::min(Pixels.size(), begin + run);
    std::uint32_t n = 0, s0 = 0, s1 = 0, s2 = 0, q0 = 0, q1 = 0, q2 = 0;
    for (std::size_t i = begin; i < end; ++i) {
      const TZrPackedColor item = Pixels[i];
      const std::uint32_t low = ((item >> Shift) & 0xFF) <= Limit;
      const std::uint32_t mask = 0u - low;
      const std::uint32_t r = (item >> 16) & 0xFF & mask, g = (item >> 8) & 0xFF & mask, b = item & 0xFF & mask;
      n += low;
      s0 += r;
      s1 += g;
      s2 += b;
      q0 += r * r;
      q1 += g * g;
      q2 += b * b;
    }
    sums.Count += n;
    sums.Sum[0] += s0;
    sums.Sum[1] += s1;
    sums.Sum[2] += s2;
    sums.Square[0] += q0;
    sums.Square[1] += q1;
    sums.Square[2] += q2;
  }
  return sums;
}

// Moves the colours whose channel value is at most Limit to the front and
// returns how many there are. Blocks from both ends note which of their items
// are on the wrong side, without branching, and then trade them pairwise.
std::size_t MoveLowerFirst(std::span<TZrPackedColor> Pixels, unsigned Shift, std::uint32_t Limit) {
  constexpr std::size_t block = 128;
  TZrPackedColor* a = Pixels.data();
  std::size_t l = 0, r = Pixels.size();
  BYTE wrongLeft[block], wrongRight[block];
  std::size_t countLeft = 0, countRight = 0, firstLeft = 0, firstRight = 0;
  while (r - l > 2 * block) {
    if (countLeft == 0) {
      firstLeft = 0;
      for (std::size_t i = 0; i < block; ++i) {
        wrongLeft[countLeft] = static_cast<BYTE>(i);
        countLeft += ((a[l + i] >> Shift) & 0xFF) > Limit;
      }
    }
    if (countRight == 0) {
      firstRight = 0;
      for (std::size_t i = 0; i < block; ++i) {
        wrongRight[countRight] = static_cast<BYTE>(i);
        countRight += ((a[r - 1 - i] >> Shift) & 0xFF) <= Limit;
      }
    }
    const std::size_t n = std::min(countLeft, countRight);
    for (std::size_t k = 0; k < n; ++k)
      std::swap(a[l + wrongLeft[firstLeft + k]], a[r - 1 - wrongRight[firstRight + k]]);
    countLeft -= n;
    countRight -= n;
    firstLeft += n;
    firstRight += n;
    if (countLeft == 0) l += block;
    if (countRight == 0) r -= block;
  }
  // What is left, unfinished blocks included, lies in [l, r).
  std::size_t j = l;
  for (std::size_t i = l; i < r; ++i) {
    const TZrPackedColor item = a[i];
    a[i] = a[j];
    a[j] = item;
    j += ((item >> Shift) & 0xFF) <= Limit;
  }
  return j;
}

std::size_t PartitionLower(std::span<TZrPackedColor> Pixels, unsigned Shift, std::uint32_t Limit, bool Rearrange,
                           TZrColorSums& Lower) {
  Lower = LowerSums(Pixels, Shift, Limit);
  if (Rearrange) {
    const std::size_t n = MoveLowerFirst(Pixels, Shift, Limit);
    Assert(n == Lower.Count, "DivideColors: Partition Error");
  }
  return Lower.Count;
}

// The same on both cores: each half is partitioned, then the upper run of the
// first half and the lower run of the second trade places.
std::size_t PartitionLowerSplit(std::span<TZrPackedColor> Pixels, unsigned Shift, std::uint32_t Limit,
                                bool Rearrange, TZrColorSums& Lower) {
  if (Pixels.size() < ParallelItems) return PartitionLower(Pixels, Shift, Limit, Rearrange, Lower);
  const std::size_t half = Pixels.size() / 2;
  TZrColorSums a, b;
  std::size_t la = 0, lb = 0;
  RunSideBySide([&] { la = PartitionLower(Pixels.first(half), Shift, Limit, Rearrange, a); },
                [&] { lb = PartitionLower(Pixels.subspan(half), Shift, Limit, Rearrange, b); });
  if (Rearrange) {
    const std::size_t ua = half - la, k = std::min(ua, lb);
    std::swap_ranges(Pixels.begin() + la, Pixels.begin() + la + k, Pixels.begin() + half + lb - k);
  }
  Lower = a;
  Lower.Add(b);
  return la + lb;
}

TZrColorSums Difference(const TZrColorSums& All, const TZrColorSums& Part) {
  TZrColorSums rest;
  rest.Count = All.Count - Part.Count;
  for (int c = 0; c < 3; ++c) {
    rest.Sum[c] = All.Sum[c] - Part.Sum[c];
    rest.Square[c] = All.Square[c] - Part.Square[c];
  }
  return rest;
}

struct TColorDivider {
  int Depth;
  TDivideTree& Tree;
  TZrDividedPalette& Palette;
  const TZrConvertProgress& Progress;

  std::int32_t Allocate() {
    Assert(Tree.Count < static_cast<std::int32_t>(Tree.Nodes.size()), "DivideColors: Too Many Nodes");
    return Tree.Count++;
  }

  // Sums are those of Pixels; at the leaves Pixels only tells how many there are.
  void Run(std::span<TZrPackedColor> Pixels, int Level, std::int32_t Node, const TZrColorSums& Sums) {
    if (Pixels.empty()) {
      Step(Progress, std::uint64_t{1} << (Depth - Level));
      return;
    }
    TDivideNode& node = Tree.Nodes[Node];
    if (Level == Depth) {
      node = TDivideNode{3, 0, static_cast<BYTE>(Palette.Count), 0, 0};
      AddLeaf(Palette, Sums);
      Step(Progress, 1);
      return;
    }
    const TDivision division = DivisionOf(Sums);
    node = TDivideNode{static_cast<BYTE>(division.Channel), division.Mean, 0, 0, 0};
    TZrColorSums lower;
    // Leaves need only their sums, so the last division moves nothing.
    const std::size_t lowerCount = PartitionLowerSplit(Pixels, 16 - 8 * static_cast<unsigned>(division.Channel),
                                                       division.Floor, Level + 1 < Depth, lower);
    const std::int32_t upperNode = Allocate();
    Tree.Nodes[Node].UpperChild = upperNode;
    Run(Pixels.subspan(lowerCount), Level + 1, upperNode, Difference(Sums, lower));
    const std::int32_t lowerNode = Allocate();
    Tree.Nodes[Node].LowerChild = lowerNode;
    Run(Pixels.first(lowerCount), Level + 1, lowerNode, lower);
  }
};

}  // namespace

void TZrColorSums::Add(const TZrColorSums& Other) {
  Count += Other.Count;
  for (int c = 0; c < 3; ++c) {
    Sum[c] += Other.Sum[c];
    Square[c] += Other.Square[c];
  }
}

TZrColorSums SumsOf(std::span<const TZrPackedColor> Pixels) {
  // Every value is at most 255: all of them count as lower.
  if (Pixels.size() < ParallelItems) return LowerSums(Pixels, 0, 255);
  const std::size_t half = Pixels.size() / 2;
  TZrColorSums a, b;
  RunSideBySide([&] { a = LowerSums(Pixels.first(half), 0, 255); },
                [&] { b = LowerSums(Pixels.subspan(half), 0, 255); });
  a.Add(b);
  return a;
}

void DivideCells(std::span<TColorCell> Cells, int Depth, TZrDividedPalette& Palette,
                 const TZrConvertProgress& Progress) {
  TCellDivider{Depth, Palette, Progress}.Run(Cells, 0);
}

void DivideColors(std::span<TZrPackedColor> Pixels, int Depth, TDivideTree& Tree, TZrDividedPalette& Palette,
                  const TZrConvertProgress& Progress) {
  TColorDivider{Depth, Tree, Palette, Progress}.Run(Pixels, 0, 0, SumsOf(Pixels));
}

TZrColorClassifier::TZrColorClassifier(const TDivideTree& Tree, int Depth, const char* Name)
    : FDepth(Depth), FFirstLeaf((1u << Depth) - 1) {
  Build(Tree, 0, 0, 0, Name);
}

void TZrColorClassifier::Build(const TDivideTree& Tree, std::int32_t Node, std::uint32_t Slot, int Level,
                               const char* Name) {
  Assert(Node >= 0 && Node < static_cast<std::int32_t>(Tree.Nodes.size()), (std::string(Name) + ": Invalid DivideID").c_str());
  const TDivideNode& node = Tree.Nodes[Node];
  Assert(node.DivideID <= 3, (std::string(Name) + ": Invalid DivideID").c_str());
  if (Level == FDepth) {
    FLeaf[Slot - FFirstLeaf] = node.PaletteIndex;
    return;
  }
  if (node.DivideID == 3) {
    // A leaf above the last level (an empty part, never reached): every
    // value goes down its lower side to the same index.
    FShift[Slot] = 0;
    FThreshold[Slot] = 255;
    Build(Tree, Node, 2 * Slot + 1, Level + 1, Name);
    Build(Tree, Node, 2 * Slot + 2, Level + 1, Name);
    return;
  }
  FShift[Slot] = static_cast<BYTE>(16 - 8 * node.DivideID);
  FThreshold[Slot] = static_cast<std::uint32_t>(std::floor(node.Threshold));
  Build(Tree, node.LowerChild, 2 * Slot + 1, Level + 1, Name);
  Build(Tree, node.UpperChild, 2 * Slot + 2, Level + 1, Name);
}
