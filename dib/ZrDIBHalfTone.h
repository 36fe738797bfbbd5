#pragma once
// The half-tone colours shared by drawing and by the half-tone conversions.

#include <array>

#include "host/Windows.h"

inline constexpr std::array<BYTE, 6> HalfToneRedLevels = {0, 51, 102, 153, 204, 255};
inline constexpr std::array<BYTE, 7> HalfToneGreenLevels = {0, 43, 85, 128, 171, 214, 255};
inline constexpr std::array<BYTE, 5> HalfToneBlueLevels = {0, 64, 128, 192, 255};
// As (red, green, blue).
inline constexpr std::array<std::array<BYTE, 3>, 5> HalfToneExtraColors = {{
    {128, 0, 0}, {128, 128, 0}, {128, 0, 128}, {192, 192, 192}, {128, 128, 128}}};
inline constexpr int HalfToneColorCount = 215;

// The two palettes every DIB shares, made on first use; none when they cannot be made.
HPALETTE HalfTonePalette();
HPALETTE HalfToneBWPalette();
// Deletes whichever of them was made; called once as the library shuts down.
void FreeHalfTonePalettes();
