#include "host/Bitmap.h"

#include <algorithm>
#include <cstring>

#include "host/Exception.h"
#include "host/Gdi.h"
#include "host/GdiBitmap.h"
#include "host/Translate.h"

namespace {

constexpr const char* SOutOfResources = TRANSLATE_NOOP("host", "システム リソースが不足しています");

int BitCountOf(TPixelFormat Format) {
  switch (Format) {
    case TPixelFormat::pf1bit: return 1;
    case TPixelFormat::pf4bit: return 4;
    case TPixelFormat::pf8bit: return 8;
    default: return 24;
  }
}

TSurface* SurfaceOf(HBITMAP Handle) {
  auto* bitmap = GdiLookupAs<TGdiBitmap>(Handle);
  return bitmap ? &bitmap->Surface : nullptr;
}

BITMAPINFO InfoOf(const TSurface& Surface) {
  BITMAPINFO info;
  auto& h = info.bmiHeader;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = Surface.Width;
  h.biHeight = Surface.TopDown ? -Surface.Height : Surface.Height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(Surface.BitCount);
  h.biClrUsed = static_cast<DWORD>(Surface.Colors.size());
  std::copy(Surface.Colors.begin(), Surface.Colors.end(), info.bmiColors);
  return info;
}

RGBQUAD QuadOf(const PALETTEENTRY& e) { return {e.peBlue, e.peGreen, e.peRed, 0}; }

// The colours a new indexed image starts with: the system's static colours,
// split between both ends of the table as the screen keeps them.
std::vector<RGBQUAD> DefaultColors(int BitCount) {
  PALETTEENTRY system[20];
  GetPaletteEntries(HPALETTE{GetStockObject(DEFAULT_PALETTE)}, 0, 20, system);
  std::vector<RGBQUAD> colors(std::size_t{1} << BitCount);
  const std::size_t half = BitCount == 1 ? 1 : BitCount == 4 ? 8 : 10;
  for (std::size_t i = 0; i < half; ++i) {
    colors[i] = QuadOf(system[i]);
    colors[colors.size() - half + i] = QuadOf(system[20 - half + i]);
  }
  return colors;
}

// The palette's first entries, as many as the table holds; the rest stay black.
std::vector<RGBQUAD> ColorsOf(HPALETTE Palette, int BitCount) {
  std::vector<RGBQUAD> colors(std::size_t{1} << BitCount);
  PALETTEENTRY entries[256];
  const UINT count = GetPaletteEntries(Palette, 0, static_cast<UINT>(colors.size()), entries);
  for (UINT i = 0; i < count; ++i) colors[i] = QuadOf(entries[i]);
  return colors;
}

}  // namespace

HPALETTE CopyPalette(HPALETTE Palette) {
  LOGPALETTE record;
  record.palNumEntries = static_cast<WORD>(GetPaletteEntries(Palette, 0, 256, record.palPalEntry));
  return record.palNumEntries ? CreatePalette(&record) : HPALETTE{};
}

// --- canvas ---------------------------------------------------------------------

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::FreeContext() {
  if (!HandleAllocated()) return;
  const HDC dc = GetHandle();
  SetHandle({});
  DeleteDC(dc);
}

void TBitmapCanvas::CreateHandle() {
  const HDC dc = CreateCompatibleDC({});
  if (!dc) throw EOutOfResources(HostText(SOutOfResources));
  if (FBitmap.GetHandle()) SelectObject(dc, FBitmap.GetHandle());
  if (FBitmap.GetPalette()) {
    SelectPalette(dc, FBitmap.GetPalette(), true);
    RealizePalette(dc);
  }
  SetHandle(dc);
}

// --- bitmap ---------------------------------------------------------------------

TBitmap::TBitmap() : FCanvas(*this) {}

TBitmap::~TBitmap() {
  FCanvas.FreeContext();
  if (FHandle) DeleteObject(FHandle);
  if (FPalette) DeleteObject(FPalette);
}

