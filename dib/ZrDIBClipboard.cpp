#include <algorithm>
#include <cstring>

#include "dib/ZrDIBInternal.h"
#include "dib/ZrDIBReader.h"
#include "host/Kernel.h"

namespace {

class TBlockInput : public TZrPixelInput {
 public:
  TBlockInput(const BYTE* Data, std::int64_t Size) : FData(Data), FLeft(Size) {}
  std::int64_t Available() override { return FLeft; }
  void Read(BYTE* Dest, std::int64_t Count) override {
    Assert(Count <= FLeft, "TZrInternalDIB.LoadFromClipboardFormat: Read Past the Block");
    std::memcpy(Dest, FData, static_cast<std::size_t>(Count));
    FData += Count;
    FLeft -= Count;
  }

 private:
  const BYTE* FData;
  std::int64_t FLeft;
};

constexpr const char* SInvalidClipboardData = "TZrDIB.LoadFromClipboardFormat: Invalid Clipboard Data";
constexpr const char* SColorTableTooShort = "TZrInternalDIB.LoadFromClipboardFormat: Color Table is too Short";

}  // namespace

void TZrInternalDIB::LoadFromClipboardFormat(HGLOBAL Block) {
  const TGlobalLock lock(Block);
  const BYTE* data = lock.Data();
  const auto size = static_cast<std::int64_t>(GlobalSize(Block));
  DWORD headerSize = 0;
  if (!data || size < static_cast<std::int64_t>(sizeof headerSize)) throw EZrDIBInvalidDIB(SInvalidClipboardData);
  std::memcpy(&headerSize, data, sizeof headerSize);

  BITMAPINFO info = BitmapInfo;
  auto& h = info.bmiHeader;
  std::int64_t offset = 0;  // of the pixel array
  if (headerSize == sizeof(BITMAPINFOHEADER)) {
    if (size < static_cast<std::int64_t>(sizeof h)) throw EZrDIBInvalidDIB(SInvalidClipboardData);
    std::memcpy(static_cast<void*>(&h), data, sizeof h);
    const std::int64_t colors = h.biClrUsed != 0 ? h.biClrUsed : NumColorsOf(h.biBitCount);
    offset = 40 + 4 * (colors + (h.biCompression == BI_BITFIELDS ? 3 : 0));
    if (offset > size) throw EZrDIBInvalidDIB(SColorTableTooShort);
    std::memcpy(static_cast<void*>(&info), data,
                static_cast<std::size_t>(std::min<std::int64_t>(offset, 40 + 4 * 259)));
    if (h.biXPelsPerMeter == 0) h.biXPelsPerMeter = 3780;
    if (h.biYPelsPerMeter == 0) h.biYPelsPerMeter = 3780;
    h.biClrUsed = static_cast<DWORD>(std::min<std::int64_t>(colors, 256));
  } else if (headerSize == sizeof(BITMAPCOREHEADER)) {
    BITMAPCOREHEADER core;
    if (size < static_cast<std::int64_t>(sizeof core)) throw EZrDIBInvalidDIB(SInvalidClipboardData);
    std::memcpy(static_cast<void*>(&core), data, sizeof core);
    offset = 12 + 3 * NumColorsOf(core.bcBitCount);
    if (offset > size) throw EZrDIBInvalidDIB(SColorTableTooShort);
    std::memcpy(static_cast<void*>(&info), data, static_cast<std::size_t>(offset));
    CoreToInfoHeader(info);
  } else {
    throw EZrDIBInvalidDIB(SInvalidClipboardData);
  }
  CheckWidthAndHeight(h);
  const WORD bits = h.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    throw EZrDIBInvalidDIB("TZrInternalDIB.LoadFromClipboardFormat: Invalid biBitCount");

  TZrPixelMemory pixels;
  TBlockInput input(data + offset, size - offset);
  ReadPixels(info, size - offset, TZrPixelCount::Block, input, UseFMO, "TZrInternalDIB.LoadFromClipboardFormat",
             pixels);
  InstallDIB(*this, info, pixels);
}

HGLOBAL TZrInternalDIB::SaveToClipboardFormat() const {
  const auto infoBytes = static_cast<std::size_t>(SavedInfoSize("TZrInternalDIB.SaveToClipboardFormat"));
  const std::size_t size = infoBytes + static_cast<std::size_t>(ImageSize);
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  BYTE* data = block ? static_cast<BYTE*>(GlobalLock(block)) : nullptr;
  if (!data) {
    if (block) GlobalFree(block);
    throw EOutOfMemory("TZrInternalDIB.SaveToClipboardFormat: Out Of Memory");
  }
  std::memcpy(data, static_cast<const void*>(&BitmapInfo), infoBytes);
  std::memcpy(data + infoBytes, Bits, static_cast<std::size_t>(ImageSize));
  GlobalUnlock(block);
  return block;
}
