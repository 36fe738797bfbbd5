#pragma once
// The table behind GDI handles. Objects live here until DeleteObject; a handle is
// only ever looked up, never dereferenced, so a stale one finds nothing.

#include <memory>
#include <vector>

#include "host/Windows.h"

class TGdiObject {
public:
  virtual ~TGdiObject() = default;
  virtual UINT ObjectType() const = 0;
  // Selected into this many device contexts; such an object cannot be deleted.
  int SelectCount = 0;
  bool Stock = false;
};

class TGdiPalette final : public TGdiObject {
public:
  explicit TGdiPalette(std::vector<PALETTEENTRY> Entries) : Entries(std::move(Entries)) {}
  UINT ObjectType() const override;
  std::vector<PALETTEENTRY> Entries;
};

class TGdiBrush final : public TGdiObject {
public:
  explicit TGdiBrush(COLORREF Color) : Color(Color) {}
  UINT ObjectType() const override;
  COLORREF Color;
};

// Takes ownership and returns the new handle.
HGDIOBJ GdiRegister(std::unique_ptr<TGdiObject> Object);
TGdiObject* GdiLookup(HGDIOBJ Handle);
template <class T>
T* GdiLookupAs(HGDIOBJ Handle) {
  return dynamic_cast<T*>(GdiLookup(Handle));
}
// Removes and destroys the object; false when the handle names nothing.
bool GdiErase(HGDIOBJ Handle);
// Number of live objects, stock ones excluded: lets tests see leaks of handles.
std::size_t GdiObjectCount();
