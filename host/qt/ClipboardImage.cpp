#include "host/qt/ClipboardImage.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <cstring>

namespace {

DWORD Read32(std::span<const BYTE> Bytes, std::size_t Offset) {
  DWORD value;
  std::memcpy(&value, Bytes.data() + Offset, sizeof value);
  return value;
}

WORD Read16(std::span<const BYTE> Bytes, std::size_t Offset) {
  WORD value;
  std::memcpy(&value, Bytes.data() + Offset, sizeof value);
  return value;
}

std::int64_t TableColors(int BitCount) { return BitCount == 1 || BitCount == 4 || BitCount == 8 ? 1 << BitCount : 0; }

std::span<const BYTE> BytesOf(const QByteArray& Array) {
  return {reinterpret_cast<const BYTE*>(Array.constData()), static_cast<std::size_t>(Array.size())};
}

}  // namespace

std::size_t PackedDIBInfoSize(std::span<const BYTE> Packed) {
  if (Packed.size() < 4) return 0;
  std::int64_t size = 0;
  switch (Read32(Packed, 0)) {
    case sizeof(BITMAPCOREHEADER):
      if (Packed.size() < sizeof(BITMAPCOREHEADER)) return 0;
      size = sizeof(BITMAPCOREHEADER) + 3 * TableColors(Read16(Packed, 10));
      break;
    case sizeof(BITMAPINFOHEADER): {
      if (Packed.size() < sizeof(BITMAPINFOHEADER)) return 0;
      const DWORD used = Read32(Packed, 32);
      const std::int64_t colors = used != 0 ? used : TableColors(Read16(Packed, 14));
      const std::int64_t masks = Read32(Packed, 16) == BI_BITFIELDS ? 3 : 0;
      size = sizeof(BITMAPINFOHEADER) + 4 * (masks + colors);
      break;
    }
    default:
      return 0;
  }
  return size <= static_cast<std::int64_t>(Packed.size()) ? static_cast<std::size_t>(size) : 0;
}

std::optional<QByteArray> BmpFileFromPackedDIB(std::span<const BYTE> Packed) {
  const std::size_t info = PackedDIBInfoSize(Packed);
  if (info == 0 || Packed.size() > std::numeric_limits<DWORD>::max() - sizeof(BITMAPFILEHEADER)) return std::nullopt;
  BITMAPFILEHEADER header;
  header.bfType = 0x4D42;
  header.bfSize = static_cast<DWORD>(sizeof header + Packed.size());
  header.bfOffBits = static_cast<DWORD>(sizeof header + info);
  QByteArray file(reinterpret_cast<const char*>(&header), sizeof header);
  file.append(reinterpret_cast<const char*>(Packed.data()), static_cast<qsizetype>(Packed.size()));
  return file;
}

TBmpFileDIB PackedDIBFromBmpFile(const QByteArray& File) {
  const std::span<const BYTE> bytes = BytesOf(File);
  constexpr std::size_t fileHeader = sizeof(BITMAPFILEHEADER);
  if (bytes.size() < fileHeader + 4 || Read16(bytes, 0) != 0x4D42) return {};
  const DWORD claimed = Read32(bytes, 2);
  const std::size_t end = claimed == 0 ? bytes.size() : claimed;
  if (end > bytes.size() || end < fileHeader + 4) return {};
  const DWORD headerSize = Read32(bytes, fileHeader);
  if (headerSize != sizeof(BITMAPINFOHEADER) && headerSize != sizeof(BITMAPCOREHEADER))
    return {headerSize > sizeof(BITMAPINFOHEADER) ? TBmpFileDIB::Unsupported : TBmpFileDIB::Malformed, {}};
  const std::span<const BYTE> dib = bytes.subspan(fileHeader, end - fileHeader);
  const std::size_t info = PackedDIBInfoSize(dib);
  const DWORD offBits = Read32(bytes, 10);
  if (info == 0 || offBits < fileHeader + info || offBits > end) return {};
  TBmpFileDIB result{TBmpFileDIB::Packed, {}};
  result.Bytes.reserve(info + (end - offBits));
  result.Bytes.assign(dib.begin(), dib.begin() + static_cast<std::ptrdiff_t>(info));
  result.Bytes.insert(result.Bytes.end(), bytes.begin() + offBits, bytes.begin() + static_cast<std::ptrdiff_t>(end));
  return result;
}

namespace {

enum class TImageKind { Indexed, Grey, TrueColor };

TImageKind KindOf(QImage::Format Format, int ColorCount) {
  switch (Format) {
    case QImage::Format_Indexed8:
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
      // A table of no colours or of more than a DIB holds: as true colour.
      return ColorCount > 0 && ColorCount <= 256 ? TImageKind::Indexed : TImageKind::TrueColor;
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16:
      return TImageKind::Grey;
    default:
      return TImageKind::TrueColor;
  }
}

// Row bytes of the DIB, or none when its pixels would pass MaxPixelBytes.
std::optional<std::int64_t> StrideWithin(std::int64_t Width, std::int64_t Height, int BitCount,
                                         std::int64_t MaxPixelBytes) {
  if (Width <= 0 || Height <= 0) return std::nullopt;
  const std::int64_t stride = (BitCount * Width + 31) / 32 * 4;
  if (stride > MaxPixelBytes || Height > MaxPixelBytes / stride) return std::nullopt;
  return stride;
}

// Rows converted at a time: about a megabyte of them.
int BandRows(const QImage& Image) {
  return static_cast<int>(std::clamp<qsizetype>((qsizetype{1} << 20) / std::max<qsizetype>(1, Image.bytesPerLine()), 1,
                                                Image.height()));
}

}  // namespace

