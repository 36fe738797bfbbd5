#pragma once
// Median-style division of a colour set into at most 2^depth parts, shared by
// the colour-reducing converters: weighted cells (DivideCells) and single
// pixels with a decision tree (DivideColors).

#include <array>
#include <cstdint>
#include <limits>
#include <span>

#include "dib/ZrDIBConvert.h"

// The division thresholds are 80-bit extended means; another long double
// would divide some sets differently.
static_assert(std::numeric_limits<long double>::digits == 64, "long double must be the 80-bit extended type");

struct TColorCell {
  std::int32_t Red = 0;
  std::int32_t Green = 0;
  std::int32_t Blue = 0;
  std::int32_t Count = 0;  // weight; the palette index once divided
  std::int32_t Key = 0;
};

struct TDivideNode {
  BYTE DivideID = 3;  // 0 red, 1 green, 2 blue, 3 leaf
  long double Threshold = 0;
  BYTE PaletteIndex = 0;
  std::int32_t LowerChild = 0;
  std::int32_t UpperChild = 0;
};

// Nodes allocated for an empty part keep the default: a leaf that no pixel reaches.
struct TDivideTree {
  std::int32_t Count = 1;
  std::array<TDivideNode, 512> Nodes{};
};

// The palette under construction.
struct TZrDividedPalette {
  std::array<RGBQUAD, 256> Colors{};
  int Count = 0;
};

// A pixel of DivideColors: blue in bits 0-7, green 8-15, red 16-23.
using TZrPackedColor = std::uint32_t;
inline constexpr TZrPackedColor PackColor(BYTE Red, BYTE Green, BYTE Blue) {
  return Blue | (TZrPackedColor{Green} << 8) | (TZrPackedColor{Red} << 16);
}

void DivideCells(std::span<TColorCell> Cells, int Depth, TZrDividedPalette& Palette,
                 const TZrConvertProgress& Progress);
void DivideColors(std::span<TZrPackedColor> Pixels, int Depth, TDivideTree& Tree, TZrDividedPalette& Palette,
                  const TZrConvertProgress& Progress);

// Count and channel sums of a set of colours; all exact.
struct TZrColorSums {
  std::uint64_t Count = 0;
  std::array<std::uint64_t, 3> Sum{};     // red, green, blue
  std::array<std::uint64_t, 3> Square{};  // of the squares
  void Add(TZrPackedColor Color) {
    ++Count;
    for (int c = 0; c < 3; ++c) {
      const std::uint64_t v = (Color >> (16 - 8 * c)) & 0xFF;
      Sum[c] += v;
      Square[c] += v * v;
    }
  }
  void Add(const TZrColorSums& Other);
};
TZrColorSums SumsOf(std::span<const TZrPackedColor> Pixels);

// The decision tree of DivideColors in a form quick to walk: every path has
// Depth steps, so the leaf is found by arithmetic on the node number.
class TZrColorClassifier {
public:
  // Name heads the assertion raised for a node of no known kind.
  TZrColorClassifier(const TDivideTree& Tree, int Depth, const char* Name);
  BYTE Classify(TZrPackedColor Color) const {
    std::uint32_t k = 0;
    for (int level = 0; level < FDepth; ++level)
      k = 2 * k + 1 + (((Color >> FShift[k]) & 0xFF) > FThreshold[k]);
    return FLeaf[k - FFirstLeaf];
  }
  // Four at a time, so that the four walks overlap.
  void Classify4(const TZrPackedColor* Colors, BYTE* Out) const {
    std::uint32_t k0 = 0, k1 = 0, k2 = 0, k3 = 0;
    for (int level = 0; level < FDepth; ++level) {
      k0 = 2 * k0 + 1 + (((Colors[0] >> FShift[k0]) & 0xFF) > FThreshold[k0]);
      k1 = 2 * k1 + 1 + (((Colors[1] >> FShift[k1]) & 0xFF) > FThreshold[k1]);
      k2 = 2 * k2 + 1 + (((Colors[2] >> FShift[k2]) & 0xFF) > FThreshold[k2]);
      k3 = 2 * k3 + 1 + (((Colors[3] >> FShift[k3]) & 0xFF) > FThreshold[k3]);
    }
    Out[0] = FLeaf[k0 - FFirstLeaf];
    Out[1] = FLeaf[k1 - FFirstLeaf];
    Out[2] = FLeaf[k2 - FFirstLeaf];
    Out[3] = FLeaf[k3 - FFirstLeaf];
  }

private:
  void Build(const TDivideTree& Tree, std::int32_t Node, std::uint32_t Slot, int Level, const char* Name);
  int FDepth;
  std::uint32_t FFirstLeaf;
  std::array<BYTE, 255> FShift{};
  std::array<std::uint32_t, 255> FThreshold{};
  std::array<BYTE, 256> FLeaf{};
};
