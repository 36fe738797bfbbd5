#pragma once
// Bitmaps in the GDI object table: DIB sections and the stock 1 x 1
// monochrome bitmap every memory device context starts with.

#include <memory>

#include "host/GdiObjects.h"
#include "host/GdiSurface.h"

class TGdiBitmap final : public TGdiObject {
 public:
  // Pixels in a mapped view, unmapped with the bitmap.
  TGdiBitmap(TSurface Surface, void* View) : Surface(std::move(Surface)), FView(View) {}
  // Pixels in memory of its own.
  TGdiBitmap(TSurface Surface, std::unique_ptr<BYTE[]> Memory)
      : Surface(std::move(Surface)), FMemory(std::move(Memory)) {}
  ~TGdiBitmap() override;
  TGdiBitmap(const TGdiBitmap&) = delete;
  TGdiBitmap& operator=(const TGdiBitmap&) = delete;
  UINT ObjectType() const override;

  TSurface Surface;

 private:
  void* FView = nullptr;
  std::unique_ptr<BYTE[]> FMemory;
};

// The stock bitmap: shared by every memory device context that has no other selected.
HBITMAP GdiStockBitmap();
