#include "dib/ZrDIB.h"
#include "host/Canvas.h"
#include "host/Gdi.h"

void TZrDIB::Draw(TCanvas& ACanvas, const TRect& Rect) {
  if (!FInternalDIB) return;
  switch (FDrawMode) {
    case 0:
      DrawDirect(ACanvas, Rect);
      break;
    case 1:
    case 2:
      // The half-tone modes draw through a pixel-format conversion, which this
      // library does not have yet: until then they draw nothing.
      break;
    default:
      break;
  }
}

void TZrDIB::DrawDirect(TCanvas& ACanvas, const TRect& Rect) {
  const HPALETTE palette = GetPalette();
  HPALETTE oldPalette;
  if (palette) {
    oldPalette = SelectPalette(ACanvas.GetHandle(), palette, true);
    RealizePalette(ACanvas.GetHandle());
  }
  const int oldMode = SetStretchBltMode(ACanvas.GetHandle(), COLORONCOLOR);
  // GDI failures are not errors of the DIB: what cannot be drawn is not drawn.
  StretchDIBits(ACanvas.GetHandle(), Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top, 0, 0,
                FInternalDIB->Width, FInternalDIB->Height, FInternalDIB->Bits, &FInternalDIB->BitmapInfo,
                DIB_RGB_COLORS, ACanvas.GetCopyMode());
  SetStretchBltMode(ACanvas.GetHandle(), oldMode);
  if (palette && oldPalette) SelectPalette(ACanvas.GetHandle(), oldPalette, true);
}