std::optional<std::vector<BYTE>> PackedDIBFromImage(const QImage& Image, std::int64_t MaxPixelBytes) {
  if (Image.isNull()) return std::nullopt;
  const TImageKind kind = KindOf(Image.format(), Image.colorCount());
  const int bitCount = kind == TImageKind::TrueColor ? 24 : 8;
  const std::int64_t width = Image.width(), height = Image.height();
  // Measured before any conversion allocates the pixels.
  const std::optional<std::int64_t> fit = StrideWithin(width, height, bitCount, MaxPixelBytes);
  if (!fit) return std::nullopt;
  const std::int64_t stride = *fit;

  // Indexed images need their table whole; they are the size of the DIB already.
  const QImage indexed = kind == TImageKind::Indexed ? Image.convertToFormat(QImage::Format_Indexed8) : QImage();
  if (kind == TImageKind::Indexed && indexed.isNull()) return std::nullopt;
  const std::int64_t colors = kind == TImageKind::Indexed ? indexed.colorCount() : kind == TImageKind::Grey ? 256 : 0;
  BITMAPINFOHEADER h;
  h.biSize = sizeof h;
  h.biWidth = static_cast<LONG>(width);
  h.biHeight = static_cast<LONG>(height);
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(bitCount);
  h.biCompression = BI_RGB;
  h.biXPelsPerMeter = Image.dotsPerMeterX() > 0 ? Image.dotsPerMeterX() : 3780;
  h.biYPelsPerMeter = Image.dotsPerMeterY() > 0 ? Image.dotsPerMeterY() : 3780;
  h.biClrUsed = static_cast<DWORD>(colors);

  const std::size_t info = sizeof h + 4 * static_cast<std::size_t>(colors);
  std::vector<BYTE> packed(info + static_cast<std::size_t>(stride * height), 0);
  std::memcpy(packed.data(), &h, sizeof h);
  for (int i = 0; i < colors; ++i) {
    const QRgb c = kind == TImageKind::Indexed ? indexed.color(i) : qRgb(i, i, i);
    const RGBQUAD entry{static_cast<BYTE>(qBlue(c)), static_cast<BYTE>(qGreen(c)), static_cast<BYTE>(qRed(c)), 0};
    std::memcpy(packed.data() + sizeof h + 4 * static_cast<std::size_t>(i), &entry, sizeof entry);
  }
  const auto rowOut = [&](std::int64_t y) {
    return packed.data() + info + static_cast<std::size_t>(stride * (height - 1 - y));
  };
  if (kind == TImageKind::Indexed) {
    for (int y = 0; y < height; ++y) std::memcpy(rowOut(y), indexed.constScanLine(y), static_cast<std::size_t>(width));
    return packed;
  }
  // Other depths are converted a band of rows at a time, not as a whole copy.
  const QImage::Format target = kind == TImageKind::Grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888;
  const int band = BandRows(Image);
  for (int y0 = 0; y0 < height; y0 += band) {
    const int rows = static_cast<int>(std::min<std::int64_t>(band, height - y0));
    const QImage converted = Image.copy(0, y0, static_cast<int>(width), rows).convertToFormat(target);
    if (converted.isNull()) return std::nullopt;
    for (int r = 0; r < rows; ++r) {
      const uchar* in = converted.constScanLine(r);
      BYTE* out = rowOut(y0 + r);
      if (kind == TImageKind::Grey) {
        std::memcpy(out, in, static_cast<std::size_t>(width));
        continue;
      }
      for (int x = 0; x < width; ++x) {
        out[3 * x] = in[3 * x + 2];
        out[3 * x + 1] = in[3 * x + 1];
        out[3 * x + 2] = in[3 * x];
      }
    }
  }
  return packed;
}

std::optional<std::vector<BYTE>> PackedDIBFromImageFile(const QByteArray& File, std::int64_t MaxPixelBytes) {
  QBuffer buffer;
  buffer.setData(File);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QSize size = reader.size();
  if (size.isValid()) {
    // An indexed format's table is not known yet: its DIB may be 8 bits.
    const TImageKind kind = KindOf(reader.imageFormat(), 256);
    if (!StrideWithin(size.width(), size.height(), kind == TImageKind::TrueColor ? 24 : 8, MaxPixelBytes))
      return std::nullopt;
  }
  QImage image;
  if (!reader.read(&image)) return std::nullopt;
  return PackedDIBFromImage(image, MaxPixelBytes);
}
