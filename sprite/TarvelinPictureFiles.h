#pragma once
// Page pictures as files: scaled copies, PNG through Qt's image writer, BMP
// through the library's own stream form, animated GIF through giflib.

#include <QImage>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rom/TarvelinFileIO.h"
#include "sprite/TarvelinPictureLook.h"

class TDrawSprite;
class TZrDIB;

// A copy Scale times as wide and high, each pixel a Scale x Scale block; the same colours.
std::unique_ptr<TZrDIB> ScaledPicture(TZrDIB& Picture, int Scale);
// The 8-bit picture as an indexed image of its first 16 colours (all a page picture uses).
// Transparent (for composed sprite pictures only): every background pixel
// becomes index 0, and entry 0 fully transparent.
QImage PictureImage(TZrDIB& Picture, bool Transparent = false);

// PNGs say 96 dpi (as 3,780 dots per metre), the desktop's usual resolution.
inline constexpr int PngDotsPerMeter = 3780;
std::vector<std::uint8_t> EncodePng(const QImage& Image);
std::vector<std::uint8_t> EncodeBmp(TZrDIB& Picture);

struct TGifCloser {
  void operator()(struct GifFileType* File) const;
};

// An animated GIF built frame by frame in memory, so only one frame's picture
// need exist at a time. Frames are indexed images of one size and colour table.
class TGifEncoder {
public:
  // Loop: repeat for ever; otherwise the last frame stays. TransparentIndex,
  // unless -1, is the colour index every frame shows as transparent.
  TGifEncoder(const QImage& First, bool Loop, int TransparentIndex = -1);
  // Shows Image for DelayCs hundredths of a second.
  void Add(const QImage& Image, int DelayCs);
  // The file's bytes; no frame may be added afterwards.
  std::vector<std::uint8_t> Finish();

private:
  std::vector<std::uint8_t> FBytes;
  std::unique_ptr<struct GifFileType, TGifCloser> FFile;
  int FTransparentIndex = -1;
};

struct TAnimationLook {
  TAnimationFormat Format = TAnimationFormat::Gif;
  int Background = DefaultBackground;  // as ApplyBackground takes it
  bool Transparent = false;            // background pixels transparent
};

// The animation at Address of the bank with base BankBase as the viewer plays it:
// an animated GIF (or APNG) with the NES timing, Scale times the picture size,
// and its frame list (frame, pattern, NES frames, start in ms).
struct TAnimationFiles {
  std::vector<std::uint8_t> Gif;   // empty for an APNG
  std::vector<std::uint8_t> Apng;  // empty for a GIF
  std::string FrameList;
};
TAnimationFiles EncodeAnimation(const TDrawSprite& Drawer, const TPrgData& PrgData, int BankBase, int Address,
                                int Scale, const TAnimationLook& Look = {});
