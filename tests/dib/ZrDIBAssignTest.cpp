// Assignment between DIBs, host bitmaps, nothing, the clipboard object and
// foreign objects, and the packed-DIB clipboard forms.

#include <cstring>
#include <memory>
#include <vector>

#include "dib/ZrDIBMemory.h"
#include "host/Bitmap.h"
#include "host/Clipboard.h"
#include "host/DeviceContext.h"
#include "host/Gdi.h"
#include "host/GdiObjects.h"
#include "host/Kernel.h"
#include "tests/dib/DibTestSupport.h"

namespace {

// Distinct for every index: red is the index.
COLORREF ColourOf(int i) { return RGB(static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 3)); }

// Run: pixels in a row that share a value, so that RLE can pack them.
int ValueAt(int x, int y, int colors, int Run = 1) { return (x / Run * 7 + y * 3) % colors; }
COLORREF TrueColourAt(int x, int y) { return RGB(static_cast<BYTE>(x * 10), static_cast<BYTE>(y * 20), static_cast<BYTE>(x + y)); }

HPALETTE MakePalette(int Count) {
  LOGPALETTE record;
  record.palNumEntries = static_cast<WORD>(Count);
  for (int i = 0; i < Count; ++i) {
    const COLORREF c = ColourOf(i);
    record.palPalEntry[i] = {GetRValue(c), GetGValue(c), GetBValue(c), 0};
  }
  return CreatePalette(&record);
}

// Packs value v at column x of a row of the given depth, leftmost pixel in the high bits.
void PutValue(BYTE* row, int x, int bits, int v) {
  if (bits == 8) row[x] = static_cast<BYTE>(v);
  if (bits == 4) row[x / 2] |= static_cast<BYTE>(x % 2 ? v : v << 4);
  if (bits == 1 && v) row[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
}
int GetValue(const BYTE* row, int x, int bits) {
  if (bits == 8) return row[x];
  if (bits == 4) return x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4;
  return (row[x / 8] >> (7 - x % 8)) & 1;
}

// Row y from the top of a host bitmap, whose DIB section is bottom-up.
BYTE* BitmapRow(TBitmap& Bitmap, int y) {
  BITMAP record;
  EXPECT_EQ(GetObject(Bitmap.GetHandle(), sizeof record, &record), static_cast<int>(sizeof record));
  return static_cast<BYTE*>(record.bmBits) + record.bmWidthBytes * (record.bmHeight - 1 - y);
}

// Fills a DIB of the given depth with the test picture and, when indexed, Colors distinct colours.
void FillDIB(TZrDIB& DIB, int Width, int Height, int Bits, int Run = 1) {
  DIB.SetBitCount(Bits);
  DIB.SetWidth(Width);
  DIB.SetHeight(Height);
  const int colors = Bits == 24 ? 0 : 1 << Bits;
  for (int i = 0; i < colors; ++i) DIB.SetColors(i, static_cast<TColor>(ColourOf(i)));
  for (int y = 0; y < Height; ++y) {
    BYTE* row = DIB.GetScanLine(y).data();
    for (int x = 0; x < Width; ++x) {
      if (Bits != 24) {
        PutValue(row, x, Bits, ValueAt(x, y, colors, Run));
        continue;
      }
      const COLORREF c = TrueColourAt(x, y);
      row[3 * x] = GetBValue(c), row[3 * x + 1] = GetGValue(c), row[3 * x + 2] = GetRValue(c);
    }
  }
}

// Puts the test backend in for one test and the previous one back.
class TRecordingClipboard {
public:
  TRecordingClipboard() : FBackend(std::make_shared<TRecordingClipboardBackend>()) {
    FSaved = Clipboard().SetBackend(FBackend);
  }
  ~TRecordingClipboard() { Clipboard().SetBackend(FSaved); }
  TRecordingClipboard(const TRecordingClipboard&) = delete;
  TRecordingClipboard& operator=(const TRecordingClipboard&) = delete;
  TRecordingClipboardBackend& operator*() { return *FBackend; }
  TRecordingClipboardBackend* operator->() { return FBackend.get(); }

private:
  std::shared_ptr<TRecordingClipboardBackend> FBackend;
  std::shared_ptr<TClipboardBackend> FSaved;
};

class TOther : public TPersistent {
public:
  const char* ClassName() const override { return "TOther"; }
};

using TCall = TRecordingClipboardBackend::TCall;
using TTransfers = std::vector<TRecordingClipboardBackend::TTransfer>;

}  // namespace

