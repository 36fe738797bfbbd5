#pragma once
// Device contexts over pluggable surfaces. A memory device context draws into
// the bitmap selected into it; any other surface (a painter on screen, say)
// comes as a TDevice and is registered with CreateDeviceContext.

#include <memory>
#include <vector>

#include "host/GdiDib.h"

class TDevice {
 public:
  virtual ~TDevice() = default;
  // Source is checked and Request's extents are non-zero and in range. Returns
  // the number of source rows drawn, 0 when nothing could be drawn.
  virtual int StretchDIBits(const TStretchRequest& Request, const TDibSource& Source) = 0;
  virtual void FillRect(const TRect& Rect, COLORREF Color) = 0;
  // CLR_INVALID where the device cannot tell.
  virtual COLORREF GetPixel(int X, int Y) = 0;
  // Maps a logical palette onto the device; returns the entries mapped.
  // A true-colour device needs no mapping.
  virtual UINT RealizePalette(const std::vector<PALETTEENTRY>& Entries) { return static_cast<UINT>(Entries.size()); }
};

// A device context over Device, owned by it until DeleteDC. It cannot take a
// bitmap: that is what memory device contexts are for.
HDC CreateDeviceContext(std::unique_ptr<TDevice> Device);

// Live device contexts: lets tests see leaks of handles.
std::size_t DeviceContextCount();
