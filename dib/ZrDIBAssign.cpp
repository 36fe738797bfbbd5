#include <cstdlib>
#include <memory>

#include "dib/ZrDIB.h"
#include "dib/ZrDIBDrawMode.h"
#include "host/Bitmap.h"
#include "host/Clipboard.h"
#include "host/Gdi.h"

namespace {

// The screen's device context for as long as this object lives.
class TScreenDC {
public:
  TScreenDC() : FDc(GetDC({})) {}
  ~TScreenDC() {
    if (FDc) ReleaseDC({}, FDc);
  }
  TScreenDC(const TScreenDC&) = delete;
  TScreenDC& operator=(const TScreenDC&) = delete;
  HDC Get() const { return FDc; }

private:
  HDC FDc;
};

TPixelFormat BitmapFormatOf(TZrPixelFormat Format) {
  switch (Format) {
    case zrpf1Bit:
      return TPixelFormat::pf1bit;
    case zrpf4Bit:
    case zrpf4BitRLE:
      return TPixelFormat::pf4bit;
    case zrpf8Bit:
    case zrpf8BitRLE:
      return TPixelFormat::pf8bit;
    case zrpf24Bit:
      return TPixelFormat::pf24bit;
    default:
      Assert(false, "TZrDIB.AssignTo: Illegal PixelFormat");
      return TPixelFormat::pfDevice;
  }
}

}  // namespace

void TZrDIB::Assign(TPersistent* Source) {
  Assert(FInternalDIB != nullptr, "TZrDIB.Assign: InternalDIB Should not be Nil");
  if (!Source) {
    ReplaceInternalDIB(std::make_unique<TZrInternalDIB>(FInternalDIB->UseFMO));
    return;
  }
  if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
    AssignFromBitmap(*bitmap);
    return;
  }
  auto* source = dynamic_cast<TZrDIB*>(Source);
  if (!source) {
    TZrGraphic::Assign(Source);
    return;
  }
  if (source == this) return;
  Assert(source->FInternalDIB != nullptr, "TZrDIB.Assign: InternalDIB Should not be Nil");
  ReleaseInternalDIB();
  FInternalDIB = source->FInternalDIB;
  ++FInternalDIB->RefCount;
  FMaskColor = source->FMaskColor;
  FConvertMode = source->FConvertMode;
  FDrawMode = source->FDrawMode;
  SetPaletteModified(true);
  SetModified(true);
}

void TZrDIB::AssignFromBitmap(TBitmap& Source) {
  BITMAP record;
  GetObject(Source.GetHandle(), sizeof record, &record);
  int bitCount = record.bmPlanes * record.bmBitsPixel;
  if (bitCount == 16 || bitCount == 32) bitCount = 24;
  // CreateDIB refuses what a storage cannot hold, before anything changes.
  auto fresh = MakeBlankStorage(record.bmWidth, record.bmHeight, 0, bitCount);
  int rows = 0;
  {
    const TScreenDC dc;
    const HPALETTE palette = Source.GetPalette();
    HPALETTE previous;
    if (palette) {
      previous = SelectPalette(dc.Get(), palette, true);
      RealizePalette(dc.Get());
    }
    rows = GetDIBits(dc.Get(), Source.GetHandle(), 0, static_cast<UINT>(fresh->Height), fresh->Bits,
                     &fresh->BitmapInfo, DIB_RGB_COLORS);
    if (previous) SelectPalette(dc.Get(), previous, true);
  }
  // Rows the platform did not give would pass for black pixels of the bitmap.
  if (rows != fresh->Height) throw EZrDIBInvalidDIB("TZrDIB.Assign: Cannot Read Bitmap");
  auto& header = fresh->BitmapInfo.bmiHeader;
  if (header.biClrUsed == 0) header.biClrUsed = static_cast<DWORD>(NumColorsOf(bitCount));
  if (header.biXPelsPerMeter == 0) header.biXPelsPerMeter = 3780;
  if (header.biYPelsPerMeter == 0) header.biYPelsPerMeter = 3780;
  ReleaseInternalDIB();
  FInternalDIB = fresh.release();
  FInternalDIB->UpdatePalette();
  UpdatePaletteModified();
  SetModified(true);
}

void TZrDIB::AssignTo(TPersistent* Dest) {
  Assert(FInternalDIB != nullptr, "TZrDIB.AssignTo: InternalDIB Should not be Nil");
  if (auto* dib = dynamic_cast<TZrDIB*>(Dest)) {
    dib->Assign(this);
    return;
  }
  auto* bitmap = dynamic_cast<TBitmap*>(Dest);
  if (!bitmap) {
    TZrGraphic::AssignTo(Dest);
    return;
  }
  AssignToBitmap(*bitmap);
}

void TZrDIB::AssignToBitmap(TBitmap& Dest) {
  // Asked first: content of no known format leaves the bitmap as it was.
  const TPixelFormat format = BitmapFormatOf(GetPixelFormat());
  // Drawn aside first, so a picture the platform cannot draw leaves Dest as it was.
  TBitmap staged;
  staged.SetHeight(GetHeight());
  staged.SetWidth(GetWidth());
  staged.SetPixelFormat(format);
  {
    // The DIB's own colours, never a shared half-tone palette.
    const TZrDrawModeScope plain(*this);
    staged.SetPalette(CopyPalette(GetPalette()));
  }

  const TZrInternalDIB& dib = *FInternalDIB;
  BITMAPINFO info = dib.BitmapInfo;
  auto& header = info.bmiHeader;
  if (header.biCompression == BI_RGB) {
    const std::int64_t stride = DIBStride(header.biBitCount, header.biWidth);
    Assert(stride > 0 && std::abs(std::int64_t{header.biHeight}) <= dib.ImageSize / stride,
           "TZrDIB.AssignTo: Pixel Data is too Short");
  } else if (header.biSizeImage == 0 || header.biSizeImage > static_cast<DWORD>(dib.ImageSize)) {
    // Compressed data end where the storage's bytes end.
    header.biSizeImage = static_cast<DWORD>(dib.ImageSize);
  }
  const int drawn = StretchDIBits(staged.GetCanvas().GetHandle(), 0, 0, dib.Width, dib.Height, 0, 0, dib.Width,
                                  dib.Height, dib.Bits, &info, DIB_RGB_COLORS, SRCCOPY);
  // A picture the platform cannot draw would leave a blank bitmap standing for it.
  if (drawn == 0) throw EZrDIBInvalidDIB("TZrDIB.AssignTo: Cannot Draw DIB");
  Dest.Assign(&staged);
}

void TZrDIB::LoadFromClipboardFormat(WORD AFormat, HGLOBAL AData, HPALETTE) {
  Assert(FInternalDIB != nullptr, "TZrDIB.LoadFromClipboardFormat: InternalDIB Should not be Nil");
  if (AFormat != CF_DIB || !AData)
    throw EInvalidGraphic("TZrDIB.LoadFromClipboardFormat: Invalid Clipboard Format or No Data");
  auto fresh = std::make_unique<TZrInternalDIB>(FInternalDIB->UseFMO, TZrInternalDIB::NoPixels);
  fresh->LoadFromClipboardFormat(AData);
  ReplaceInternalDIB(std::move(fresh));
}

void TZrDIB::SaveToClipboardFormat(WORD& AFormat, HGLOBAL& AData, HPALETTE& APalette) {
  Assert(FInternalDIB != nullptr, "TZrDIB.SaveToClipboardFormat: InternalDIB Should not be Nil");
  AFormat = CF_DIB;
  APalette = {};
  AData = FInternalDIB->SaveToClipboardFormat();
}
