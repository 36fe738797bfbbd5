#pragma once
// The framework's canvas: drawing operations over a device context handle.

#include "host/Classes.h"
#include "host/Gdi.h"
#include "host/Graphics.h"

class TBrush {
public:
  TBrush() = default;
  ~TBrush();
  TBrush(const TBrush&) = delete;
  TBrush& operator=(const TBrush&) = delete;
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Color);
  // A solid brush of the colour, made on first use and owned by this object.
  HBRUSH GetHandle();

private:
  TColor FColor = clWhite;
  HBRUSH FHandle;
};

class TCanvas : public TPersistent {
public:
  TCanvas() = default;
  ~TCanvas() override;
  const char* ClassName() const override { return "TCanvas"; }

  // The device context drawn on; a canvas without one asks CreateHandle for it.
  HDC GetHandle();
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return static_cast<bool>(FHandle); }

  // The raster operation of image copies.
  DWORD GetCopyMode() const { return FCopyMode; }
  void SetCopyMode(DWORD Value) { FCopyMode = Value; }
  TBrush& Brush() { return FBrush; }

  void FillRect(const TRect& Rect);
  // Draws Graphic at its own size with its top-left corner at (X, Y).
  void Draw(int X, int Y, TGraphic* Graphic);
  // Draws Graphic stretched into Rect, then fires OnChange.
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);

  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Handler) { FOnChange = std::move(Handler); }

protected:
  // Gives the canvas a handle when it has none; the base canvas raises EInvalidOperation.
  virtual void CreateHandle();
  virtual void Changed();

private:
  HDC FHandle;
  DWORD FCopyMode = SRCCOPY;
  TBrush FBrush;
  TNotifyEvent FOnChange;
};
