#include "dib/ZrDIBCanvas.h"

#include <utility>

#include "dib/ZrDIBDrawMode.h"
#include "host/Gdi.h"

TZrDIBCanvas::TZrDIBCanvas(TZrDIB* ADIB) {
  if (!ADIB || !ADIB->GetUseFMO()) throw EZrDIBCanvasFailed("TZrDIBCanvas.Create: Cannot Create Canvas");
  FDIB = ADIB;
  FDIB->UniqueDIB();
  try {
    FMemoryDC = CreateCompatibleDC(HDC{});
    if (!FMemoryDC) throw EOutOfResources("TZrDIBCanvas.Create: Cannot Create Memory DC");
    {
      // The DIB's own palette, whatever palette its draw mode shows it with.
      const TZrDrawModeScope plain(*FDIB);
      const HPALETTE palette = FDIB->GetPalette();
      FOldPalette = SelectPalette(FMemoryDC, palette, true);
      if (FOldPalette) FPalette = palette;
      RealizePalette(FMemoryDC);
    }
    const TZrInternalDIB& storage = *FDIB->GetInternalDIB();
    FDIBSection = CreateDIBSection(FMemoryDC, &storage.BitmapInfo, DIB_RGB_COLORS, &FSectionBits,
                                   storage.FileMapping, 0);
    if (!FDIBSection) throw EOutOfResources("TZrDIBCanvas.Create: Cannot Create Memory DC");
    FOldBitmap = HBITMAP{SelectObject(FMemoryDC, FDIBSection)};
    SetHandle(FMemoryDC);
  } catch (...) {
    Release();
    throw;
  }
}

TZrDIBCanvas::~TZrDIBCanvas() { Release(); }

void TZrDIBCanvas::Release() {
  if (FOldBitmap) SelectObject(FMemoryDC, FOldBitmap);
  if (FDIBSection) DeleteObject(FDIBSection);
  if (FOldPalette) SelectPalette(FMemoryDC, FOldPalette, true);
  SetHandle(HDC{});
  if (FMemoryDC) DeleteDC(FMemoryDC);
  // A palette changed while selected here could not be deleted then, and the
  // DIB no longer holds it.
  const TZrInternalDIB* storage = FDIB ? FDIB->GetInternalDIB() : nullptr;
  if (FPalette && !(storage && storage->PaletteHandle == FPalette)) DeleteObject(FPalette);
  FOldBitmap = {};
  FDIBSection = {};
  FMemoryDC = {};
  FOldPalette = {};
  FPalette = {};
  FSectionBits = nullptr;
  if (TZrDIB* dib = std::exchange(FDIB, nullptr)) {
    dib->UpdatePaletteModified();
    dib->Changed(dib);
  }
}
