#include <algorithm>
#include <memory>
#include <unordered_set>

#include "dib/ZrDIB.h"
#include "dib/ZrDIBHalfTone.h"
#include "host/Gdi.h"
#include "host/Immortal.h"

namespace {

// A palette every DIB shares. It stays selected into a memory DC of its own for
// its whole life, so that no DeleteObject by a user of the handle can free it.
struct TSharedPalette {
  HPALETTE Palette;
  HDC Pin;
};

TSharedPalette SharedHalfTone;
TSharedPalette SharedHalfToneBW;

HPALETTE MakeHalfTonePalette() {
  auto record = std::make_unique<LOGPALETTE>();
  record->palNumEntries = HalfToneColorCount;
  for (std::size_t i = 0; i < HalfToneColors.size(); ++i) {
    const auto& c = HalfToneColors[i];
    record->palPalEntry[i] = {c[0], c[1], c[2], 0};
  }
  return CreatePalette(record.get());
}

HPALETTE MakeHalfToneBWPalette() {
  auto record = std::make_unique<LOGPALETTE>();
  record->palNumEntries = 2;
  record->palPalEntry[0] = {0, 0, 0, 0};
  record->palPalEntry[1] = {255, 255, 255, 0};
  return CreatePalette(record.get());
}

HPALETTE GetShared(TSharedPalette& Shared, HPALETTE (*Make)()) {
  if (Shared.Palette) return Shared.Palette;
  const HPALETTE palette = Make();
  const HDC pin = palette ? CreateCompatibleDC(HDC{}) : HDC{};
  if (!pin || !SelectPalette(pin, palette, true)) {
    if (pin) DeleteDC(pin);
    if (palette) DeleteObject(palette);
    return {};
  }
  Shared = {palette, pin};
  return palette;
}

void FreeShared(TSharedPalette& Shared) {
  if (Shared.Pin) DeleteDC(Shared.Pin);
  if (Shared.Palette) DeleteObject(Shared.Palette);
  Shared = {};
}

bool IsSharedPalette(HPALETTE Palette) {
  return Palette == SharedHalfTone.Palette || Palette == SharedHalfToneBW.Palette;
}

// Palettes that a storage took as its own, so that one handed to another DIB is
// copied rather than owned twice. A storage deletes its palette without saying
// so; since handles are never reused, a dead entry is simply ignored and
// swept from time to time.
class TStoragePalettes {
public:
  void Add(HPALETTE Palette) {
    if (FHandles.size() >= 2 * FLiveAfterSweep + 64) Sweep();
    FHandles.insert(Palette.Value);
  }
  bool Holds(HPALETTE Palette) const {
    return FHandles.contains(Palette.Value) && GetObjectType(Palette) == OBJ_PAL;
  }

private:
  void Sweep() {
    std::erase_if(FHandles, [](std::uintptr_t h) { return GetObjectType(HGDIOBJ{{h}}) != OBJ_PAL; });
    FLiveAfterSweep = FHandles.size();
  }
  std::unordered_set<std::uintptr_t> FHandles;
  std::size_t FLiveAfterSweep = 0;
};

TStoragePalettes& StoragePalettes() {
  // DIBs with static storage may still be at work while statics are destroyed.
  static TImmortal<TStoragePalettes> palettes;
  return palettes.Get();
}

}  // namespace

HPALETTE HalfTonePalette() { return GetShared(SharedHalfTone, &MakeHalfTonePalette); }

HPALETTE HalfToneBWPalette() { return GetShared(SharedHalfToneBW, &MakeHalfToneBWPalette); }

void FreeHalfTonePalettes() {
  FreeShared(SharedHalfTone);
  FreeShared(SharedHalfToneBW);
}

