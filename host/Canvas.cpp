#include "host/Canvas.h"

#include "host/Exception.h"
#include "host/Translate.h"

#include <cstdint>
#include <limits>

namespace {
inline constexpr const char* SNoCanvasHandle = TRANSLATE_NOOP("host", "キャンバスには描画できません");
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
  throw EInvalidOperation(HostText(SNoCanvasHandle));
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
  const std::int64_t right = static_cast<std::int64_t>(X) + Graphic->GetWidth();
  const std::int64_t bottom = static_cast<std::int64_t>(Y) + Graphic->GetHeight();
  // A corner past the coordinate range lies on no device: nothing to draw.
  if (right > std::numeric_limits<int>::max() || bottom > std::numeric_limits<int>::max() ||
      right < std::numeric_limits<int>::min() || bottom < std::numeric_limits<int>::min())
    return;
  Graphic->Draw(*this, Rect(X, Y, static_cast<int>(right), static_cast<int>(bottom)));
  Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic) return;
  // Asked first so a canvas without a device fails before the graphic draws.
  GetHandle();
  Graphic->Draw(*this, Rect);
  Changed();
}
