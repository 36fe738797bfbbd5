#pragma once
// A picture to import, as its pixels: the palette index of each pixel of an
// indexed picture, else its colour; decoded from PNG or BMP bytes, from a
// file, or from a QImage (the clipboard's).

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

struct TImportImage {
  int Width = 0;
  int Height = 0;
  // 1, 2, 4 or 8 bits of palette indexes: the index, not the colour, carries meaning.
  bool Indexed = false;
  std::vector<int> Indexes;         // per pixel, row by row; empty unless Indexed
  std::vector<std::uint32_t> Argb;  // per pixel, 0xAARRGGBB

  std::size_t At(int X, int Y) const { return static_cast<std::size_t>(Y) * static_cast<std::size_t>(Width) + X; }
  bool Transparent(int X, int Y) const { return (Argb[At(X, Y)] >> 24) == 0; }
};

TImportImage ImportImageOf(const QImage& Image);

// The largest side a decoder accepts: an 8 times enlarged sprite picture.
inline constexpr int MaxImportSide = 8 * 256;

// PNG or BMP bytes, by content. On failure Error says why and the image is empty.
TImportImage DecodeImportImage(std::span<const std::uint8_t> Bytes, std::string& Error);
TImportImage ReadImportImage(const std::filesystem::path& Path, std::string& Error);
