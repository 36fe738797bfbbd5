#include <algorithm>
#include <cstring>

#include "dib/ZrDIB.h"
#include "dib/ZrDIBReader.h"
#include "host/Translate.h"

namespace {

class TStreamInput : public TZrPixelInput {
 public:
  explicit TStreamInput(TStream& Stream) : FStream(Stream) {}

  std::int64_t Available() override {
    const std::int64_t position = FStream.Seek(0, TSeekOrigin::soCurrent);
    if (position < 0) return -1;
    const std::int64_t end = FStream.Seek(0, TSeekOrigin::soEnd);
    FStream.Seek(position, TSeekOrigin::soBeginning);
    return end < 0 ? -1 : std::max<std::int64_t>(0, end - position);
  }
  void Read(BYTE* Dest, std::int64_t Count) override { FStream.ReadBuffer(Dest, Count); }

  // Moves Count bytes on; a stream that ends before fails at once, as the
  // read that follows would.
  void Skip(std::int64_t Count) {
    if (Count == 0) return;
    const std::int64_t available = Available();
    if (available >= 0 && Count > available) throw EReadError(HostText(SReadError));
    FStream.Seek(Count, TSeekOrigin::soCurrent);
  }

 private:
  TStream& FStream;
};

bool ValidInfoBitCount(WORD BitCount) {
  return BitCount == 1 || BitCount == 4 || BitCount == 8 || BitCount == 16 || BitCount == 24 || BitCount == 32;
}

}  // namespace

void TZrInternalDIB::LoadFromStream(TStream& Stream) {
  BITMAPINFO info = BitmapInfo;
  auto& h = info.bmiHeader;
  TStreamInput input(Stream);

  BITMAPFILEHEADER file;
  Stream.ReadBuffer(&file, sizeof file);
  if (file.bfType != 0x4D42) throw EZrDIBInvalidDIBFile("TZrInternalDIB.LoadFromFile: File type is invalid");
  DWORD headerSize = 0;
  Stream.ReadBuffer(&headerSize, sizeof headerSize);

  // The headers and colour table as the file describes them, and the part of
  // them read; a colour table over 256 entries is skipped, not read.
  std::int64_t described = 0;
  std::int64_t read = 0;
  if (headerSize == sizeof(BITMAPINFOHEADER)) {
    h.biSize = headerSize;
    Stream.ReadBuffer(&h.biWidth, sizeof h - sizeof h.biSize);
    if (h.biXPelsPerMeter == 0) h.biXPelsPerMeter = 3780;
    if (h.biYPelsPerMeter == 0) h.biYPelsPerMeter = 3780;
    if (!ValidInfoBitCount(h.biBitCount)) throw EZrDIBInvalidDIB("TZrInternalDIB.LoadFromStream: Invalid BitCout");
    if (h.biClrUsed == 0) h.biClrUsed = static_cast<DWORD>(NumColorsOf(h.biBitCount));
    const std::int64_t colors = h.biClrUsed;
    const std::int64_t kept = std::min<std::int64_t>(colors, 256);
    const std::int64_t masks = h.biCompression == BI_BITFIELDS ? 3 : 0;
    Stream.ReadBuffer(info.bmiColors, (masks + kept) * static_cast<std::int64_t>(sizeof(RGBQUAD)));
    described = 14 + 40 + 4 * (masks + colors);
    read = 14 + 40 + 4 * (masks + kept);
    h.biClrUsed = static_cast<DWORD>(kept);
  } else if (headerSize == sizeof(BITMAPCOREHEADER)) {
    BITMAPCOREHEADER core;
    core.bcSize = headerSize;
    Stream.ReadBuffer(&core.bcWidth, sizeof core - sizeof core.bcSize);
    const WORD bits = core.bcBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
      throw EZrDIBInvalidDIB("TZrInternalDIB.LoadFromStream: Invalid BitCount");
    std::memcpy(static_cast<void*>(&info), &core, sizeof core);
    const std::int64_t colors = NumColorsOf(bits);
    Stream.ReadBuffer(reinterpret_cast<BYTE*>(&info) + sizeof core, 3 * colors);
    described = read = 14 + 12 + 3 * colors;
  } else {
    throw EZrDIBInvalidDIB("TZrInternalDIB.LoadFromStream: Invalid Bitmap Header Size");
  }
  if (file.bfOffBits < described) throw EZrDIBInvalidDIB("TZrInternalDIB.LoadFromFile: bfOffBits is too small");
  input.Skip(file.bfOffBits - read);
  if (headerSize == sizeof(BITMAPCOREHEADER)) CoreToInfoHeader(info);
  CheckWidthAndHeight(h);

  TZrPixelMemory pixels;
  const std::int64_t count = static_cast<std::int64_t>(file.bfSize) - file.bfOffBits;
  ReadPixels(info, count, TZrPixelCount::Announced, input, UseFMO, "TZrInternalDIB.LoadFromStream", pixels);
  InstallDIB(*this, info, pixels);
}

void TZrDIB::LoadFromStream(TStream& Stream) {
  Assert(FInternalDIB != nullptr, "TZrDIB.LoadFromStream: InternalDIB Should not be Nil");
  // Loading fills every field, so the new storage needs no blank picture first.
  auto fresh = std::make_unique<TZrInternalDIB>(FInternalDIB->UseFMO, TZrInternalDIB::NoPixels);
  fresh->LoadFromStream(Stream);
  ReplaceInternalDIB(std::move(fresh));
}

// Writes a BMP file: header, colour table and pixels exactly as stored, so
// compressed or top-down content stays so.
void TZrDIB::SaveToStream(TStream& Stream) {
  Assert(FInternalDIB != nullptr, "TZrDIB.SaveToStream: InternalDIB Should not be Nil");
  const TZrInternalDIB& dib = *FInternalDIB;
  const std::int64_t infoBytes = dib.SavedInfoSize("TZrDIB.SaveToStream");
  BITMAPFILEHEADER file;
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + infoBytes);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(dib.ImageSize);
  Stream.WriteBuffer(&file, sizeof file);
  Stream.WriteBuffer(&dib.BitmapInfo, infoBytes);
  Stream.WriteBuffer(dib.Bits, dib.ImageSize);
}
