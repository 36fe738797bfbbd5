// TZrDIBCanvas: GDI drawing straight into a DIB's pixel memory.

#include <algorithm>
#include <memory>

#include "dib/ZrDIBCanvas.h"
#include "host/DeviceContext.h"
#include "host/Gdi.h"
#include "host/GdiObjects.h"
#include "tests/dib/DibTestSupport.h"

namespace {

constexpr COLORREF Red = RGB(200, 10, 10);

// 40 x 30, 8 bits; colour 5 red, the rest black.
void MakeBlank(TZrDIB& DIB) {
  DIB.SetWidth(40);
  DIB.SetHeight(30);
  DIB.SetColors(5, static_cast<TColor>(Red));
}

int CountIndex(TZrDIB& DIB, BYTE Index) {
  int count = 0;
  for (int y = 0; y < DIB.GetHeight(); ++y) {
    const auto row = DIB.GetScanLine(y);
    count += static_cast<int>(std::count(row.begin(), row.begin() + DIB.GetWidth(), Index));
  }
  return count;
}

}  // namespace

TEST(DIBCanvasTest, FillRectLandsInTheDIBAndNotifiesOnce) {
  TDefaultUseFMOScope fmo(true);
  TZrDIB dib;
  MakeBlank(dib);
  int changes = 0;
  dib.SetOnChange([&](TObject*) { ++changes; });
  {
    TZrDIBCanvas canvas(&dib);
    EXPECT_EQ(canvas.GetDIB(), &dib);
    EXPECT_EQ(GetCurrentObject(canvas.GetHandle(), OBJ_BITMAP), canvas.GetDIBSection());
    // Its own view, the same memory.
    EXPECT_NE(canvas.GetSectionBits(), static_cast<void*>(dib.GetInternalDIB()->Bits));
    canvas.Brush().SetColor(static_cast<TColor>(Red));
    canvas.FillRect(Rect(10, 20, 30, 25));
    EXPECT_EQ(dib.GetScanLine(20)[10], 5);  // no copy in either direction
    EXPECT_EQ(changes, 0);
  }
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(dib.GetModified());
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      EXPECT_EQ(dib.GetScanLine(y)[x], x >= 10 && x < 30 && y >= 20 && y < 25 ? 5 : 0) << x << "," << y;
}

TEST(DIBCanvasTest, SharedDIBIsUnsharedFirst) {
  TDefaultUseFMOScope fmo(true);
  TZrDIB a, b;
  MakeBlank(a);
  b.Assign(&a);
  {
    TZrDIBCanvas canvas(&b);
    EXPECT_EQ(a.GetInternalDIB()->RefCount, 1);
    EXPECT_NE(b.GetInternalDIB(), a.GetInternalDIB());
    canvas.Brush().SetColor(static_cast<TColor>(Red));
    canvas.FillRect(Rect(0, 0, 40, 30));
  }
  EXPECT_EQ(CountIndex(b, 5), 40 * 30);
  EXPECT_EQ(CountIndex(a, 5), 0);
}

