// A BMP file as another program puts it on the clipboard: the packed DIB taken
// out of it must lie inside the file, load or be refused, and pack back into
// the same file form.

#include <QByteArray>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "dib/ZrDIB.h"
#include "host/Clipboard.h"
#include "host/Kernel.h"
#include "host/qt/ClipboardImage.h"

namespace {

constexpr std::int64_t MaxPixelBytes = 64 << 20;

std::uint32_t Read32(const BYTE* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24; }
std::uint32_t Read16(const BYTE* p) { return p[0] | p[1] << 8; }

// Headers asking for more than MaxPixelBytes of pixels are left out, so that
// legitimate large pictures do not hit the fuzzer's memory limit.
bool TooLarge(const std::vector<BYTE>& Packed) {
  const BYTE* p = Packed.data();
  const bool core = Read32(p) == 12;  // a 12-byte header has 16-bit fields
  const std::int64_t width = core ? Read16(p + 4) : static_cast<std::int32_t>(Read32(p + 4));
  const std::int64_t height = core ? Read16(p + 6) : std::llabs(static_cast<std::int32_t>(Read32(p + 8)));
  const std::int64_t bits = core ? Read16(p + 10) : Read16(p + 14);
  if (width <= 0) return false;
  const std::int64_t row = (std::max<std::int64_t>(bits, 24) * width + 31) / 32 * 4;
  return row > MaxPixelBytes || height > MaxPixelBytes / row;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const TBmpFileDIB dib = PackedDIBFromBmpFile(file);
  if (dib.Kind != TBmpFileDIB::Packed) return 0;
  // What a BMP file gives back is what writing that packed DIB gives again.
  const auto again = BmpFileFromPackedDIB(dib.Bytes);
  if (!again || PackedDIBFromBmpFile(*again).Bytes != dib.Bytes) std::abort();
  if (TooLarge(dib.Bytes)) return 0;

  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, dib.Bytes.size());
  std::memcpy(GlobalLock(block), dib.Bytes.data(), dib.Bytes.size());
  GlobalUnlock(block);
  TZrDIB picture;
  try {
    picture.LoadFromClipboardFormat(CF_DIB, block, {});
  } catch (const Exception&) {
  }
  GlobalFree(block);
  return 0;
}
