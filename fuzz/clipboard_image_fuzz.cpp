// An image file of any format Qt reads, as another program offers it on the
// clipboard: what becomes a packed DIB must have the layout its header gives
// and load into a TZrDIB with the same pixels; anything else is refused.

#include <QByteArray>
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dib/ZrDIB.h"
#include "host/Clipboard.h"
#include "host/Kernel.h"
#include "host/qt/ClipboardImage.h"

namespace {

// Pictures past this many pixel bytes are refused, as a paste refuses what a DIB cannot hold.
constexpr std::int64_t MaxPixelBytes = 16 << 20;

void Check(bool Condition) {
  if (!Condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "clipboard_image_fuzz";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const auto packed = PackedDIBFromImageFile(file, MaxPixelBytes);
  if (!packed) return 0;
  BITMAPINFOHEADER h;
  Check(packed->size() >= sizeof h);
  std::memcpy(&h, packed->data(), sizeof h);
  Check(h.biWidth > 0 && h.biHeight > 0 && (h.biBitCount == 8 || h.biBitCount == 24));
  Check(h.biClrUsed <= (h.biBitCount == 8 ? 256u : 0u));
  const std::int64_t stride = DIBStride(h.biBitCount, h.biWidth);
  Check(stride * h.biHeight <= MaxPixelBytes);
  const std::size_t info = sizeof h + 4 * std::size_t{h.biClrUsed};
  Check(packed->size() == info + static_cast<std::size_t>(stride * h.biHeight));

  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, packed->size());
  std::memcpy(GlobalLock(block), packed->data(), packed->size());
  GlobalUnlock(block);
  TZrDIB picture;
  picture.LoadFromClipboardFormat(CF_DIB, block, {});
  GlobalFree(block);
  const TZrInternalDIB& s = *picture.GetInternalDIB();
  Check(s.ImageSize == stride * h.biHeight && std::memcmp(s.Bits, packed->data() + info, s.ImageSize) == 0);
  return 0;
}