TEST(DIBCanvasTest, OneDIBStretchedIntoAnother) {
  TDefaultUseFMOScope fmo(true);
  TZrDIB source, target;
  source.SetWidth(2);
  source.SetHeight(2);
  target.SetWidth(4);
  target.SetHeight(4);
  for (int i = 0; i < 4; ++i) {
    const auto colour = static_cast<TColor>(RGB(static_cast<BYTE>(60 * i + 20), 0, 0));
    source.SetColors(i, colour);
    target.SetColors(i, colour);
  }
  source.GetScanLine(0)[0] = 1;
  source.GetScanLine(0)[1] = 2;
  source.GetScanLine(1)[0] = 3;
  {
    TZrDIBCanvas canvas(&target);
    canvas.StretchDraw(Rect(0, 0, 4, 4), &source);
  }
  const BYTE expected[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {3, 3, 0, 0}, {3, 3, 0, 0}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(target.GetScanLine(y)[x], expected[y][x]) << x << "," << y;
}

TEST(DIBCanvasTest, SelectsTheDIBsOwnPaletteWhateverItsDrawMode) {
  TDefaultUseFMOScope fmo(true);
  TZrDIB dib;
  MakeBlank(dib);
  dib.SetDrawMode(1);
  TZrDIBCanvas canvas(&dib);
  EXPECT_EQ(dib.GetDrawMode(), 1);
  EXPECT_EQ(GetCurrentObject(canvas.GetHandle(), OBJ_PAL), dib.GetInternalDIB()->PaletteHandle);
  EXPECT_TRUE(dib.GetInternalDIB()->PaletteHandle);
}

TEST(DIBCanvasTest, RefusedWithoutAFileMapping) {
  TDefaultUseFMOScope heap(false);
  TZrDIB dib;
  int changes = 0;
  dib.SetOnChange([&](TObject*) { ++changes; });
  const auto contexts = DeviceContextCount();
  ExpectRaises<EZrDIBCanvasFailed>([&] { TZrDIBCanvas canvas(&dib); }, "TZrDIBCanvas.Create: Cannot Create Canvas");
  ExpectRaises<EZrDIBCanvasFailed>([&] { TZrDIBCanvas canvas(nullptr); },
                                   "TZrDIBCanvas.Create: Cannot Create Canvas");
  EXPECT_EQ(DeviceContextCount(), contexts);
  EXPECT_EQ(changes, 0);
}

TEST(DIBCanvasTest, FailedSectionReleasesEverything) {
  TDefaultUseFMOScope fmo(true);
  TZrDIB dib;
  MakeBlank(dib);
  dib.GetPalette();  // the DIB's cached palette is not the canvas's to count
  dib.SetDrawMode(2);
  // GDI lays no section over compressed pixels.
  dib.GetInternalDIB()->BitmapInfo.bmiHeader.biCompression = BI_RLE8;
  const auto contexts = DeviceContextCount();
  const auto objects = GdiObjectCount();
  int changes = 0;
  dib.SetOnChange([&](TObject*) { ++changes; });
  ExpectRaises<EOutOfResources>([&] { TZrDIBCanvas canvas(&dib); }, "TZrDIBCanvas.Create: Cannot Create Memory DC");
  EXPECT_EQ(DeviceContextCount(), contexts);
  EXPECT_EQ(GdiObjectCount(), objects);
  EXPECT_EQ(dib.GetDrawMode(), 2);
  EXPECT_EQ(changes, 1);  // released as by the destructor, which tells the DIB
  dib.GetInternalDIB()->BitmapInfo.bmiHeader.biCompression = BI_RGB;
}

TEST(DIBCanvasTest, DestroyLeavesNoHandleBehind) {
  TDefaultUseFMOScope fmo(true);
  TZrDIB dib;
  MakeBlank(dib);
  dib.GetPalette();
  const auto contexts = DeviceContextCount();
  const auto objects = GdiObjectCount();
  {
    TZrDIBCanvas canvas(&dib);
    EXPECT_EQ(DeviceContextCount(), contexts + 1);
    EXPECT_EQ(GdiObjectCount(), objects + 1);  // the section
  }
  EXPECT_EQ(DeviceContextCount(), contexts);
  EXPECT_EQ(GdiObjectCount(), objects);
  // The palette was only selected, not handed over: the DIB still owns it.
  EXPECT_EQ(GetObjectType(dib.GetInternalDIB()->PaletteHandle), OBJ_PAL);
}

TEST(DIBCanvasTest, PaletteChangesWhileOpenLeakNothing) {
  TDefaultUseFMOScope fmo(true);
  // What the DIB does while a canvas has its palette selected, and how many
  // palettes it owns afterwards.
  const struct {
    const char* Name;
    void (*Change)(TZrDIB&);
    std::size_t PalettesOwned;
  } cases[] = {
      {"SetColors", [](TZrDIB& d) { d.SetColors(1, RGB(1, 2, 3)); }, 0},
      {"SetColors then GetPalette", [](TZrDIB& d) { d.SetColors(1, RGB(1, 2, 3)), d.GetPalette(); }, 1},
      {"SetPalette of none", [](TZrDIB& d) { d.SetPalette({}); }, 0},
      {"SetPalette of a new palette", [](TZrDIB& d) {
         LOGPALETTE record;
         record.palNumEntries = 4;
         d.SetPalette(CreatePalette(&record));
       }, 1},
  };
  for (const auto& c : cases) {
    TZrDIB dib;
    MakeBlank(dib);  // ends with SetColors: no palette made yet
    const auto objects = GdiObjectCount();
    for (int round = 0; round < 3; ++round) {
      TZrDIBCanvas canvas(&dib);
      c.Change(dib);
    }
    EXPECT_EQ(GdiObjectCount(), objects + c.PalettesOwned) << c.Name;
    const HPALETTE owned = dib.GetInternalDIB()->PaletteHandle;
    EXPECT_EQ(GetObjectType(owned), c.PalettesOwned ? OBJ_PAL : 0u) << c.Name;
  }
}
