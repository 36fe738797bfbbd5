#include "host/qt/Clipboard.h"

#include <algorithm>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "host/qt/ClipboardImage.h"

namespace {

const QString BmpType = QStringLiteral("image/bmp");

QClipboard* SystemClipboard() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

const QMimeData* Contents() {
  QClipboard* clipboard = SystemClipboard();
  return clipboard ? clipboard->mimeData() : nullptr;
}

std::vector<BYTE> VectorOf(const QByteArray& Array) {
  const auto* data = reinterpret_cast<const BYTE*>(Array.constData());
  return {data, data + Array.size()};
}

// Form Offer of the picture on the clipboard as a packed DIB: the BMP file
// first, then each other picture in the order offered that Qt can read.
std::optional<std::vector<BYTE>> DIBOnClipboard(const QMimeData& Mime, int Offer) {
  int found = 0;
  bool bmpTaken = false, bmpMalformed = false;
  if (Mime.hasFormat(BmpType)) {
    TBmpFileDIB bmp = PackedDIBFromBmpFile(Mime.data(BmpType));
    // A malformed one is handed to no decoder either.
    bmpMalformed = bmp.Kind == TBmpFileDIB::Malformed;
    bmpTaken = bmp.Kind == TBmpFileDIB::Packed || bmpMalformed;
    if (bmp.Kind == TBmpFileDIB::Packed && found++ == Offer) return std::move(bmp.Bytes);
  }
  for (const QString& type : Mime.formats()) {
    if (!type.startsWith(QStringLiteral("image/")) || (type == BmpType && bmpTaken)) continue;
    std::optional<std::vector<BYTE>> dib = PackedDIBFromImageFile(Mime.data(type));
    if (dib && found++ == Offer) return dib;
  }
  if (!bmpMalformed && Mime.hasImage()) {
    std::optional<std::vector<BYTE>> dib = PackedDIBFromImage(qvariant_cast<QImage>(Mime.imageData()));
    if (dib && found++ == Offer) return dib;
  }
  return std::nullopt;
}

}  // namespace

QString TQtClipboardBackend::PrivateType(WORD Format) {
  return QStringLiteral("application/x-tarvelin-clipboard-format-%1").arg(Format);
}

bool TQtClipboardBackend::Open() { return SystemClipboard() != nullptr; }

void TQtClipboardBackend::Clear() {
  FOwned.clear();
  if (QClipboard* clipboard = SystemClipboard()) clipboard->clear();
}

bool TQtClipboardBackend::HasFormat(WORD Format) {
  const QMimeData* mime = Contents();
  if (!mime) return false;
  if (Format != CF_DIB) return mime->hasFormat(PrivateType(Format));
  if (mime->hasFormat(BmpType) || mime->hasImage()) return true;
  const QStringList types = mime->formats();
  return std::any_of(types.begin(), types.end(), [](const QString& t) { return t.startsWith(QStringLiteral("image/")); });
}

std::optional<std::vector<BYTE>> TQtClipboardBackend::GetData(WORD Format) {
  const QMimeData* mime = Contents();
  if (!mime) return std::nullopt;
  if (Format == CF_DIB) return DIBOnClipboard(*mime, 0);
  if (!mime->hasFormat(PrivateType(Format))) return std::nullopt;
  return VectorOf(mime->data(PrivateType(Format)));
}

std::optional<std::vector<BYTE>> TQtClipboardBackend::GetOtherData(WORD Format, int Offer) {
  const QMimeData* mime = Contents();
  if (!mime || Format != CF_DIB || Offer <= 0) return std::nullopt;
  return DIBOnClipboard(*mime, Offer);
}

bool TQtClipboardBackend::SetData(WORD Format, std::span<const BYTE> Data) {
  QClipboard* clipboard = SystemClipboard();
  if (!clipboard || (Format == CF_DIB && !BmpFileFromPackedDIB(Data))) return false;
  FOwned[Format].assign(Data.begin(), Data.end());
  // The clipboard takes every format at once: all of them go again.
  auto mime = std::make_unique<QMimeData>();
  for (const auto& [format, bytes] : FOwned) {
    if (format != CF_DIB) {
      mime->setData(PrivateType(format),
                    QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
      continue;
    }
    const QByteArray file = *BmpFileFromPackedDIB(bytes);
    mime->setData(BmpType, file);
    QImage image;
    if (image.loadFromData(file, "BMP")) mime->setImageData(image);
  }
  clipboard->setMimeData(mime.release());
  return true;
}

std::shared_ptr<TClipboardBackend> InstallQtClipboard() {
  return Clipboard().SetBackend(std::make_shared<TQtClipboardBackend>());
}
