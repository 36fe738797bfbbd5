#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>

#include "dib/ZrDIB.h"
#include "dib/ZrDIBCanvas.h"
#include "dib/ZrDIBDrawMode.h"
#include "host/Canvas.h"
#include "host/Gdi.h"

namespace {

// The signed extents of Rect, or false when one does not fit the int that
// StretchDIBits takes (or has no positive size, as -2^31 has not).
bool Extents(const TRect& Rect, int& Width, int& Height) {
  constexpr std::int64_t limit = std::numeric_limits<int>::max();
  const std::int64_t width = std::int64_t{Rect.Right} - Rect.Left;
  const std::int64_t height = std::int64_t{Rect.Bottom} - Rect.Top;
  if (width < -limit || width > limit || height < -limit || height > limit) return false;
  Width = static_cast<int>(width);
  Height = static_cast<int>(height);
  return true;
}

// Deletes a palette made here unless someone took it over.
class TPaletteGuard {
public:
  explicit TPaletteGuard(HPALETTE Palette) : FPalette(Palette) {}
  ~TPaletteGuard() {
    if (FPalette) DeleteObject(FPalette);
  }
  TPaletteGuard(const TPaletteGuard&) = delete;
  TPaletteGuard& operator=(const TPaletteGuard&) = delete;
  HPALETTE Get() const { return FPalette; }
  void Release() { FPalette = {}; }

private:
  HPALETTE FPalette;
};

// Turns the stretched copy into a half-tone picture: mode 1 with the half-tone
// colour palette, mode 2 in black and white.
void ReduceToHalfTone(TZrDIB& Stretched, BYTE Mode) {
  Stretched.SetPixelFormat(Mode == 1 ? zrpfHalfTone : zrpfHalfToneBW);
}

// The half-tone modes stretch the DIB into a copy of the destination's size,
// reduce that copy's colours and draw it as is.
void DrawHalfTone(TZrDIB& DIB, TCanvas& ACanvas, const TRect& Rect) {
  if (Rect.Right == Rect.Left || Rect.Top == Rect.Bottom) return;
  int width = 0, height = 0;
  if (!Extents(Rect, width, height)) return;
  const BYTE mode = DIB.GetDrawMode();
  TZrDIB stretched;
  {
    const TZrDrawModeScope plain(DIB);
    stretched.SetWidth(std::abs(width));
    stretched.SetHeight(std::abs(height));
    stretched.SetBitCount(DIB.GetBitCount());
    // A copy of the DIB's own palette, which the stretched DIB then owns.
    TPaletteGuard copy(GetPaletteFromDIBInfos(DIB.GetInternalDIB()->BitmapInfo));
    if (copy.Get()) {
      stretched.SetPalette(copy.Get());
      copy.Release();
    }
    TZrDIBCanvas canvas(&stretched);
    // Unmirrored: drawing the copy into Rect below mirrors it once.
    canvas.StretchDraw(::Rect(0, 0, std::abs(width), std::abs(height)), &DIB);
  }
  ReduceToHalfTone(stretched, mode);
  stretched.Draw(ACanvas, Rect);
}

}  // namespace

void TZrDIB::Draw(TCanvas& ACanvas, const TRect& Rect) {
  if (!FInternalDIB) return;
  switch (FDrawMode) {
    case 0:
      DrawDirect(ACanvas, Rect);
      break;
    case 1:
    case 2:
      DrawHalfTone(*this, ACanvas, Rect);
      break;
    default:
      break;
  }
}

void TZrDIB::DrawDirect(TCanvas& ACanvas, const TRect& Rect) {
  // GDI failures are not errors of the DIB: what cannot be drawn is not drawn.
  int width = 0, height = 0;
  if (!Extents(Rect, width, height)) return;
  const TZrInternalDIB& dib = *FInternalDIB;
  // A loaded header may describe more pixels than the storage holds: GDI reads
  // what the header says, so it must never say more than there is.
  const BITMAPINFO* info = &dib.BitmapInfo;
  std::optional<BITMAPINFO> capped;
  const BITMAPINFOHEADER& header = dib.BitmapInfo.bmiHeader;
  const auto readable = static_cast<DWORD>(dib.ImageSize);
  if (header.biCompression == BI_RGB) {
    const std::int64_t stride = DIBStride(header.biBitCount, header.biWidth);
    const std::int64_t rows = std::abs(std::int64_t{header.biHeight});
    if (stride <= 0 || rows > dib.ImageSize / stride) return;
  } else if (header.biSizeImage == 0 || header.biSizeImage > readable) {
    // Compressed data end where the storage's bytes end.
    capped = dib.BitmapInfo;
    capped->bmiHeader.biSizeImage = readable;
    info = &*capped;
  }

  const HPALETTE palette = GetPalette();
  HPALETTE oldPalette;
  if (palette) {
    oldPalette = SelectPalette(ACanvas.GetHandle(), palette, true);
    RealizePalette(ACanvas.GetHandle());
  }
  const int oldMode = SetStretchBltMode(ACanvas.GetHandle(), COLORONCOLOR);
  StretchDIBits(ACanvas.GetHandle(), Rect.Left, Rect.Top, width, height, 0, 0, dib.Width, dib.Height, dib.Bits, info,
                DIB_RGB_COLORS, ACanvas.GetCopyMode());
  SetStretchBltMode(ACanvas.GetHandle(), oldMode);
  if (palette && oldPalette) SelectPalette(ACanvas.GetHandle(), oldPalette, true);
}
