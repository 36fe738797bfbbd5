#include "host/DeviceContext.h"

#include <unordered_map>

#include "host/Gdi.h"
#include "host/GdiBitmap.h"
#include "host/GdiObjects.h"
#include "host/Immortal.h"

namespace {

class TSurfaceDevice final : public TDevice {
 public:
  explicit TSurfaceDevice(TSurface& Surface) : FSurface(Surface) {}
  int StretchDIBits(const TStretchRequest& Request, const TDibSource& Source) override {
    return StretchToSurface(FSurface, Request, Source);
  }
  void FillRect(const TRect& Rect, COLORREF Color) override { FillSurface(FSurface, Rect, Color); }
  COLORREF GetPixel(int X, int Y) override { return SurfacePixel(FSurface, X, Y); }

 private:
  TSurface& FSurface;
};

struct TDeviceContext {
  std::unique_ptr<TDevice> Device;  // none: a memory device context drawing into Bitmap
  HBITMAP Bitmap;
  HBRUSH Brush;
  HPALETTE Palette;
  int StretchMode = BLACKONWHITE;
  bool Memory() const { return !Device; }
};

struct TDcTable {
  std::unordered_map<std::uintptr_t, std::unique_ptr<TDeviceContext>> Contexts;
  std::uintptr_t Next = 0x100;
};

TDcTable& Table() {
  // Outlives static destruction, like the object table, for contexts freed then.
  static TImmortal<TDcTable> table;
  return table.Get();
}

TDeviceContext* Lookup(HDC Dc) {
  auto& contexts = Table().Contexts;
  const auto found = contexts.find(Dc.Value);
  return found == contexts.end() ? nullptr : found->second.get();
}

void Hold(HGDIOBJ Object) {
  if (auto* object = GdiLookup(Object)) ++object->SelectCount;
}
void Release(HGDIOBJ Object) {
  if (auto* object = GdiLookup(Object)) --object->SelectCount;
}

HDC Register(std::unique_ptr<TDevice> Device) {
  auto context = std::make_unique<TDeviceContext>();
  context->Device = std::move(Device);
  if (context->Memory()) context->Bitmap = GdiStockBitmap();
  context->Brush = HBRUSH{GetStockObject(WHITE_BRUSH)};
  context->Palette = HPALETTE{GetStockObject(DEFAULT_PALETTE)};
  Hold(context->Bitmap);
  Hold(context->Brush);
  Hold(context->Palette);
  auto& table = Table();
  const auto id = table.Next++;
  table.Contexts.emplace(id, std::move(context));
  return HDC{{id}};
}

// Runs Action on the surface the context draws on, or returns Failed.
template <class TAction, class TResult>
TResult WithDevice(HDC Dc, TResult Failed, TAction Action) {
  auto* context = Lookup(Dc);
  if (!context) return Failed;
  if (context->Device) return Action(*context->Device);
  auto* bitmap = GdiLookupAs<TGdiBitmap>(context->Bitmap);
  if (!bitmap) return Failed;
  TSurfaceDevice device(bitmap->Surface);
  return Action(device);
}

}  // namespace

HDC CreateDeviceContext(std::unique_ptr<TDevice> Device) {
  return Device ? Register(std::move(Device)) : HDC{};
}

std::size_t DeviceContextCount() {
  return Table().Contexts.size();
}

HDC CreateCompatibleDC(HDC Dc) {
  if (Dc && !Lookup(Dc)) return {};
  return Register(nullptr);
}

BOOL DeleteDC(HDC Dc) {
  auto* context = Lookup(Dc);
  if (!context) return false;
  Release(context->Bitmap);
  Release(context->Brush);
  Release(context->Palette);
  Table().Contexts.erase(Dc.Value);
  return true;
}

HGDIOBJ SelectObject(HDC Dc, HGDIOBJ Object) {
  auto* context = Lookup(Dc);
  auto* object = GdiLookup(Object);
  if (!context || !object) return {};
  HGDIOBJ* slot = nullptr;
  switch (object->ObjectType()) {
    case OBJ_BITMAP:
      // A bitmap belongs to one memory device context at a time.
      if (!context->Memory() || (object->SelectCount > 0 && !object->Stock && context->Bitmap != Object)) return {};
      slot = &context->Bitmap;
      break;
    case OBJ_BRUSH:
      slot = &context->Brush;
      break;
    default:
      return {};  // palettes go through SelectPalette
  }
  const HGDIOBJ previous = *slot;
  Hold(Object);
  Release(previous);
  *slot = Object;
  return previous;
}

HGDIOBJ GetCurrentObject(HDC Dc, UINT ObjectType) {
  const auto* context = Lookup(Dc);
  if (!context) return {};
  switch (ObjectType) {
    case OBJ_BITMAP:
      return context->Bitmap;
    case OBJ_BRUSH:
      return context->Brush;
    case OBJ_PAL:
      return context->Palette;
    default:
      return {};
  }
}

HPALETTE SelectPalette(HDC Dc, HPALETTE Palette, BOOL) {
  auto* context = Lookup(Dc);
  if (!context || !GdiLookupAs<TGdiPalette>(Palette)) return {};
  const HPALETTE previous = context->Palette;
  Hold(Palette);
  Release(previous);
  context->Palette = Palette;
  return previous;
}

UINT RealizePalette(HDC Dc) {
  auto* context = Lookup(Dc);
  const auto* palette = context ? GdiLookupAs<TGdiPalette>(context->Palette) : nullptr;
  if (!palette) return GDI_ERROR;
  // A memory surface keeps its own colour table; the palette maps onto nothing.
  if (context->Memory()) return static_cast<UINT>(palette->Entries.size());
  return context->Device->RealizePalette(palette->Entries);
}

int SetStretchBltMode(HDC Dc, int Mode) {
  auto* context = Lookup(Dc);
  if (!context || Mode < BLACKONWHITE || Mode > HALFTONE) return 0;
  const int previous = context->StretchMode;
  context->StretchMode = Mode;
  return previous;
}

int GetStretchBltMode(HDC Dc) {
  const auto* context = Lookup(Dc);
  return context ? context->StretchMode : 0;
}

int StretchDIBits(HDC Dc, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc, int SrcWidth,
                  int SrcHeight, const void* Bits, const BITMAPINFO* BitsInfo, UINT Usage, DWORD Rop) {
  // Only plain copies of colour values are modelled.
  if (Usage != DIB_RGB_COLORS || Rop != SRCCOPY) return 0;
  const auto source = ParseDib(BitsInfo, Bits);
  if (!source) return 0;
  const TStretchRequest request{XDest, YDest, DestWidth, DestHeight, XSrc, YSrc, SrcWidth, SrcHeight};
  if (!StretchGeometry(request, *source)) return 0;
  return WithDevice(Dc, 0, [&](TDevice& device) { return device.StretchDIBits(request, *source); });
}

int FillRect(HDC Dc, const TRect* Rect, HBRUSH Brush) {
  const auto* brush = GdiLookupAs<TGdiBrush>(Brush);
  if (!Rect || !brush) return 0;
  return WithDevice(Dc, 0, [&](TDevice& device) {
    device.FillRect(*Rect, brush->Color);
    return 1;
  });
}

COLORREF GetPixel(HDC Dc, int X, int Y) {
  return WithDevice(Dc, CLR_INVALID, [&](TDevice& device) { return device.GetPixel(X, Y); });
}
