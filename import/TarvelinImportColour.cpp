#include "import/TarvelinImportColour.h"

#include <limits>

#include "sprite/TarvelinDrawSprite.h"

namespace {

int Distance(std::uint32_t A, std::uint32_t B) {
  int sum = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((A >> shift) & 0xFF) - static_cast<int>((B >> shift) & 0xFF);
    sum += d * d;
  }
  return sum;
}

// Of the colours Candidates marks, the only one, or the present one, else ambiguity.
TColourResult Choose(unsigned Candidates, int Present, TColourMatch Match) {
  if (Candidates == 0) return {TColourMatch::NoColour, 0};
  if ((Candidates & (Candidates - 1)) == 0) {
    int colour = 0;
    while (!(Candidates & (1u << colour))) ++colour;
    return {Match, colour};
  }
  if (Present >= 0 && Present < 4 && (Candidates & (1u << Present))) return {Match, Present};
  return {TColourMatch::Ambiguous, 0};
}

}  // namespace

TColourResult MapPixelColour(const TImportImage& Picture, int X, int Y, const TShownColours& Shown, int Present,
                             bool Nearest) {
  if (Picture.Transparent(X, Y)) return {TColourMatch::Exact, 0};
  if (Picture.Indexed) return {TColourMatch::Exact, Picture.Indexes[Picture.At(X, Y)] & 3};
  const std::uint32_t rgb = Picture.Argb[Picture.At(X, Y)] & 0xFFFFFF;
  unsigned exact = 0;
  for (unsigned k = 0; k < 4; ++k)
    for (const std::uint32_t shown : Shown[k])
      if (shown == rgb) exact |= 1u << k;
  if (exact != 0 || !Nearest) return Choose(exact, Present, TColourMatch::Exact);
  int best = std::numeric_limits<int>::max();
  unsigned nearest = 0;
  for (unsigned k = 0; k < 4; ++k)
    for (const std::uint32_t shown : Shown[k]) {
      const int d = Distance(shown, rgb);
      if (d < best) best = d, nearest = 0;
      if (d == best) nearest |= 1u << k;
    }
  return Choose(nearest, Present, TColourMatch::Nearest);
}

std::uint32_t ShownRgb(int NesColour) {
  // The palette's colours hold red in the low byte.
  const std::uint32_t bgr = PicturePalette().GetColor(NesColour);
  return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}