class DIBAssignTest : public ::testing::TestWithParam<bool> {
protected:
  TDefaultUseFMOScope FScope{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Memory, DIBAssignTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "FileMapping" : "Heap"; });

TEST_P(DIBAssignTest, NoneMakesABlankDIB) {
  TZrDIB dib;
  FillDIB(dib, 9, 4, 24);
  dib.SetPaletteModified(false);
  int changes = 0;
  dib.SetOnChange([&](TObject*) { ++changes; });
  dib.Assign(nullptr);
  EXPECT_EQ(dib.GetWidth(), 1);
  EXPECT_EQ(dib.GetHeight(), 1);
  EXPECT_EQ(dib.GetPixelFormat(), zrpf8Bit);
  EXPECT_EQ(HeaderOf(dib).biClrUsed, 256u);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(dib.GetInternalDIB()->BitmapInfo.bmiColors[i], Quad(0, 0, 0));
  EXPECT_EQ(dib.GetScanLine(0)[0], 0);
  EXPECT_EQ(dib.GetUseFMO(), GetParam());
  EXPECT_TRUE(dib.GetPaletteModified());
  EXPECT_EQ(changes, 1);
}

TEST_P(DIBAssignTest, HostBitmapIsReadBackAtItsDepth) {
  struct TCase {
    TPixelFormat Format;
    int Bits;
    int PaletteEntries;  // 0: no palette
  };
  for (const TCase c : {TCase{TPixelFormat::pf1bit, 1, 2}, TCase{TPixelFormat::pf4bit, 4, 16},
                        TCase{TPixelFormat::pf8bit, 8, 256}, TCase{TPixelFormat::pf8bit, 8, 5},
                        TCase{TPixelFormat::pf24bit, 24, 0}, TCase{TPixelFormat::pfDevice, 24, 0}}) {
    SCOPED_TRACE(c.Bits * 1000 + c.PaletteEntries);
    constexpr int width = 13, height = 5;
    TBitmap bitmap;
    bitmap.SetPixelFormat(c.Format);
    if (c.PaletteEntries) bitmap.SetPalette(MakePalette(c.PaletteEntries));
    bitmap.SetWidth(width);
    bitmap.SetHeight(height);
    const int values = c.PaletteEntries;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        BYTE* row = BitmapRow(bitmap, y);
        if (c.Bits != 24) {
          PutValue(row, x, c.Bits, ValueAt(x, y, values));
          continue;
        }
        const COLORREF colour = TrueColourAt(x, y);
        row[3 * x] = GetBValue(colour), row[3 * x + 1] = GetGValue(colour), row[3 * x + 2] = GetRValue(colour);
      }

    TZrDIB dib;
    dib.SetDrawMode(2);
    dib.SetMaskColor(0x010203);
    dib.SetPaletteModified(false);
    int changes = 0;
    dib.SetOnChange([&](TObject*) { ++changes; });
    const auto contexts = DeviceContextCount();
    dib.Assign(&bitmap);
    EXPECT_EQ(DeviceContextCount(), contexts);  // the screen's context went back
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(dib.GetPaletteModified());
    EXPECT_EQ(dib.GetDrawMode(), 2);
    EXPECT_EQ(dib.GetMaskColor(), 0x010203);
    EXPECT_EQ(dib.GetWidth(), width);
    EXPECT_EQ(dib.GetHeight(), height);
    EXPECT_EQ(dib.GetBitCount(), c.Bits);
    const BITMAPINFOHEADER& h = HeaderOf(dib);
    EXPECT_GT(h.biHeight, 0);
    EXPECT_EQ(h.biXPelsPerMeter, 3780);
    EXPECT_EQ(h.biYPelsPerMeter, 3780);
    EXPECT_EQ(h.biClrUsed, c.Bits == 24 ? 0u : 1u << c.Bits);
    const RGBQUAD* colors = dib.GetInternalDIB()->BitmapInfo.bmiColors;
    for (int i = 0; i < values; ++i) {
      const COLORREF colour = ColourOf(i);
      EXPECT_EQ(colors[i], Quad(GetRValue(colour), GetGValue(colour), GetBValue(colour))) << i;
    }
    for (int i = values; c.Bits == 8 && i < 256; ++i) EXPECT_EQ(colors[i], Quad(0, 0, 0)) << i;
    for (int y = 0; y < height; ++y) {
      const BYTE* row = dib.GetScanLine(y).data();
      for (int x = 0; x < width; ++x) {
        if (c.Bits != 24) {
          EXPECT_EQ(GetValue(row, x, c.Bits), ValueAt(x, y, values)) << x << "," << y;
          continue;
        }
        const COLORREF colour = TrueColourAt(x, y);
        EXPECT_EQ(RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]), colour) << x << "," << y;
      }
    }
  }
}

