#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "host/Canvas.h"
#include "host/Exception.h"
#include "host/GdiObjects.h"
#include "tests/host/GdiTestSupport.h"

namespace {

using gdi_test::TMemorySurface;

// A graphic that records where it was asked to draw and on which device.
class TProbeGraphic final : public TGraphic {
 public:
  TProbeGraphic(int W, int H, std::vector<std::string>& Log) : FW(W), FH(H), FLog(Log) {}
  TGraphicClass ClassType() const override { return nullptr; }
  void Draw(TCanvas& ACanvas, const TRect& R) override {
    FLog.push_back("draw");
    Rects.push_back(R);
    Handles.push_back(ACanvas.GetHandle());
  }
  bool GetEmpty() const override { return FW == 0; }
  int GetWidth() const override { return FW; }
  int GetHeight() const override { return FH; }
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  void LoadFromStream(TStream&) override {}
  void SaveToStream(TStream&) override {}
  void LoadFromClipboardFormat(WORD, HGLOBAL, HPALETTE) override {}
  void SaveToClipboardFormat(WORD&, HGLOBAL&, HPALETTE&) override {}

  std::vector<TRect> Rects;
  std::vector<HDC> Handles;

 private:
  int FW, FH;
  std::vector<std::string>& FLog;
};

// A canvas that finds its own device context on first use.
class TLazyCanvas final : public TCanvas {
 public:
  explicit TLazyCanvas(HDC Dc) : FDc(Dc) {}
  int Created = 0;

 protected:
  void CreateHandle() override {
    ++Created;
    SetHandle(FDc);
  }

