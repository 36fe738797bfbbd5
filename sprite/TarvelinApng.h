#pragma once
// Animated PNG (APNG) of 8-bit palettised frames: the PNG chunks, CRCs and the
// deflated image data through zlib; only the animation chunks (acTL, fcTL,
// fdAT) are put together here. Unlike a GIF's hundredths of a second, a frame's
// delay is any fraction of a second with a 16-bit numerator and denominator.

#include <cstdint>
#include <span>
#include <vector>

struct TApngDelay {
  std::uint16_t Numerator = 0;  // seconds = Numerator / Denominator; 0 / 1 shows the frame for good
  std::uint16_t Denominator = 1;
  friend bool operator==(const TApngDelay&, const TApngDelay&) = default;
};

class TApngEncoder {
 public:
  // Colours as 0x00RRGGBB, at most 256; TransparentIndex (-1 for none) marks
  // one palette entry fully transparent (a tRNS chunk). Plays: 0 loops for ever.
  TApngEncoder(int Width, int Height, std::span<const std::uint32_t> Colors, int TransparentIndex, int Plays);
  // One frame: Width x Height palette indexes, rows top first, shown for Delay.
  void Add(std::span<const std::uint8_t> Pixels, TApngDelay Delay);
  // The file's bytes; needs at least one frame. The frames go into it, so no
  // frame may be added afterwards.
  std::vector<std::uint8_t> Finish();

 private:
  struct TFrame {
    std::vector<std::uint8_t> Image;  // filtered rows, deflated, exactly as long as they are
    TApngDelay Delay;
  };
  int FWidth;
  int FHeight;
  std::vector<std::uint8_t> FPalette;       // PLTE's RGB triples
  std::vector<std::uint8_t> FTransparency;  // tRNS's alphas; empty for none
  int FPlays;
  std::vector<TFrame> FFrames;
};
