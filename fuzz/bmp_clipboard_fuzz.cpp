// TZrInternalDIB.LoadFromClipboardFormat on any block: a refusal is fine, a
// crash or a read past the block is not. What loads is packed again and read back.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dib/ZrDIB.h"
#include "fuzz/BmpFuzzSupport.h"
#include "host/Kernel.h"

namespace {

using namespace bmp_fuzz;

bool TooLarge(const uint8_t* data, size_t size) {
  if (size < 16) return false;
  const std::int64_t width = static_cast<std::int32_t>(Read32(data + 4));
  const std::int64_t height = std::llabs(static_cast<std::int32_t>(Read32(data + 8)));
  const std::int64_t bits = data[14] | data[15] << 8;
  return TooManyPixelBytes(width, height, bits);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Seeds are BMP files: their packed DIB follows the 14-byte file header.
  if (size >= 14 && data[0] == 'B' && data[1] == 'M') data += 14, size -= 14;
  if (TooLarge(data, size)) return 0;
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (size) std::memcpy(GlobalLock(block), data, size), GlobalUnlock(block);
  TZrInternalDIB storage(true);
  try {
    storage.LoadFromClipboardFormat(block);
  } catch (const Exception&) {
    GlobalFree(block);
    return 0;
  }
  GlobalFree(block);
  HGLOBAL packed;
  try {
    packed = storage.SaveToClipboardFormat();
  } catch (const EZrDIBBadDIBType&) {
    return 0;  // content no reader could take back
  }
  TZrInternalDIB again(false);
  again.LoadFromClipboardFormat(packed);
  GlobalFree(packed);
  if (!SameContent(storage, again)) std::abort();
  return 0;
}