 private:
  HDC FDc;
};

TEST(Canvas, WithoutAHandleTheBaseRefusesToDraw) {
  TCanvas canvas;
  EXPECT_FALSE(canvas.HandleAllocated());
  EXPECT_EQ(canvas.GetCopyMode(), SRCCOPY);
  EXPECT_THROW(canvas.GetHandle(), EInvalidOperation);
  EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
  std::vector<std::string> log;
  TProbeGraphic graphic(2, 2, log);
  EXPECT_THROW(canvas.StretchDraw(Rect(0, 0, 1, 1), &graphic), EInvalidOperation);
  EXPECT_TRUE(log.empty());
}

TEST(Canvas, CreateHandleIsAskedOnlyWhenThereIsNone) {
  TMemorySurface surface(1, 1, 8);
  TLazyCanvas canvas(surface.Dc);
  EXPECT_EQ(canvas.GetHandle(), surface.Dc);
  EXPECT_EQ(canvas.GetHandle(), surface.Dc);
  EXPECT_EQ(canvas.Created, 1);
  canvas.SetHandle({});
  EXPECT_FALSE(canvas.HandleAllocated());
  canvas.GetHandle();
  EXPECT_EQ(canvas.Created, 2);
}

TEST(Canvas, FillRectWithTheBrushColourAndNotifies) {
  TMemorySurface surface(3, 1, 24);
  TCanvas canvas;
  canvas.SetHandle(surface.Dc);
  int changes = 0;
  canvas.SetOnChange([&](TObject* sender) {
    EXPECT_EQ(sender, &canvas);
    ++changes;
  });
  EXPECT_EQ(canvas.Brush().GetColor(), clWhite);
  canvas.FillRect(Rect(0, 0, 3, 1));
  canvas.Brush().SetColor(0x00332211);
  canvas.FillRect(Rect(1, 0, 2, 1));
  EXPECT_EQ(GetPixel(surface.Dc, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(surface.Dc, 1, 0), RGB(0x11, 0x22, 0x33));
  EXPECT_EQ(changes, 2);
  // System colours are resolved to plain ones.
  canvas.Brush().SetColor(clWindow);
  canvas.FillRect(Rect(2, 0, 3, 1));
  EXPECT_EQ(GetPixel(surface.Dc, 2, 0), ColorToRGB(clWindow));
}

TEST(Canvas, BrushOwnsOneHandleAtATime) {
  const auto before = GdiObjectCount();
  {
    TBrush brush;
    const HBRUSH first = brush.GetHandle();
    EXPECT_EQ(GetObjectType(first), OBJ_BRUSH);
    EXPECT_EQ(brush.GetHandle(), first);
    brush.SetColor(clWhite);  // unchanged colour: same handle
    EXPECT_EQ(brush.GetHandle(), first);
    brush.SetColor(clBlack);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(GdiObjectCount(), before);
    EXPECT_TRUE(brush.GetHandle());
    EXPECT_EQ(GdiObjectCount(), before + 1);
  }
  EXPECT_EQ(GdiObjectCount(), before);
}

TEST(Canvas, DrawAtNaturalSizeAndStretchDrawIntoTheRectangle) {
  TMemorySurface surface(1, 1, 8);
  TCanvas canvas;
  canvas.SetHandle(surface.Dc);
  std::vector<std::string> log;
  canvas.SetOnChange([&](TObject*) { log.push_back("changed"); });
  TProbeGraphic graphic(30, 20, log);
  canvas.Draw(5, 7, &graphic);
  canvas.StretchDraw(Rect(10, 10, 2, 3), &graphic);
  ASSERT_EQ(graphic.Rects.size(), 2u);
  EXPECT_EQ(graphic.Rects[0], Rect(5, 7, 35, 27));
  EXPECT_EQ(graphic.Rects[1], Rect(10, 10, 2, 3));  // passed on as given, mirroring included
  EXPECT_EQ(graphic.Handles[1], surface.Dc);
  EXPECT_EQ(log, (std::vector<std::string>{"draw", "changed", "draw", "changed"}));

  // No graphic, or an empty one for Draw: nothing happens.
  log.clear();
  canvas.Draw(0, 0, nullptr);
  canvas.StretchDraw(Rect(0, 0, 1, 1), nullptr);
  TProbeGraphic empty(0, 0, log);
  canvas.Draw(0, 0, &empty);
  EXPECT_TRUE(log.empty());
}

TEST(Canvas, DrawNearTheEndsOfTheCoordinateRange) {
  TMemorySurface surface(1, 1, 8);
  TCanvas canvas;
  canvas.SetHandle(surface.Dc);
  struct TCase {
    int X, Y, W, H;
    bool Drawn;
    TRect Expected;
  };
  const TCase cases[] = {
      {INT_MAX, 0, 1, 1, false, {}},
      {0, INT_MAX, 1, 1, false, {}},
      {INT_MAX - 29, 5, 30, 20, false, {}},
      {INT_MAX - 30, 5, 30, 20, true, Rect(INT_MAX - 30, 5, INT_MAX, 25)},
      {INT_MIN, INT_MIN, 30, 20, true, Rect(INT_MIN, INT_MIN, INT_MIN + 30, INT_MIN + 20)},
      {-10, INT_MAX - 20, 30, 20, true, Rect(-10, INT_MAX - 20, 20, INT_MAX)},
  };
  for (const auto& c : cases) {
    std::vector<std::string> log;
    TProbeGraphic graphic(c.W, c.H, log);
    canvas.Draw(c.X, c.Y, &graphic);
    ASSERT_EQ(graphic.Rects.size(), c.Drawn ? 1u : 0u) << c.X << "," << c.Y;
    if (c.Drawn) {
      EXPECT_EQ(graphic.Rects[0], c.Expected) << c.X << "," << c.Y;
    }
  }
  // Extents of rectangles spanning the whole range.
  EXPECT_EQ(Rect(INT_MIN, 0, INT_MAX, 1).Width(), 0xFFFFFFFFLL);
  EXPECT_EQ(Rect(0, INT_MAX, 1, INT_MIN).Height(), -0xFFFFFFFFLL);
}

}  // namespace
