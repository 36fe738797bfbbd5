#pragma once
// A canvas whose drawing surface is a DIB's own pixel memory: a DIB section laid
// over the file mapping object that holds the pixels. Whatever GDI draws on it
// changes the DIB directly; the DIB hears of it once, when the canvas goes.

#include "dib/ZrDIB.h"
#include "host/Canvas.h"

class TZrDIBCanvas : public TCanvas {
public:
  // Unshares DIB first. Raises EZrDIBCanvasFailed when DIB is none or keeps its
  // pixels on the heap, EOutOfResources when GDI cannot lay a section over them.
  explicit TZrDIBCanvas(TZrDIB* ADIB);
  // Detaches from the DIB and fires its Changed.
  ~TZrDIBCanvas() override;
  TZrDIBCanvas(const TZrDIBCanvas&) = delete;
  TZrDIBCanvas& operator=(const TZrDIBCanvas&) = delete;
  const char* ClassName() const override { return "TZrDIBCanvas"; }

  TZrDIB* GetDIB() const { return FDIB; }
  HBITMAP GetDIBSection() const { return FDIBSection; }
  // The section's own view of the DIB's pixels.
  void* GetSectionBits() const { return FSectionBits; }

private:
  void Release();

  HDC FMemoryDC;
  HBITMAP FDIBSection;
  TZrDIB* FDIB = nullptr;  // not owned
  HBITMAP FOldBitmap;
  HPALETTE FOldPalette;
  void* FSectionBits = nullptr;
  // The DIB's palette as selected here. Selected, it cannot be deleted: should
  // the DIB let it go meanwhile, the canvas deletes it once it is free.
  HPALETTE FPalette;
};
