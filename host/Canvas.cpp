#include "host/Canvas.h"

#include "host/Exception.h"

namespace {
inline constexpr const char* SNoCanvasHandle = "キャンバスには描画できません";
}

TBrush::~TBrush() {
  if (FHandle) DeleteObject(FHandle);
}

void TBrush::SetColor(TColor Color) {
  if (Color == FColor) return;
  FColor = Color;
  // The next GetHandle makes a brush of the new colour.
  if (FHandle) DeleteObject(FHandle);
  FHandle = {};
}

HBRUSH TBrush::GetHandle() {
  if (!FHandle) FHandle = CreateSolidBrush(ColorToRGB(FColor));
  return FHandle;
}

// ---------------------------------------------------------------------------

TCanvas::~TCanvas() = default;

HDC TCanvas::GetHandle() {
  if (!FHandle) CreateHandle();
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  FHandle = Value;
}

void TCanvas::CreateHandle() {
  throw EInvalidOperation(SNoCanvasHandle);
}

void TCanvas::Changed() {
  if (FOnChange) FOnChange(this);
}

void TCanvas::FillRect(const TRect& Rect) {
  ::FillRect(GetHandle(), &Rect, FBrush.GetHandle());
  Changed();
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->GetEmpty()) return;
  Graphic->Draw(*this, Rect(X, Y, X + Graphic->GetWidth(), Y + Graphic->GetHeight()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic) return;
  // Asked first so a canvas without a device fails before the graphic draws.
  GetHandle();
  Graphic->Draw(*this, Rect);
  Changed();
}
