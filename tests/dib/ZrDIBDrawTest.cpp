// TZrDIB.Draw: the direct and half-tone paths onto memory surfaces and onto a
// recording device.

#include <array>
#include <limits>
#include <vector>

#include "host/Canvas.h"
#include "host/DeviceContext.h"
#include "host/Gdi.h"
#include "host/GdiObjects.h"
#include "tests/dib/DibTestSupport.h"
#include "tests/dib/ReduceTestSupport.h"

namespace {

COLORREF PatternColor(int Index) {
  return RGB(static_cast<BYTE>(Index * 16), static_cast<BYTE>(255 - Index * 8), static_cast<BYTE>(Index * 3 + 1));
}

// The viewer's kind of picture: 16 colours, index (x + 3y) mod 16.
void MakePattern(TZrDIB& DIB, int Width, int Height) {
  DIB.SetWidth(Width);
  DIB.SetHeight(Height);
  for (int i = 0; i < 16; ++i) DIB.SetColors(i, static_cast<TColor>(PatternColor(i)));
  for (int y = 0; y < Height; ++y) {
    auto row = DIB.GetScanLine(y);
    for (int x = 0; x < Width; ++x) row[x] = static_cast<BYTE>((x + 3 * y) % 16);
  }
}

// A 24-bit top-down DIB section selected into a memory device context.
class TTrueColorSurface {
public:
  TTrueColorSurface(int Width, int Height) : FWidth(Width) {
    BITMAPINFO info;
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    Dc = CreateCompatibleDC({});
    void* bits = nullptr;
    FBitmap = CreateDIBSection(Dc, &info, DIB_RGB_COLORS, &bits, {}, 0);
    FBits = static_cast<BYTE*>(bits);
    FOld = SelectObject(Dc, FBitmap);
    Canvas.SetHandle(Dc);
  }
  ~TTrueColorSurface() {
    Canvas.SetHandle({});
    SelectObject(Dc, FOld);
    DeleteObject(FBitmap);
    DeleteDC(Dc);
  }
  TTrueColorSurface(const TTrueColorSurface&) = delete;
  TTrueColorSurface& operator=(const TTrueColorSurface&) = delete;

  COLORREF Pixel(int X, int Y) const {
    const BYTE* p = FBits + static_cast<std::size_t>(Y) * ((3 * FWidth + 3) / 4 * 4) + 3 * X;
    return RGB(p[2], p[1], p[0]);
  }

  HDC Dc;
  TCanvas Canvas;

private:
  int FWidth;
  HBITMAP FBitmap;
  HGDIOBJ FOld;
  BYTE* FBits = nullptr;
};

// A device that keeps what it was asked to do.
class TRecordingDevice final : public TDevice {
public:
  struct TCall {
    TStretchRequest Request;
    const BYTE* Bits;
    int BitCount;
    std::size_t ImageSize;
  };
  int StretchDIBits(const TStretchRequest& Request, const TDibSource& Source) override {
    Calls.push_back({Request, Source.Bits, Source.BitCount, Source.ImageSize});
    return Source.Height;
  }
  void FillRect(const TRect&, COLORREF) override {}
  COLORREF GetPixel(int, int) override { return CLR_INVALID; }
  UINT RealizePalette(const std::vector<PALETTEENTRY>& Entries) override {
    Realized.push_back(Entries);
    return static_cast<UINT>(Entries.size());
  }
  std::vector<TCall> Calls;
  std::vector<std::vector<PALETTEENTRY>> Realized;
};

class TRecordingCanvas {
public:
  TRecordingCanvas() {
    auto device = std::make_unique<TRecordingDevice>();
    Device = device.get();
    Dc = CreateDeviceContext(std::move(device));
    Canvas.SetHandle(Dc);
  }
  ~TRecordingCanvas() {
    Canvas.SetHandle({});
    DeleteDC(Dc);
  }
  TRecordingCanvas(const TRecordingCanvas&) = delete;
  TRecordingCanvas& operator=(const TRecordingCanvas&) = delete;
  TRecordingDevice* Device;  // owned by the context
  HDC Dc;
  TCanvas Canvas;
};

}  // namespace