std::unique_ptr<TGraphic> TBitmap::Create() { return std::make_unique<TBitmap>(); }

int TBitmap::GetBitCount() const { return BitCountOf(FPixelFormat); }

void TBitmap::NewImage(int Width, int Height, TPixelFormat Format) {
  FCanvas.FreeContext();
  Width = std::max(Width, 0);
  Height = std::max(Height, 0);
  HBITMAP fresh;
  if (Width > 0 && Height > 0) {
    const int bits = BitCountOf(Format);
    const TSurface* old = SurfaceOf(FHandle);
    BITMAPINFO info;
    auto& h = info.bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = Width;
    h.biHeight = Height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bits);
    if (bits <= 8) {
      const std::vector<RGBQUAD> colors = FPalette                            ? ColorsOf(FPalette, bits)
                                          : old && old->BitCount == bits ? old->Colors
                                                                           : DefaultColors(bits);
      h.biClrUsed = static_cast<DWORD>(colors.size());
      std::copy(colors.begin(), colors.end(), info.bmiColors);
    }
    void* pixels = nullptr;
    fresh = CreateDIBSection({}, &info, DIB_RGB_COLORS, &pixels, {}, 0);
    if (!fresh) throw EOutOfResources(HostText(SOutOfResources));
    if (old) {
      // What the new image still has room for, converted to its depth.
      const BITMAPINFO oldInfo = InfoOf(*old);
      const auto source = ParseDib(&oldInfo, old->Bits);
      const TStretchRequest request{0, 0, old->Width, old->Height, 0, 0, old->Width, old->Height};
      if (source) StretchToSurface(*SurfaceOf(fresh), request, *source);
    }
  }
  if (FHandle) DeleteObject(FHandle);
  FHandle = fresh;
  FWidth = Width;
  FHeight = Height;
  FPixelFormat = Format;
}

void TBitmap::SetWidth(int Value) {
  if (Value == FWidth) return;
  NewImage(Value, FHeight, FPixelFormat);
  Changed(this);
}

void TBitmap::SetHeight(int Value) {
  if (Value == FHeight) return;
  NewImage(FWidth, Value, FPixelFormat);
  Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == FPixelFormat) return;
  NewImage(FWidth, FHeight, Value);
  Changed(this);
}

void TBitmap::SetPalette(HPALETTE Value) {
  if (Value == FPalette) return;
  // The canvas's context may hold the old palette selected.
  FCanvas.FreeContext();
  if (FPalette) DeleteObject(FPalette);
  FPalette = Value;
  TSurface* surface = SurfaceOf(FHandle);
  if (Value && surface && surface->BitCount <= 8) surface->Colors = ColorsOf(Value, surface->BitCount);
  SetPaletteModified(true);
  Changed(this);
}

void TBitmap::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TBitmap*>(Source);
  if (!source) {
    TGraphic::Assign(Source);
    return;
  }
  if (source == this) return;
  NewImage(0, 0, source->FPixelFormat);
  SetPalette(CopyPalette(source->FPalette));
  NewImage(source->FWidth, source->FHeight, source->FPixelFormat);
  const TSurface* from = SurfaceOf(source->FHandle);
  TSurface* to = SurfaceOf(FHandle);
  if (from && to) {
    to->Colors = from->Colors;
    std::memcpy(to->Bits, from->Bits, from->Stride * static_cast<std::size_t>(from->Height));
  }
  Changed(this);
}

void TBitmap::Draw(TCanvas& ACanvas, const TRect& Rect) {
  const TSurface* surface = SurfaceOf(FHandle);
  if (!surface) return;
  const BITMAPINFO info = InfoOf(*surface);
  StretchDIBits(ACanvas.GetHandle(), Rect.Left, Rect.Top, static_cast<int>(Rect.Width()),
                static_cast<int>(Rect.Height()), 0, 0, FWidth, FHeight, surface->Bits, &info, DIB_RGB_COLORS,
                ACanvas.GetCopyMode());
}
