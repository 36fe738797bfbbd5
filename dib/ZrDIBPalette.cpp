#include <algorithm>
#include <memory>

#include "dib/ZrDIB.h"
#include "dib/ZrDIBHalfTone.h"
#include "host/Gdi.h"

namespace {

HPALETTE SharedHalfTone;
HPALETTE SharedHalfToneBW;

HPALETTE MakeHalfTonePalette() {
  auto record = std::make_unique<LOGPALETTE>();
  record->palNumEntries = HalfToneColorCount;
  for (std::size_t r = 0; r < HalfToneRedLevels.size(); ++r)
    for (std::size_t g = 0; g < HalfToneGreenLevels.size(); ++g)
      for (std::size_t b = 0; b < HalfToneBlueLevels.size(); ++b)
        record->palPalEntry[r * 35 + g * 5 + b] = {HalfToneRedLevels[r], HalfToneGreenLevels[g], HalfToneBlueLevels[b], 0};
  for (std::size_t i = 0; i < HalfToneExtraColors.size(); ++i) {
    const auto& c = HalfToneExtraColors[i];
    record->palPalEntry[210 + i] = {c[0], c[1], c[2], 0};
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

}  // namespace

HPALETTE HalfTonePalette() {
  if (!SharedHalfTone) SharedHalfTone = MakeHalfTonePalette();
  return SharedHalfTone;
}

HPALETTE HalfToneBWPalette() {
  if (!SharedHalfToneBW) SharedHalfToneBW = MakeHalfToneBWPalette();
  return SharedHalfToneBW;
}

void FreeHalfTonePalettes() {
  if (SharedHalfTone) DeleteObject(SharedHalfTone);
  if (SharedHalfToneBW) DeleteObject(SharedHalfToneBW);
  SharedHalfTone = {};
  SharedHalfToneBW = {};
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
  if (!dib.PaletteHandle && dib.BitmapInfo.bmiHeader.biClrUsed != 0)
    dib.PaletteHandle = GetPaletteFromDIBInfos(dib.BitmapInfo);
  return dib.PaletteHandle;
}

void TZrDIB::SetPalette(HPALETTE Value) {
  Assert(FInternalDIB != nullptr, "TZrDIB.SetPalette: InternalDIB Should not be Nil");
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
  if (dib.PaletteHandle && dib.PaletteHandle != Value) DeleteObject(dib.PaletteHandle);
  dib.PaletteHandle = Value;
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
