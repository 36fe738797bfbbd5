#pragma once
// A device context over a QPainter: StretchDIBits draws straight from the
// DIB's own memory, FillRect fills, GetPixel reads a QImage being painted.

#include <QPainter>

#include "host/DeviceContext.h"
#include "host/Windows.h"

class TPainterDevice final : public TDevice {
 public:
  explicit TPainterDevice(QPainter& Painter) : FPainter(Painter) {}
  int StretchDIBits(const TStretchRequest& Request, const TDibSource& Source) override;
  void FillRect(const TRect& Rect, COLORREF Color) override;
  COLORREF GetPixel(int X, int Y) override;

 private:
  QPainter& FPainter;
};

// A device context over Painter for as long as this object lives; the painter must outlive it.
class TPainterDC {
 public:
  explicit TPainterDC(QPainter& Painter);
  ~TPainterDC();
  TPainterDC(const TPainterDC&) = delete;
  TPainterDC& operator=(const TPainterDC&) = delete;
  HDC Handle() const { return FHandle; }

 private:
  HDC FHandle;
};
