#pragma once
// The half-tone colours shared by drawing and by the half-tone conversions.

#include <array>
#include <cstddef>

#include "host/Windows.h"

inline constexpr std::array<BYTE, 6> HalfToneRedLevels = {0, 51, 102, 153, 204, 255};
inline constexpr std::array<BYTE, 7> HalfToneGreenLevels = {0, 43, 85, 128, 171, 214, 255};
inline constexpr std::array<BYTE, 5> HalfToneBlueLevels = {0, 64, 128, 192, 255};
// As (red, green, blue).
inline constexpr std::array<std::array<BYTE, 3>, 5> HalfToneExtraColors = {{
    {128, 0, 0}, {128, 128, 0}, {128, 0, 128}, {192, 192, 192}, {128, 128, 128}}};
inline constexpr int HalfToneColorCount = 215;

// The half-tone colour palette as (red, green, blue): every level combination at
// red × 35 + green × 5 + blue, then the extra colours.
inline constexpr std::array<std::array<BYTE, 3>, HalfToneColorCount> HalfToneColors = [] {
  std::array<std::array<BYTE, 3>, HalfToneColorCount> colors{};
  for (std::size_t r = 0; r < HalfToneRedLevels.size(); ++r)
    for (std::size_t g = 0; g < HalfToneGreenLevels.size(); ++g)
      for (std::size_t b = 0; b < HalfToneBlueLevels.size(); ++b)
        colors[r * 35 + g * 5 + b] = {HalfToneRedLevels[r], HalfToneGreenLevels[g], HalfToneBlueLevels[b]};
  for (std::size_t i = 0; i < HalfToneExtraColors.size(); ++i) colors[210 + i] = HalfToneExtraColors[i];
  return colors;
}();

// The two palettes every DIB shares, made on first use; none when they cannot be made.
HPALETTE HalfTonePalette();
HPALETTE HalfToneBWPalette();
// Deletes whichever of them was made; called once as the library shuts down.
void FreeHalfTonePalettes();
