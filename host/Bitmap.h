#pragma once
// The framework's bitmap: a graphic over a DIB section, with a canvas whose
// device context has the bitmap selected.

#include <memory>

#include "host/Canvas.h"
#include "host/Graphics.h"

// pfDevice is the screen's depth, 24 bits on this host.
enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf24bit };

// A new palette with the entries of Palette; none for a handle that names none.
HPALETTE CopyPalette(HPALETTE Palette);

class TBitmap;

class TBitmapCanvas final : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap& Bitmap) : FBitmap(Bitmap) {}
  ~TBitmapCanvas() override;
  // Lets go of the device context, so the bitmap and palette can change.
  void FreeContext();

 protected:
  void CreateHandle() override;

 private:
  TBitmap& FBitmap;
};

class TBitmap : public TGraphic {
 public:
  TBitmap();
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  const char* ClassName() const override { return "TBitmap"; }

  static std::unique_ptr<TGraphic> Create();
  TGraphicClass ClassType() const override { return &Create; }
  // From another bitmap: a copy of its pixels, format and palette.
  void Assign(TPersistent* Source) override;

  void Draw(TCanvas& ACanvas, const TRect& Rect) override;
  bool GetEmpty() const override { return !FHandle; }
  int GetWidth() const override { return FWidth; }
  int GetHeight() const override { return FHeight; }
  // Sizes and formats keep the pixels that the new image still has room for;
  // a size of 0 (or less) leaves no image at all.
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;
  TPixelFormat GetPixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat Value);
  // The bitmap owns its palette: setting one takes the handle over and gives
  // an indexed image its colours; none keeps the colours it has.
  HPALETTE GetPalette() override { return FPalette; }
  void SetPalette(HPALETTE Value) override;

  // The DIB section, none while the bitmap has no size.
  HBITMAP GetHandle() const { return FHandle; }
  TCanvas& GetCanvas() { return FCanvas; }
  int GetBitCount() const;

 private:
  void NewImage(int Width, int Height, TPixelFormat Format);

  int FWidth = 0;
  int FHeight = 0;
  TPixelFormat FPixelFormat = TPixelFormat::pfDevice;
  HBITMAP FHandle;
  HPALETTE FPalette;
  TBitmapCanvas FCanvas;
};
