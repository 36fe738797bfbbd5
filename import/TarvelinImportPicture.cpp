#include "import/TarvelinImportPicture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <fstream>
#include <iterator>

TImportImage ImportImageOf(const QImage& Image) {
  TImportImage image;
  image.Width = Image.width();
  image.Height = Image.height();
  const auto count = static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height);
  image.Argb.resize(count);
  const QImage::Format format = Image.format();
  image.Indexed = format == QImage::Format_Indexed8 || format == QImage::Format_Mono ||
                  format == QImage::Format_MonoLSB;
  // Indexes survive the widening to 8 bits; colours are read from the widened copy.
  const QImage source = image.Indexed ? Image.convertToFormat(QImage::Format_Indexed8) : Image;
  const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
  if (image.Indexed) image.Indexes.resize(count);
  for (int y = 0; y < image.Height; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    const uchar* indexes = image.Indexed ? source.constScanLine(y) : nullptr;
    for (int x = 0; x < image.Width; ++x) {
      image.Argb[image.At(x, y)] = row[x];
      if (indexes) image.Indexes[image.At(x, y)] = indexes[x];
    }
  }
  return image;
}

namespace {

std::uint32_t Le(std::span<const std::uint8_t> Bytes, std::size_t At, int Size) {
  std::uint32_t value = 0;
  for (int i = Size - 1; i >= 0; --i) value = value << 8 | Bytes[At + static_cast<std::size_t>(i)];
  return value;
}

// Qt reads a 2-colour BMP with the lighter colour as index 0, whatever the file's order;
// the file's own palette says which index each pixel had.
bool TwoColourBmpSwapped(std::span<const std::uint8_t> Bytes, const QImage& Image) {
  if (Image.colorCount() != 2 || Bytes.size() < 18) return false;
  const std::uint32_t header = Le(Bytes, 14, 4);
  const std::size_t entry = header == 12 ? 3 : 4;
  const std::size_t at = 14 + header;
  if (header < 12 || at + 2 * entry > Bytes.size()) return false;
  const auto rgb = [&](std::size_t i) { return Le(Bytes, at + i * entry, 3); };  // BGR bytes: 0xRRGGBB
  const QRgb first = Image.color(0) & 0xFFFFFF, second = Image.color(1) & 0xFFFFFF;
  return rgb(0) != rgb(1) && first == rgb(1) && second == rgb(0);
}

}  // namespace

TImportImage DecodeImportImage(std::span<const std::uint8_t> Bytes, std::string& Error) {
  QByteArray data(reinterpret_cast<const char*>(Bytes.data()), static_cast<qsizetype>(Bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  const QByteArray format = reader.format();
  if (format != "png" && format != "bmp") {
    Error = "not a PNG or BMP picture";
    return {};
  }
  // The header's size first, so a picture announcing millions of pixels is never decoded.
  const QSize size = reader.size();
  if (!size.isValid() || size.width() > MaxImportSide || size.height() > MaxImportSide) {
    Error = size.isValid() ? "the picture is " + std::to_string(size.width()) + " x " +
                                 std::to_string(size.height()) + " pixels, too large"
                           : "the picture's size cannot be read";
    return {};
  }
  QImage image;
  if (!reader.read(&image)) {
    Error = "cannot decode the picture: " + reader.errorString().toStdString();
    return {};
  }
  TImportImage decoded = ImportImageOf(image);
  if (format == "bmp" && decoded.Indexed && TwoColourBmpSwapped(Bytes, image))
    for (int& index : decoded.Indexes) index ^= 1;
  return decoded;
}

TImportImage ReadImportImage(const std::filesystem::path& Path, std::string& Error) {
  std::ifstream in(Path, std::ios::binary | std::ios::ate);
  if (!in) {
    Error = "cannot open " + Path.string();
    return {};
  }
  // No PNG or BMP of the largest accepted size comes near this.
  if (in.tellg() > std::streamoff{64} << 20) {
    Error = Path.string() + " is too large for a picture to import";
    return {};
  }
  in.seekg(0);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodeImportImage(bytes, Error);
}
