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
  return ImportImageOf(image);
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
