#pragma once
// One picture pixel to a colour number 0-3: an indexed pixel by its index mod 4,
// any other by the colours shown, exactly or (when asked) the nearest.

#include <array>
#include <cstdint>
#include <vector>

#include "import/TarvelinImportPicture.h"

// The RGBs (0xRRGGBB) each colour number is shown in; colour 0 may have two (a checkerboard).
using TShownColours = std::array<std::vector<std::uint32_t>, 4>;

enum class TColourMatch { Exact, Nearest, NoColour, Ambiguous };

struct TColourResult {
  TColourMatch Match = TColourMatch::Exact;
  int Colour = 0;
};

// Present is the tile pixel's colour now, kept where several colours fit.
TColourResult MapPixelColour(const TImportImage& Picture, int X, int Y, const TShownColours& Shown, int Present,
                             bool Nearest);

// The NES colour's RGB as the pictures show it (through the palette file or the built-in copy).
std::uint32_t ShownRgb(int NesColour);