TEST_P(DIBAssignTest, BitmapTheStorageRefusesLeavesTheDIBAsItWas) {
  TBitmap empty, flat;
  flat.SetWidth(10);  // no height: no image
  for (TBitmap* bitmap : {&empty, &flat}) {
    TZrDIB dib;
    FillDIB(dib, 7, 3, 4);
    const TZrInternalDIB* before = dib.GetInternalDIB();
    const auto live = LiveMemoryCount();
    int changes = 0;
    dib.SetOnChange([&](TObject*) { ++changes; });
    ExpectRaises<EZrDIBInvalidDIBPara>([&] { dib.Assign(bitmap); }, "TZrInternalDIB.CreateDIB: Invalid Parameters");
    EXPECT_EQ(dib.GetInternalDIB(), before);
    EXPECT_EQ(dib.GetWidth(), 7);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(LiveMemoryCount(), live);
  }
}

TEST_P(DIBAssignTest, AssignToBitmapDrawsTheDIBWithItsOwnPalette) {
  struct TCase {
    int Bits;
    TZrPixelFormat Stored;
    TPixelFormat Expected;
    BYTE DrawMode;
  };
  for (const TCase c : {TCase{1, zrpf1Bit, TPixelFormat::pf1bit, 0}, TCase{4, zrpf4Bit, TPixelFormat::pf4bit, 2},
                        TCase{4, zrpf4BitRLE, TPixelFormat::pf4bit, 0}, TCase{8, zrpf8Bit, TPixelFormat::pf8bit, 1},
                        TCase{8, zrpf8BitRLE, TPixelFormat::pf8bit, 1}, TCase{24, zrpf24Bit, TPixelFormat::pf24bit, 1}}) {
    SCOPED_TRACE(static_cast<int>(c.Stored));
    constexpr int width = 40, height = 5, run = 8;
    TZrDIB dib;
    FillDIB(dib, width, height, c.Bits, run);
    if (c.Stored != dib.GetPixelFormat()) dib.SetPixelFormat(c.Stored);
    ASSERT_EQ(dib.GetPixelFormat(), c.Stored);
    dib.SetDrawMode(c.DrawMode);

    TBitmap bitmap;
    bitmap.SetPalette(MakePalette(3));  // replaced
    bitmap.Assign(&dib);
    EXPECT_EQ(dib.GetDrawMode(), c.DrawMode);
    EXPECT_EQ(bitmap.GetPixelFormat(), c.Expected);
    EXPECT_EQ(bitmap.GetWidth(), width);
    EXPECT_EQ(bitmap.GetHeight(), height);
    const int colors = c.Bits == 24 ? 0 : 1 << c.Bits;
    const HPALETTE palette = bitmap.GetPalette();
    EXPECT_EQ(static_cast<int>(GetPaletteEntries(palette, 0, 0, nullptr)), colors);
    EXPECT_NE(palette, dib.GetPalette());  // a copy the bitmap owns
    PALETTEENTRY entries[256];
    GetPaletteEntries(palette, 0, 256, entries);
    for (int i = 0; i < colors; ++i)
      EXPECT_EQ(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue), ColourOf(i)) << i;
    const HDC dc = bitmap.GetCanvas().GetHandle();
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        EXPECT_EQ(GetPixel(dc, x, y), colors ? ColourOf(ValueAt(x, y, colors, run)) : TrueColourAt(x, y)) << x << "," << y;
  }
}