TEST(DIBDrawTest, DoublingIsPixelExactAndRestoresTheContext) {
  TZrDIB dib;
  MakePattern(dib, 256, 256);
  TTrueColorSurface surface(512, 512);
  const HPALETTE before = HPALETTE{GetCurrentObject(surface.Dc, OBJ_PAL)};
  SetStretchBltMode(surface.Dc, HALFTONE);

  dib.Draw(surface.Canvas, Rect(0, 0, 512, 512));

  EXPECT_EQ(GetStretchBltMode(surface.Dc), HALFTONE);
  EXPECT_EQ(GetCurrentObject(surface.Dc, OBJ_PAL), before);
  int wrong = 0;
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x)
      if (surface.Pixel(x, y) != PatternColor((x / 2 + 3 * (y / 2)) % 16)) ++wrong;
  EXPECT_EQ(wrong, 0);
}

TEST(DIBDrawTest, NegativeWidthMirrors) {
  TZrDIB dib;
  MakePattern(dib, 8, 2);
  TTrueColorSurface surface(8, 2);
  dib.Draw(surface.Canvas, Rect(8, 0, 0, 2));
  for (int x = 0; x < 8; ++x) EXPECT_EQ(surface.Pixel(x, 1), PatternColor((7 - x + 3) % 16)) << x;
}

