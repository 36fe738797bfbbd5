#pragma once
// Page pictures as files: scaled copies, PNG through Qt's image writer, BMP
// through the library's own stream form, animated GIF through giflib.

#include <QImage>
#include <cstdint>
#include <memory>
#include <vector>

class TZrDIB;

// A copy Scale times as wide and high, each pixel a Scale x Scale block; the same colours.
std::unique_ptr<TZrDIB> ScaledPicture(TZrDIB& Picture, int Scale);
// The 8-bit picture as an indexed image of its first 16 colours (all a page picture uses).
QImage PictureImage(TZrDIB& Picture);

std::vector<std::uint8_t> EncodePng(const QImage& Image);
std::vector<std::uint8_t> EncodeBmp(TZrDIB& Picture);

struct TGifFrame {
  QImage Image;     // indexed, all frames of one size and colour table
  int DelayCs = 0;  // hundredths of a second
};
// Loop: repeat for ever; otherwise the last frame stays.
std::vector<std::uint8_t> EncodeGif(const std::vector<TGifFrame>& Frames, bool Loop);
