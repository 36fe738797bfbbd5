#include "host/GdiObjects.h"

#include <algorithm>
#include <unordered_map>

#include "host/Gdi.h"
#include "host/GdiDib.h"
#include "host/Immortal.h"

namespace {

struct TGdiTable {
  std::unordered_map<std::uintptr_t, std::unique_ptr<TGdiObject>> Objects;
  std::uintptr_t Next = 0x1000;
};

TGdiTable& Table() {
  static TImmortal<TGdiTable> table;
  return table.Get();
}

// The 20 colours every palette device keeps for itself.
const PALETTEENTRY StaticColors[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
    {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
    {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},
    {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

}  // namespace

UINT TGdiPalette::ObjectType() const { return OBJ_PAL; }
UINT TGdiBrush::ObjectType() const { return OBJ_BRUSH; }

HGDIOBJ GdiRegister(std::unique_ptr<TGdiObject> Object) {
  auto& table = Table();
  const auto id = table.Next++;
  table.Objects.emplace(id, std::move(Object));
  return HGDIOBJ{{id}};
}

TGdiObject* GdiLookup(HGDIOBJ Handle) {
  auto& objects = Table().Objects;
  const auto found = objects.find(Handle.Value);
  return found == objects.end() ? nullptr : found->second.get();
}

bool GdiErase(HGDIOBJ Handle) { return Table().Objects.erase(Handle.Value) != 0; }

std::size_t GdiObjectCount() {
  const auto& objects = Table().Objects;
  return static_cast<std::size_t>(
      std::count_if(objects.begin(), objects.end(), [](const auto& entry) { return !entry.second->Stock; }));
}

// ---------------------------------------------------------------------------

namespace {

HGDIOBJ RegisterStock(std::unique_ptr<TGdiObject> Object) {
  Object->Stock = true;
  return GdiRegister(std::move(Object));
}

}  // namespace

HGDIOBJ GetStockObject(int Object) {
  switch (Object) {
    case DEFAULT_PALETTE: {
      static const HGDIOBJ palette = RegisterStock(
          std::make_unique<TGdiPalette>(std::vector<PALETTEENTRY>(std::begin(StaticColors), std::end(StaticColors))));
      return palette;
    }
    case WHITE_BRUSH: {
      static const HGDIOBJ brush = RegisterStock(std::make_unique<TGdiBrush>(RGB(255, 255, 255)));
      return brush;
    }
    case BLACK_BRUSH: {
      static const HGDIOBJ brush = RegisterStock(std::make_unique<TGdiBrush>(RGB(0, 0, 0)));
      return brush;
    }
    default:
      return {};
  }
}

HPALETTE CreatePalette(const LOGPALETTE* Palette) {
  if (!Palette || Palette->palNumEntries == 0 || Palette->palNumEntries > 256) return {};
  std::vector<PALETTEENTRY> entries(Palette->palPalEntry, Palette->palPalEntry + Palette->palNumEntries);
  return HPALETTE{GdiRegister(std::make_unique<TGdiPalette>(std::move(entries)))};
}

UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, PALETTEENTRY* Entries) {
  const auto* palette = GdiLookupAs<TGdiPalette>(Palette);
  if (!palette) return 0;
  const auto size = static_cast<UINT>(palette->Entries.size());
  if (!Entries) return size;
  if (Start >= size) return 0;
  const UINT n = std::min(Count, size - Start);
  std::copy_n(palette->Entries.begin() + Start, n, Entries);
  return n;
}

UINT GetNearestPaletteIndex(HPALETTE Palette, COLORREF Color) {
  const auto* palette = GdiLookupAs<TGdiPalette>(Palette);
  if (!palette) return CLR_INVALID;
  std::vector<RGBQUAD> colors;
  colors.reserve(palette->Entries.size());
  for (const auto& e : palette->Entries) colors.push_back({e.peBlue, e.peGreen, e.peRed, 0});
  return static_cast<UINT>(NearestColorIndex(colors.data(), static_cast<int>(colors.size()), GetRValue(Color),
                                             GetGValue(Color), GetBValue(Color)));
}

HBRUSH CreateSolidBrush(COLORREF Color) { return HBRUSH{GdiRegister(std::make_unique<TGdiBrush>(Color))}; }

UINT GetObjectType(HGDIOBJ Object) {
  const auto* object = GdiLookup(Object);
  return object ? object->ObjectType() : 0;
}

BOOL DeleteObject(HGDIOBJ Object) {
  const auto* object = GdiLookup(Object);
  if (!object || object->Stock || object->SelectCount > 0) return false;
  return GdiErase(Object);
}