TEST(DIBDrawTest, OneStretchStraightFromTheStorage) {
  TZrDIB dib;
  MakePattern(dib, 20, 10);
  TRecordingCanvas target;
  dib.SetModified(false);
  int changes = 0;
  dib.SetOnChange([&](TObject*) { ++changes; });

  dib.Draw(target.Canvas, Rect(5, 6, 45, 36));

  ASSERT_EQ(target.Device->Calls.size(), 1u);
  const auto& call = target.Device->Calls[0];
  EXPECT_EQ(call.Bits, dib.GetInternalDIB()->Bits);  // no copy of the pixels
  EXPECT_EQ(call.Request.XDest, 5);
  EXPECT_EQ(call.Request.YDest, 6);
  EXPECT_EQ(call.Request.DestWidth, 40);
  EXPECT_EQ(call.Request.DestHeight, 30);
  EXPECT_EQ(call.Request.XSrc, 0);
  EXPECT_EQ(call.Request.YSrc, 0);
  EXPECT_EQ(call.Request.SrcWidth, 20);
  EXPECT_EQ(call.Request.SrcHeight, 10);
  // The DIB's own palette is realised for the stretch, then put back.
  ASSERT_EQ(target.Device->Realized.size(), 1u);
  ASSERT_EQ(target.Device->Realized[0].size(), 256u);
  EXPECT_EQ(target.Device->Realized[0][7].peRed, GetRValue(PatternColor(7)));
  EXPECT_EQ(target.Device->Realized[0][7].peBlue, GetBValue(PatternColor(7)));
  EXPECT_EQ(GetCurrentObject(target.Dc, OBJ_PAL), GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(dib.GetModified());
}

TEST(DIBDrawTest, TrueColourDrawsWithoutAPalette) {
  TZrDIB dib;
  dib.SetWidth(3);
  dib.SetBitCount(24);
  TRecordingCanvas target;
  dib.Draw(target.Canvas, Rect(0, 0, 3, 1));
  ASSERT_EQ(target.Device->Calls.size(), 1u);
  EXPECT_EQ(target.Device->Calls[0].BitCount, 24);
  EXPECT_TRUE(target.Device->Realized.empty());
  EXPECT_EQ(GetCurrentObject(target.Dc, OBJ_PAL), GetStockObject(DEFAULT_PALETTE));
}

TEST(DIBDrawTest, SharedDIBDrawsWithoutUnsharing) {
  TZrDIB a, b;
  MakePattern(a, 4, 4);
  b.Assign(&a);
  TRecordingCanvas target;
  b.Draw(target.Canvas, Rect(0, 0, 4, 4));
  EXPECT_EQ(target.Device->Calls.size(), 1u);
  EXPECT_EQ(a.GetInternalDIB()->RefCount, 2);
}

TEST(DIBDrawTest, CanvasCopyModeIsTheRasterOperation) {
  TZrDIB dib;
  MakePattern(dib, 4, 4);
  TTrueColorSurface surface(4, 4);
  // The platform copies only with SRCCOPY: any other mode must reach it and draw nothing.
  surface.Canvas.SetCopyMode(0x00EE0086);
  dib.Draw(surface.Canvas, Rect(0, 0, 4, 4));
  EXPECT_EQ(surface.Pixel(1, 1), RGB(0, 0, 0));
  surface.Canvas.SetCopyMode(SRCCOPY);
  dib.Draw(surface.Canvas, Rect(0, 0, 4, 4));
  EXPECT_EQ(surface.Pixel(1, 1), PatternColor(4));
}

TEST(DIBDrawTest, UnknownDrawModesDrawNothing) {
  TZrDIB dib;
  MakePattern(dib, 4, 4);
  TRecordingCanvas target;
  for (const BYTE mode : {3, 255}) {
    dib.SetDrawMode(mode);
    dib.Draw(target.Canvas, Rect(0, 0, 4, 4));
  }
  EXPECT_TRUE(target.Device->Calls.empty());
  EXPECT_TRUE(target.Device->Realized.empty());
}

TEST(DIBDrawTest, CanvasStretchDrawReachesTheDIB) {
  TZrDIB dib;
  MakePattern(dib, 2, 2);
  TTrueColorSurface surface(4, 4);
  int canvasChanges = 0;
  surface.Canvas.SetOnChange([&](TObject*) { ++canvasChanges; });
  surface.Canvas.StretchDraw(Rect(0, 0, 4, 4), &dib);
  EXPECT_EQ(canvasChanges, 1);
  EXPECT_EQ(surface.Pixel(3, 3), PatternColor((1 + 3) % 16));
}

TEST(DIBDrawTest, RectanglesBeyondTheDeviceRangeDrawNothing) {
  constexpr int Min = std::numeric_limits<int>::min();
  constexpr int Max = std::numeric_limits<int>::max();
  TZrDIB dib;
  MakePattern(dib, 4, 4);
  const struct {
    TRect Rect;
    BYTE Mode;
    std::size_t Calls;
  } cases[] = {
      {Rect(Min, 0, Max, 1), 0, 0},  // 2^32 - 1 wide
      {Rect(Max, 0, Min, 1), 0, 0},
      {Rect(-1, 0, Max, 1), 0, 0},  // 2^31 wide
      {Rect(0, 1, 1, Min), 0, 0},
      {Rect(Min, 0, Max, 1), 1, 0},
      {Rect(0, Max, 1, -1), 2, 0},  // -2^31 high: no positive size
      {Rect(-2, -3, 2, 5), 0, 1},
  };
  for (const auto& c : cases) {
    TRecordingCanvas target;
    dib.SetDrawMode(c.Mode);
    EXPECT_NO_THROW(dib.Draw(target.Canvas, c.Rect));
    EXPECT_EQ(target.Device->Calls.size(), c.Calls) << c.Rect.Left << "," << c.Rect.Top;
  }
}

TEST(DIBDrawTest, NeverHandsGDIMoreBytesThanTheStorageHolds) {
  TDefaultUseFMOScope heap(false);  // no page rounding to hide a read past the block
  // An 8 x 1 8-bit storage holds 8 bytes; each case rewrites its header.
  const struct {
    const char* Name;
    LONG Width, Height;
    DWORD Compression, SizeImage;
    std::size_t Readable;  // the bytes GDI may read; 0: nothing drawn
  } cases[] = {
      {"as made", 8, 1, BI_RGB, 0, 8},
      {"64 rows bottom-up", 8, 64, BI_RGB, 0, 0},
      {"64 rows top-down", 8, -64, BI_RGB, 0, 0},
      {"wider rows", 9, 1, BI_RGB, 0, 0},
      {"RLE claiming a megabyte", 8, 64, BI_RLE8, 1 << 20, 8},
      {"RLE without a length", 8, 64, BI_RLE8, 0, 8},
      {"RLE shorter than stored", 8, 64, BI_RLE8, 2, 2},
  };
  for (const auto& c : cases) {
    TZrDIB dib;
    dib.SetWidth(8);
    ASSERT_EQ(dib.GetInternalDIB()->ImageSize, 8);
    dib.GetInternalDIB()->Bits[1] = 1;  // 00 01: the end of an RLE picture
    auto& header = dib.GetInternalDIB()->BitmapInfo.bmiHeader;
    header.biWidth = c.Width;
    header.biHeight = c.Height;
    header.biCompression = c.Compression;
    header.biSizeImage = c.SizeImage;
    TRecordingCanvas target;
    dib.Draw(target.Canvas, Rect(0, 0, 8, 8));
    const auto& calls = target.Device->Calls;
    ASSERT_EQ(calls.size(), c.Readable ? 1u : 0u) << c.Name;
    EXPECT_TRUE(calls.empty() || calls[0].ImageSize == c.Readable) << c.Name;
    EXPECT_EQ(header.biSizeImage, c.SizeImage) << c.Name;  // the storage keeps its own header
    EXPECT_EQ(header.biHeight, c.Height) << c.Name;
  }
}

// The half-tone modes draw one reduced copy of the destination's size, or
// refuse without a mapped canvas; an empty rectangle draws nothing.
TEST(DIBDrawTest, HalfToneModesDrawOneReducedCopyOrRefuse) {
  const std::string noCanvas = "TZrDIBCanvas.Create: Cannot Create Canvas";
  TZrDIB dib;
  MakePattern(dib, 6, 5);
  dib.GetPalette();  // its own cached palette is not the drawing's to count
  const struct {
    BYTE Mode;
    bool UseFMO;
    TRect Rect;
    std::string Message;  // empty: no error
    int DrawnBits;        // 0: nothing drawn
  } cases[] = {
      {1, true, Rect(0, 0, 12, 10), "", 8},
      {2, true, Rect(12, 10, 0, 0), "", 1},
      {1, false, Rect(0, 0, 12, 10), noCanvas, 0},
      {2, false, Rect(0, 0, 3, 2), noCanvas, 0},
      {1, true, Rect(3, 4, 3, 9), "", 0},
      {2, false, Rect(0, 7, 5, 7), "", 0},
  };
  for (const auto& c : cases) {
    TDefaultUseFMOScope fmo(c.UseFMO);
    TRecordingCanvas target;
    const auto objects = GdiObjectCount();
    const auto contexts = DeviceContextCount();
    dib.SetDrawMode(c.Mode);
    if (c.Message.empty()) {
      EXPECT_NO_THROW(dib.Draw(target.Canvas, c.Rect));
    } else {
      ExpectRaises<EZrDIBError>([&] { dib.Draw(target.Canvas, c.Rect); }, c.Message);
    }
    EXPECT_EQ(dib.GetDrawMode(), c.Mode);
    const auto& calls = target.Device->Calls;
    ASSERT_EQ(calls.size(), c.DrawnBits ? 1u : 0u);
    if (c.DrawnBits) {
      const auto& r = calls[0].Request;
      EXPECT_EQ(calls[0].BitCount, c.DrawnBits);
      EXPECT_EQ((std::array{r.XDest, r.YDest, r.DestWidth, r.DestHeight}),
                (std::array{c.Rect.Left, c.Rect.Top, c.Rect.Right - c.Rect.Left, c.Rect.Bottom - c.Rect.Top}));
      EXPECT_EQ((std::array{r.SrcWidth, r.SrcHeight}), (std::array{12, 10}));
    }
    EXPECT_EQ(GdiObjectCount(), objects);
    EXPECT_EQ(DeviceContextCount(), contexts);
  }
}

// What the half-tone modes show: the pattern doubled to the rectangle's size,
// diffused from its first row in memory (the bottom one), mirrored as asked.
TEST(DIBDrawTest, HalfToneModesShowTheDiffusedStretch) {
  TDefaultUseFMOScope fmo(true);
  TZrDIB dib;
  MakePattern(dib, 6, 5);
  std::vector<std::vector<TRefColor>> copy(10, std::vector<TRefColor>(12));
  for (int m = 0; m < 10; ++m)
    for (int x = 0; x < 12; ++x) {
      const COLORREF c = PatternColor((x / 2 + 3 * ((9 - m) / 2)) % 16);
      copy[m][x] = {GetRValue(c), GetGValue(c), GetBValue(c)};
    }
  for (const BYTE mode : {1, 2}) {
    const auto expected = RefHalfTone(copy, mode == 1);
    for (const bool mirrored : {false, true}) {
      SCOPED_TRACE(testing::Message() << "mode " << int{mode} << (mirrored ? " mirrored" : ""));
      TTrueColorSurface surface(12, 10);
      dib.SetDrawMode(mode);
      dib.Draw(surface.Canvas, mirrored ? Rect(12, 10, 0, 0) : Rect(0, 0, 12, 10));
      for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
          const int cx = mirrored ? 11 - x : x, cy = mirrored ? 9 - y : y;
          const int index = expected[9 - cy][cx];
          const TRefColor c = mode == 1 ? RefHalfToneColor(index) : index ? TRefColor{255, 255, 255} : TRefColor{};
          ASSERT_EQ(surface.Pixel(x, y), RGB(c.R, c.G, c.B)) << x << ", " << y;
        }
    }
  }
}
