#pragma once
// Packed DIBs (CF_DIB) to and from what desktop programs put on the clipboard:
// BMP files and images of any format Qt reads.

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "host/Windows.h"

// Bytes of the header, masks and colour table that begin a packed DIB with a
// 40-byte info header or a 12-byte core header; 0 when the block is none of
// these or does not hold them whole.
std::size_t PackedDIBInfoSize(std::span<const BYTE> Packed);

// A BMP file of the packed DIB: the 14-byte file header, then the block as it
// is. None for a block PackedDIBInfoSize refuses.
std::optional<QByteArray> BmpFileFromPackedDIB(std::span<const BYTE> Packed);

struct TBmpFileDIB {
  enum TKind {
    Packed,       // Bytes hold the packed DIB
    Unsupported,  // a later header version: a BMP reader must decode it
    Malformed,    // not a BMP file, or shorter than it says
  };
  TKind Kind = Malformed;
  std::vector<BYTE> Bytes;
};
// The packed DIB inside a BMP file with a 40- or 12-byte header, the pixels
// taken from where the file header puts them.
TBmpFileDIB PackedDIBFromBmpFile(const QByteArray& File);

// The image as a packed DIB: 8 bits with its colour table where it is
// indexed, 8 bits with a grey table where it is greyscale, else 24 bits; rows
// bottom-up. None for a null image, or one whose pixels would take more than
// MaxPixelBytes (what a DIB's 32-bit size holds). Beside the image and the
// result it holds at most a band of a few rows.
std::optional<std::vector<BYTE>> PackedDIBFromImage(
    const QImage& Image, std::int64_t MaxPixelBytes = std::numeric_limits<std::int32_t>::max());

// The same for an image file of any format Qt reads. Its size and format are
// read from its header first: an image whose DIB would pass MaxPixelBytes is
// not decoded at all.
std::optional<std::vector<BYTE>> PackedDIBFromImageFile(
    const QByteArray& File, std::int64_t MaxPixelBytes = std::numeric_limits<std::int32_t>::max());
