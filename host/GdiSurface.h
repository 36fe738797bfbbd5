#pragma once
// A bitmap's pixels as the drawing operations see them, and those operations:
// StretchDIBits, FillRect and GetPixel on memory device contexts.

#include <cstddef>
#include <vector>

#include "host/GdiDib.h"

struct TSurface {
  BYTE* Bits = nullptr;
  int Width = 0;
  int Height = 0;
  int BitCount = 0;  // 1, 4, 8 or 24
  std::size_t Stride = 0;
  bool TopDown = false;
  std::vector<RGBQUAD> Colors;  // the colour table of a paletted surface

  // Row y of the picture, counted from the top.
  BYTE* Row(int y) const { return Bits + Stride * static_cast<std::size_t>(TopDown ? y : Height - 1 - y); }
};

// Draws Source onto the surface, clipped to it; returns the source rows drawn,
// 0 when the geometry draws nothing.
int StretchToSurface(TSurface& Dest, const TStretchRequest& Request, const TDibSource& Source);
// Fills Rect, clipped, with the colour (on a paletted surface its nearest entry).
void FillSurface(TSurface& Dest, const TRect& Rect, COLORREF Color);
COLORREF SurfacePixel(const TSurface& Surface, int X, int Y);