// A DIB the platform cannot draw (RLE rows stored top-down) leaves the bitmap
// it was given to as it was: size, format, palette and pixels.
TEST_P(DIBAssignTest, AssignToBitmapThatCannotDrawLeavesTheBitmap) {
  TZrDIB dib;
  FillDIB(dib, 16, 3, 8, 4);
  dib.SetPixelFormat(zrpf8BitRLE);
  dib.GetInternalDIB()->BitmapInfo.bmiHeader.biHeight = -3;
  for (const TPixelFormat format : {TPixelFormat::pf24bit, TPixelFormat::pf4bit}) {
    SCOPED_TRACE(static_cast<int>(format));
    TBitmap bitmap;
    bitmap.SetWidth(5);
    bitmap.SetHeight(2);
    bitmap.SetPixelFormat(format);
    const HPALETTE palette = MakePalette(16);
    if (format == TPixelFormat::pf4bit) bitmap.SetPalette(palette);
    for (int i = 0; i < 3; ++i) BitmapRow(bitmap, 1)[i] = static_cast<BYTE>(0x35 + i);
    const HDC dc = bitmap.GetCanvas().GetHandle();
    std::vector<COLORREF> before;
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 5; ++x) before.push_back(GetPixel(dc, x, y));
    ASSERT_NE(before[5], before[0]);

    ExpectRaises<EZrDIBInvalidDIB>([&] { bitmap.Assign(&dib); }, "TZrDIB.AssignTo: Cannot Draw DIB");
    EXPECT_EQ(bitmap.GetWidth(), 5);
    EXPECT_EQ(bitmap.GetHeight(), 2);
    EXPECT_EQ(bitmap.GetPixelFormat(), format);
    EXPECT_EQ(bitmap.GetPalette(), format == TPixelFormat::pf4bit ? palette : HPALETTE{});
    const HDC after = bitmap.GetCanvas().GetHandle();
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 5; ++x) EXPECT_EQ(GetPixel(after, x, y), before[static_cast<std::size_t>(y * 5 + x)]);
    if (format != TPixelFormat::pf4bit) DeleteObject(palette);
  }
}

TEST_P(DIBAssignTest, ForeignObjectsGetTheFrameworksAssignmentError) {
  TZrDIB dib, other;
  FillDIB(dib, 3, 3, 8);
  const TZrInternalDIB* before = dib.GetInternalDIB();
  TOther foreign;
  ExpectRaises<EConvertError>([&] { dib.Assign(&foreign); }, "TOther を TZrDIB に代入できません");
  ExpectRaises<EConvertError>([&] { foreign.Assign(&dib); }, "TZrDIB を TOther に代入できません");
  EXPECT_EQ(dib.GetInternalDIB(), before);
  EXPECT_EQ(before->RefCount, 1);
  // AssignTo a DIB is that DIB's Assign: sharing.
  TPersistent& asPersistent = other;
  asPersistent.Assign(&dib);
  EXPECT_EQ(other.GetInternalDIB(), before);
  EXPECT_EQ(before->RefCount, 2);
}