HPALETTE GetPaletteFromDIBInfos(const BITMAPINFO& BitmapInfo) {
  const DWORD used = BitmapInfo.bmiHeader.biClrUsed;
  if (used == 0) return {};
  auto record = std::make_unique<LOGPALETTE>();
  record->palNumEntries = static_cast<WORD>(std::min<DWORD>(used, 256));
  for (int i = 0; i < record->palNumEntries; ++i) {
    const RGBQUAD& c = BitmapInfo.bmiColors[i];
    record->palPalEntry[i] = {c.rgbRed, c.rgbGreen, c.rgbBlue, 0};
  }
  const HPALETTE palette = CreatePalette(record.get());
  if (!palette) throw EOutOfResources("GetPaletteFromDIBInfos: Cannot Make Palette");
  return palette;
}

// --- TZrDIB palette operations ----------------------------------------------------

HPALETTE TZrDIB::GetPalette() {
  Assert(FInternalDIB != nullptr, "TZrDIB.GetPalette: InternalDIB Should not be Nil");
  if (FDrawMode == 1 || FDrawMode == 2) {
    const HPALETTE shared = FDrawMode == 1 ? HalfTonePalette() : HalfToneBWPalette();
    if (!shared) throw EOutOfResources("TZrDIB.GetPalette: Cannot Make Palette(1)");
    return shared;
  }
  // Cached in the storage, shared or not: the one handle serves every sharer.
  TZrInternalDIB& dib = *FInternalDIB;
  if (!dib.PaletteHandle && dib.BitmapInfo.bmiHeader.biClrUsed != 0) {
    dib.PaletteHandle = GetPaletteFromDIBInfos(dib.BitmapInfo);
    StoragePalettes().Add(dib.PaletteHandle);
  }
  return dib.PaletteHandle;
}

void TZrDIB::SetPalette(HPALETTE Value) {
  Assert(FInternalDIB != nullptr, "TZrDIB.SetPalette: InternalDIB Should not be Nil");
  // Only a handle handed over becomes the storage's. One that the library or
  // another storage owns (a sharer's included) is copied: the storage makes its
  // own from the colour table when asked.
  const bool own = Value && Value == FInternalDIB->PaletteHandle && FInternalDIB->RefCount == 1;
  const bool handedOver = Value && !own && !IsSharedPalette(Value) && !StoragePalettes().Holds(Value);
  UniqueDIB();
  TZrInternalDIB& dib = *FInternalDIB;
  if (!Value) {
    dib.BitmapInfo.bmiHeader.biClrUsed = 0;
  } else {
    PALETTEENTRY entries[256];
    const UINT count = GetPaletteEntries(Value, 0, 256, entries);
    if (count == 0) throw EZrDIBInvalidPalette("TZrDIB.SetPalette: Invalid Palette");
    dib.BitmapInfo.bmiHeader.biClrUsed = count;
    for (UINT i = 0; i < count; ++i)
      dib.BitmapInfo.bmiColors[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
  }
  const HPALETTE kept = own || handedOver ? Value : HPALETTE{};
  if (dib.PaletteHandle && dib.PaletteHandle != kept) DeleteObject(dib.PaletteHandle);
  dib.PaletteHandle = kept;
  if (handedOver) StoragePalettes().Add(Value);
  UpdatePaletteModified();
  SetModified(true);
}

void TZrDIB::SetColors(int Index, TColor Color) {
  Assert(FInternalDIB != nullptr, "TZrDIB.GetColors: InternalDIB Should not be Nil");
  if (Index < 0 || Index > 255) throw EZrDIBPaletteIndexRange("TZrDIB.GetColors: Palette Index is Out of Range");
  UniqueDIB();
  const COLORREF rgb = ColorToRGB(Color);
  FInternalDIB->BitmapInfo.bmiColors[Index] = {GetBValue(rgb), GetGValue(rgb), GetRValue(rgb), 0};
  FInternalDIB->UpdatePalette();
  UpdatePaletteModified();
  SetModified(true);
}

void TZrDIB::UpdatePaletteModified() {
  Assert(FInternalDIB != nullptr, "TZrDIB.UpdatePaletteModified: InternalDIB Should not be Nil");
  Assert(FInternalDIB->RefCount == 1, "TZrDIB.UpdatePaletteModified RefCount Must be 1");
  if (FInternalDIB->PaletteChanged) {
    FInternalDIB->PaletteChanged = false;
    SetPaletteModified(true);
  }
}