TEST_P(DIBAssignTest, ClipboardFormsRoundTripAndRefuseOtherFormats) {
  TZrDIB dib;
  FillDIB(dib, 3, 2, 8);
  WORD format = 0;
  HGLOBAL data;
  HPALETTE palette{{123}};
  dib.SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, 8);
  EXPECT_FALSE(palette);
  // Header, 256 colours and 2 rows of 4 bytes.
  EXPECT_EQ(GlobalSize(data), 40u + 1024u + 8u);
  EXPECT_EQ(dib.GetInternalDIB()->RefCount, 1);

  TZrDIB copy;
  const char* const invalid = "TZrDIB.LoadFromClipboardFormat: Invalid Clipboard Format or No Data";
  ExpectRaises<EInvalidGraphic>([&] { copy.LoadFromClipboardFormat(2, data, {}); }, invalid);
  ExpectRaises<EInvalidGraphic>([&] { copy.LoadFromClipboardFormat(8, {}, {}); }, invalid);
  EXPECT_EQ(copy.GetWidth(), 1);
  int changes = 0;
  copy.SetOnChange([&](TObject*) { ++changes; });
  copy.LoadFromClipboardFormat(8, data, {});
  GlobalFree(data);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(copy.GetUseFMO(), GetParam());
  EXPECT_EQ(copy.GetBitCount(), 8);
  EXPECT_EQ(copy.GetWidth(), 3);
  EXPECT_EQ(copy.GetHeight(), 2);
  EXPECT_EQ(std::memcmp(copy.GetInternalDIB()->BitmapInfo.bmiColors, dib.GetInternalDIB()->BitmapInfo.bmiColors,
                        1024),
            0);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(copy.GetScanLine(y)[x], ValueAt(x, y, 256));
}

TEST_P(DIBAssignTest, ClipboardObjectOpensAndClosesAroundEachTransfer) {
  TRecordingClipboard clipboard;
  TZrDIB dib;
  FillDIB(dib, 3, 2, 8);
  constexpr std::size_t packed = 40 + 1024 + 8;
  Clipboard().Assign(&dib);
  EXPECT_EQ(clipboard->Transfers, (TTransfers{{TCall::Open}, {TCall::Clear}, {TCall::SetData, 8, packed}, {TCall::Close}}));

  clipboard->Transfers.clear();
  TZrDIB copy;
  copy.Assign(&Clipboard());
  EXPECT_EQ(clipboard->Transfers,
            (TTransfers{{TCall::Open}, {TCall::GetData, 8, packed}, {TCall::GetData, 9, 0}, {TCall::Close}}));
  EXPECT_EQ(copy.GetWidth(), 3);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(copy.GetScanLine(y)[x], ValueAt(x, y, 256));

  // Refusals close the clipboard too and leave the DIB as it was.
  const auto whole = *clipboard->GetData(8);
  const std::vector<BYTE> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  struct TCase {
    std::vector<BYTE> Data;  // on the clipboard as CF_DIB; none: nothing there
    const char* Message;
  };
  const std::vector<TCase> cases = {
      {{}, "TZrDIB.LoadFromClipboardFormat: Invalid Clipboard Format or No Data"},
      {png, "TZrDIB.LoadFromClipboardFormat: Invalid Clipboard Data"},
      {std::vector<BYTE>(whole.begin(), whole.end() - 1), "TZrInternalDIB.LoadFromClipboardFormat: Pixel Data is too Short"},
      {std::vector<BYTE>(whole.begin(), whole.begin() + 600),
       "TZrInternalDIB.LoadFromClipboardFormat: Color Table is too Short"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Message);
    clipboard->Clear();
    if (!c.Data.empty()) clipboard->SetData(8, c.Data);
    clipboard->Transfers.clear();
    const TZrInternalDIB* before = copy.GetInternalDIB();
    try {
      copy.Assign(&Clipboard());
      ADD_FAILURE() << "loaded";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
    EXPECT_EQ(copy.GetInternalDIB(), before);
    ASSERT_FALSE(clipboard->Transfers.empty());
    EXPECT_EQ(clipboard->Transfers.back(), TRecordingClipboardBackend::TTransfer{TCall::Close});
  }

  clipboard->RefuseOpen = true;
  clipboard->Transfers.clear();
  ExpectRaises<Exception>([&] { copy.Assign(&Clipboard()); }, SCannotOpenClipboard);
  EXPECT_EQ(clipboard->Transfers, (TTransfers{{TCall::Open}}));
  clipboard->RefuseOpen = false;
  clipboard->SetData(8, whole);
  copy.Assign(&Clipboard());  // not left half open
  EXPECT_EQ(clipboard->Transfers.back(), TRecordingClipboardBackend::TTransfer{TCall::Close});
}
