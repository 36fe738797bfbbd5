// Sizes, strides, row addresses and the refusals of TZrDIB and its storage.

#include <algorithm>
#include <climits>
#include <functional>

#include "dib/ZrDIBMemory.h"
#include "host/Gdi.h"
#include "host/Kernel.h"
#include "tests/dib/DibTestSupport.h"

class DIBStorageTest : public ::testing::TestWithParam<bool> {
protected:
  TDefaultUseFMOScope FScope{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Memory, DIBStorageTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "FileMapping" : "Heap"; });

TEST_P(DIBStorageTest, NewDIBIsOneBlackPixel) {
  TZrDIB dib;
  EXPECT_EQ(dib.GetWidth(), 1);
  EXPECT_EQ(dib.GetHeight(), 1);
  EXPECT_EQ(dib.GetBitCount(), 8);
  EXPECT_EQ(dib.GetPixelFormat(), zrpf8Bit);
  EXPECT_FALSE(dib.GetEmpty());
  EXPECT_EQ(dib.GetUseFMO(), GetParam());
  EXPECT_TRUE(dib.GetPaletteModified());
  EXPECT_EQ(dib.GetDrawMode(), 0);
  EXPECT_EQ(dib.GetConvertMode(), 0);
  EXPECT_EQ(dib.GetMaskColor(), 0xFFFFFF);

  const TZrInternalDIB& storage = *dib.GetInternalDIB();
  EXPECT_EQ(storage.RefCount, 1);
  EXPECT_EQ(storage.ImageSize, 4);
  EXPECT_EQ(static_cast<bool>(storage.FileMapping), GetParam());
  EXPECT_FALSE(storage.PaletteChanged);  // handed on to PaletteModified
  const auto& h = storage.BitmapInfo.bmiHeader;
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biHeight, 1);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biCompression, BI_RGB);
  EXPECT_EQ(h.biSizeImage, 0u);
  EXPECT_EQ(h.biXPelsPerMeter, 3780);
  EXPECT_EQ(h.biYPelsPerMeter, 3780);
  EXPECT_EQ(h.biClrUsed, 256u);
  EXPECT_EQ(h.biClrImportant, 0u);
  EXPECT_EQ(dib.GetScanLine(0)[0], 0);

  PALETTEENTRY entries[256];
  ASSERT_EQ(GetPaletteEntries(dib.GetPalette(), 0, 256, entries), 256u);
  EXPECT_TRUE(std::all_of(std::begin(entries), std::end(entries),
                          [](const PALETTEENTRY& e) { return e.peRed == 0 && e.peGreen == 0 && e.peBlue == 0; }));
}

TEST_P(DIBStorageTest, PictureOfTheViewerIsBlankAndBottomUp) {
  TZrDIB dib;
  dib.SetWidth(256);
  dib.SetHeight(256);
  const TZrInternalDIB& storage = *dib.GetInternalDIB();
  EXPECT_EQ(dib.GetWidth(), 256);
  EXPECT_EQ(dib.GetHeight(), 256);
  EXPECT_EQ(dib.GetBitCount(), 8);
  EXPECT_EQ(storage.ImageSize, 65536);
  EXPECT_EQ(storage.BitmapInfo.bmiHeader.biHeight, 256);
  const auto pixels = storage.Pixels();
  EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](BYTE b) { return b == 0; }));
  EXPECT_TRUE(std::all_of(storage.BitmapInfo.bmiColors, storage.BitmapInfo.bmiColors + 256,
                          [](const RGBQUAD& c) { return c == RGBQUAD{}; }));
  EXPECT_EQ(dib.GetScanLine(0).data(), storage.Bits + 255 * 256);
  EXPECT_EQ(dib.GetScanLine(255).data(), storage.Bits);
  EXPECT_EQ(dib.GetScanLine(0).size(), 256u);
}

TEST_P(DIBStorageTest, StridesPadRowsToWholeWords) {
  struct TCase {
    int BitCount, Width, Stride;
  };
  for (const TCase c : {TCase{4, 3, 4}, TCase{24, 5, 16}, TCase{1, 33, 8}, TCase{1, 32, 4}, TCase{8, 5, 8}}) {
    TZrDIB dib;
    dib.SetBitCount(c.BitCount);
    dib.SetWidth(c.Width);
    dib.SetHeight(3);
    SCOPED_TRACE(testing::Message() << c.BitCount << " bits, width " << c.Width);
    EXPECT_EQ(dib.GetScanLine(0).size(), static_cast<std::size_t>(c.Stride));
    EXPECT_EQ(dib.GetInternalDIB()->ImageSize, 3 * c.Stride);
    EXPECT_EQ(dib.GetScanLine(0).data() - dib.GetScanLine(1).data(), c.Stride);
  }
}

TEST_P(DIBStorageTest, NegativeHeightMakesTopDownRows) {
  TZrDIB dib;
  dib.SetWidth(4);
  dib.SetHeight(10);
  dib.GetScanLine(3)[0] = 7;
  dib.SetHeight(-10);
  EXPECT_EQ(dib.GetHeight(), 10);
  EXPECT_EQ(HeaderOf(dib).biHeight, -10);
  EXPECT_EQ(dib.GetScanLine(3)[0], 0);  // blank again
  const BYTE* bits = dib.GetInternalDIB()->Bits;
  EXPECT_EQ(dib.GetScanLine(0).data(), bits);
  EXPECT_EQ(dib.GetScanLine(9).data(), bits + 9 * 4);

  dib.GetScanLine(3)[0] = 5;
  dib.SetHeight(10);  // same row count: untouched, still top-down
  EXPECT_EQ(HeaderOf(dib).biHeight, -10);
  EXPECT_EQ(dib.GetScanLine(3)[0], 5);

  dib.SetWidth(8);  // a new width is made bottom-up
  EXPECT_EQ(HeaderOf(dib).biHeight, 10);
  EXPECT_EQ(dib.GetScanLine(0).data(), dib.GetInternalDIB()->Bits + 9 * 8);
}

TEST_P(DIBStorageTest, SetBitCountSetsTheColourCount) {
  TZrDIB dib;
  dib.SetWidth(5);
  dib.SetBitCount(24);
  EXPECT_EQ(HeaderOf(dib).biClrUsed, 0u);
  EXPECT_FALSE(dib.GetPalette());
  EXPECT_EQ(dib.GetPixelFormat(), zrpf24Bit);
  dib.SetBitCount(4);
  EXPECT_EQ(HeaderOf(dib).biClrUsed, 16u);
  EXPECT_EQ(GetPaletteEntries(dib.GetPalette(), 0, 0, nullptr), 16u);
  dib.SetBitCount(1);
  EXPECT_EQ(HeaderOf(dib).biClrUsed, 2u);
  EXPECT_EQ(dib.GetWidth(), 5);
}

TEST_P(DIBStorageTest, RefusedSettersLeaveTheDIBAsItWas) {
  TZrDIB dib;
  dib.SetWidth(6);
  dib.SetHeight(-3);
  dib.GetScanLine(1)[2] = 9;
  int changes = 0;
  dib.SetOnChange([&](TObject*) { ++changes; });
  const TZrInternalDIB* before = dib.GetInternalDIB();

  ExpectRaises<EZrDIBInvalidDIBPara>([&] { dib.SetWidth(0); }, "TZrDIB.SetWidth: Invalid Width");
  ExpectRaises<EZrDIBInvalidDIBPara>([&] { dib.SetWidth(-1); }, "TZrDIB.SetWidth: Invalid Width");
  ExpectRaises<EZrDIBInvalidDIBPara>([&] { dib.SetHeight(0); }, "TZrDIB.SetWidth: Invalid Height");
  ExpectRaises<EZrDIBInvalidDIBPara>([&] { dib.SetBitCount(16); }, "TZrDIB.SetBitCount: Invalid BitCount");
  ExpectRaises<EZrDIBInvalidDIBPara>([&] { dib.SetBitCount(0); }, "TZrDIB.SetBitCount: Invalid BitCount");
  // Too large for the 32-bit ImageSize, also where 32-bit arithmetic would wrap.
  ExpectRaises<EZrDIBInvalidDIBPara>([&] { dib.SetWidth(INT_MAX); }, "TZrInternalDIB.CreateDIB: Invalid Parameters");
  ExpectRaises<EZrDIBInvalidDIBPara>([&] { dib.SetHeight(INT_MIN); },
                                     "TZrInternalDIB.CreateDIB: Invalid Parameters");
  ExpectRaises<EZrDIBInvalidDIBPara>([&] { dib.SetHeight(INT_MAX); },
                                     "TZrInternalDIB.CreateDIB: Invalid Parameters");

  EXPECT_EQ(dib.GetInternalDIB(), before);
  EXPECT_EQ(dib.GetWidth(), 6);
  EXPECT_EQ(HeaderOf(dib).biHeight, -3);
  EXPECT_EQ(dib.GetBitCount(), 8);
  EXPECT_EQ(dib.GetScanLine(1)[2], 9);
  EXPECT_EQ(changes, 0);
}

TEST(DIBOverflowTest, SizesAreCountedIn64Bits) {
  TDefaultUseFMOScope fmo(true);
  TZrDIB dib;
  // 24 x 0x40000000 wraps to 0 in 32 bits; 65536 x 65536 bytes wraps to 0 as well.
  dib.SetBitCount(24);
  ExpectRaises<EZrDIBInvalidDIBPara>([&] { dib.SetWidth(0x40000000); },
                                     "TZrInternalDIB.CreateDIB: Invalid Parameters");
  dib.SetBitCount(8);
  dib.SetWidth(65536);
  ExpectRaises<EZrDIBInvalidDIBPara>([&] { dib.SetHeight(65536); }, "TZrInternalDIB.CreateDIB: Invalid Parameters");
  EXPECT_EQ(dib.GetHeight(), 1);
}

TEST(DIBOverflowTest, LargestCountableSizeIsAccepted) {
  // A mapping object is not touched until written, so the largest picture costs no memory.
  TDefaultUseFMOScope fmo(true);
  TZrDIB dib;
  dib.SetBitCount(1);
  ExpectRaises<EZrDIBInvalidDIBPara>([&] { dib.SetHeight(0x20000000); },
                                     "TZrInternalDIB.CreateDIB: Invalid Parameters");
  dib.SetHeight(0x1FFFFFFF);
  EXPECT_EQ(dib.GetInternalDIB()->ImageSize, 0x7FFFFFFC);
  EXPECT_EQ(dib.GetScanLine(0).data(), dib.GetInternalDIB()->Bits + 0x7FFFFFF8);
}

TEST(DIBInternalTest, CreateDIBValidatesEveryArgument) {
  struct TCase {
    int Width, Height, Colors, Bits;
  };
  for (const TCase c : {TCase{0, 1, 0, 8}, TCase{1, 0, 0, 8}, TCase{1, 1, -1, 8}, TCase{1, 1, 257, 8},
                        TCase{1, 1, 0, 2}, TCase{1, 1, 0, 32}}) {
    TZrInternalDIB storage(false, TZrInternalDIB::NoPixels);
    ExpectRaises<EZrDIBInvalidDIBPara>([&] { storage.CreateDIB(c.Width, c.Height, c.Colors, c.Bits); },
                                       "TZrInternalDIB.CreateDIB: Invalid Parameters");
    EXPECT_EQ(storage.Bits, nullptr);
    EXPECT_EQ(storage.BitmapInfo.bmiHeader.biSize, 0u);
  }
  TZrInternalDIB storage(false, TZrInternalDIB::NoPixels);
  storage.CreateDIB(3, -2, 256, 8);
  EXPECT_EQ(storage.Height, 2);
  EXPECT_EQ(storage.BitmapInfo.bmiHeader.biHeight, -2);
  EXPECT_TRUE(storage.PaletteChanged);
  EXPECT_EQ(storage.ImageSize, 8);
}

TEST(DIBInternalTest, FreeDIBReleasesPixelsAndPalette) {
  TZrInternalDIB storage(true);
  const HANDLE mapping = storage.FileMapping;
  storage.PaletteHandle = GetPaletteFromDIBInfos(storage.BitmapInfo);
  const HPALETTE palette = storage.PaletteHandle;
  storage.FreeDIB();
  EXPECT_EQ(storage.Bits, nullptr);
  EXPECT_EQ(storage.ImageSize, 0);
  EXPECT_FALSE(storage.FileMapping);
  EXPECT_FALSE(storage.PaletteHandle);
  FreeSpareMemory();
  EXPECT_EQ(GetFileMappingSize(mapping), 0u);  // the mapping object is closed
  EXPECT_EQ(GetObjectType(palette), 0u);
}

TEST_P(DIBStorageTest, ScanLineStaysInsideThePixels) {
  TZrDIB dib;
  dib.SetWidth(8);
  dib.SetHeight(4);
  ExpectRaises<EZrDIBPixelPositionRange>([&] { dib.GetScanLine(4); }, "TZrDIB.GetScanLine: y is Out of Range");
  ExpectRaises<EZrDIBPixelPositionRange>([&] { dib.GetScanLine(-1); }, "TZrDIB.GetScanLine: y is Out of Range");

  // Pixel data shorter than the header promises (as a loaded file may bring):
  // the rows it does not hold are refused, not handed out.
  TZrInternalDIB& storage = *dib.GetInternalDIB();
  storage.ImageSize = 3 * 8;
  ExpectRaises<EZrDIBPixelPositionRange>([&] { dib.GetScanLine(0); }, "TZrDIB.GetScanLine: y is Out of Range");
  EXPECT_EQ(dib.GetScanLine(1).data(), storage.Bits + 2 * 8);
  storage.ImageSize = 4 * 8;

  storage.BitmapInfo.bmiHeader.biCompression = BI_RLE8;
  EXPECT_EQ(dib.GetPixelFormat(), zrpf8BitRLE);
  ExpectRaises<EZrDIBBadDIBType>([&] { dib.GetScanLine(0); }, "TZrDIB.GetScanLine: Bad DIB Type");
}

TEST(DIBInternalTest, PixelFormatRefusesImpossiblePairs) {
  struct TCase {
    WORD Bits;
    DWORD Compression;
    const char* Message;
  };
  for (const TCase c : {TCase{1, BI_RLE8, "TZrInternalDIB.GetPixelFormat: Invalid DIB(1Bit)"},
                        TCase{4, BI_RLE8, "TZrInternalDIB.GetPixelFormat: Invalid DIB(4Bit)"},
                        TCase{8, BI_RLE4, "TZrInternalDIB.GetPixelFormat: Invalid DIB(8Bit)"},
                        TCase{24, BI_BITFIELDS, "TZrInternalDIB.GetPixelFormat: Invalid DIB(24Bit)"},
                        TCase{16, BI_RGB, "TZrInternalDIB.GetPixelFormat: Invalid DIB(Illegal BitCount)"}}) {
    TZrInternalDIB storage(false);
    storage.BitmapInfo.bmiHeader.biBitCount = c.Bits;
    storage.BitmapInfo.bmiHeader.biCompression = c.Compression;
    ExpectRaises<EZrDIBInvalidDIB>([&] { storage.GetPixelFormat(); }, c.Message);
  }
  TZrInternalDIB storage(false);
  storage.BitmapInfo.bmiHeader.biBitCount = 4;
  storage.BitmapInfo.bmiHeader.biCompression = BI_RLE4;
  EXPECT_EQ(storage.GetPixelFormat(), zrpf4BitRLE);
}

TEST(DIBMemoryTest, BothKindsStartZeroed) {
  for (const bool fmo : {true, false}) {
    HANDLE mapping;
    BYTE* bits = nullptr;
    GetMemory(10000, fmo, mapping, bits);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(static_cast<bool>(mapping), fmo);
    EXPECT_TRUE(std::all_of(bits, bits + 10000, [](BYTE b) { return b == 0; }));
    if (fmo) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bits) % 4096, 0u);
    }
    ReleaseMemory(mapping, bits, fmo);
  }
  HANDLE mapping;
  BYTE* bits = nullptr;
  ExpectRaises<EOutOfResources>([&] { GetMemory(0, true, mapping, bits); },
                                "GetMemory: Cannot Make File Mapping Object");
}

TEST(DIBMemoryTest, ReusedMappingsComeBackZeroed) {
  HANDLE mapping;
  BYTE* bits = nullptr;
  GetMemory(5000, true, mapping, bits);
  std::fill_n(bits, 5000, BYTE{0xFF});
  ReleaseMemory(mapping, bits, true);
  HANDLE again;
  BYTE* reused = nullptr;
  GetMemory(5000, true, again, reused);
  EXPECT_EQ(reused, bits);  // the same mapping, taken from the pool
  EXPECT_EQ(GetFileMappingSize(again), 5000u);
  EXPECT_TRUE(std::all_of(reused, reused + 5000, [](BYTE b) { return b == 0; }));
  ReleaseMemory(again, reused, true);
}

TEST(DIBMemoryTest, PoolOfMappingsIsBounded) {
  FreeSpareMemory();
  std::vector<std::pair<HANDLE, BYTE*>> blocks(20);
  for (auto& [mapping, bits] : blocks) GetMemory(4096, true, mapping, bits);
  for (auto& [mapping, bits] : blocks) ReleaseMemory(mapping, bits, true);
  EXPECT_EQ(SpareMemoryCount(), 8u);
  EXPECT_EQ(GetFileMappingSize(blocks.front().first), 0u);  // the oldest are closed
  EXPECT_EQ(GetFileMappingSize(blocks.back().first), 4096u);

  FreeSpareMemory();
  HANDLE large[2];
  BYTE* largeBits[2] = {};
  for (int i = 0; i < 2; ++i) GetMemory(3 << 20, true, large[i], largeBits[i]);
  for (int i = 0; i < 2; ++i) ReleaseMemory(large[i], largeBits[i], true);
  EXPECT_EQ(SpareMemoryCount(), 1u);  // 4 MiB at most
  FreeSpareMemory();
  EXPECT_EQ(GetFileMappingSize(large[1]), 0u);
}

TEST(DIBMemoryTest, ReleaseMemoryChecksItsCalls) {
  HANDLE mapping;
  BYTE* bits = nullptr;
  GetMemory(100, true, mapping, bits);
  BYTE notAView = 0;
  ExpectRaises<EAssertionFailed>([&] { ReleaseMemory(mapping, &notAView, true); },
                                 "ReleaseMemory: Failed To Unmap View of File map");
  ExpectRaises<EAssertionFailed>([&] { ReleaseMemory(HANDLE{}, bits, true); },
                                 "ReleaseMemory: Failed To Close File Map");
  EXPECT_TRUE(CloseHandle(mapping));
}

TEST(DIBMemoryTest, NumColorsOf) {
  EXPECT_EQ(NumColorsOf(1), 2);
  EXPECT_EQ(NumColorsOf(4), 16);
  EXPECT_EQ(NumColorsOf(8), 256);
  for (const int other : {0, 2, 16, 24, 32}) EXPECT_EQ(NumColorsOf(other), 0);
}

// Every operation checks that the DIB holds a storage; only a DIB whose storage
// was released by hand lets a test see those checks.
TEST(DIBAssertionTest, OperationsWithoutStorageFailTheirChecks) {
  TZrDIB dib;
  dib.ReleaseInternalDIB();
  EXPECT_EQ(dib.GetInternalDIB(), nullptr);
  const std::pair<std::function<void()>, const char*> cases[] = {
      {[&] { dib.ReleaseInternalDIB(); }, "TZRDIB.ReleaseInternalDIB: InternalDIB should not be Nil"},
      {[&] { dib.GetEmpty(); }, "TZrDIB.GetEmpty: InternalDIB Should not be Nil"},
      {[&] { dib.GetHeight(); }, "TZrDIB.GetHeight: InternalDIB Should not be Nil"},
      {[&] { dib.GetWidth(); }, "TZrDIB.GetWidth: InternalDIB Should not be Nil"},
      {[&] { dib.SetWidth(2); }, "TZrDIB.SetWidth: InternalDIB Should not be Nil"},
      {[&] { dib.SetHeight(2); }, "TZrDIB.SetWidth: InternalDIB Should not be Nil"},
      {[&] { dib.SetBitCount(4); }, "TZrDIB.SetBitCount: InternalDIB Should not be Nil"},
      {[&] { dib.GetPalette(); }, "TZrDIB.GetPalette: InternalDIB Should not be Nil"},
      {[&] { dib.SetPalette({}); }, "TZrDIB.SetPalette: InternalDIB Should not be Nil"},
      {[&] { dib.GetBitCount(); }, "TZrDIB.GetBitCount: InternalDIB Should not be Nil"},
      {[&] { dib.SetColors(0, 0); }, "TZrDIB.GetColors: InternalDIB Should not be Nil"},
      {[&] { dib.UniqueDIB(); }, "TZrDIB.UniqueDIB: InternalDIB Should not be Nil"},
      {[&] { dib.GetUseFMO(); }, "TZrDIB.GetUseFMO: InternalDIB Should not be Nil"},
      {[&] {
         TMemoryStream stream;
         dib.SaveToStream(stream);
       },
       "TZrDIB.SaveToStream: InternalDIB Should not be Nil"},
  };
  for (const auto& [action, message] : cases) ExpectRaises<EAssertionFailed>(action, message);
  TZrDIB other;
  ExpectRaises<EAssertionFailed>([&] { other.Assign(&dib); }, "TZrDIB.Assign: InternalDIB Should not be Nil");
  EXPECT_EQ(other.GetInternalDIB()->RefCount, 1);
}

TEST(DIBAssertionTest, PaletteUpdatesNeedAnUnsharedStorage) {
  TZrDIB a, b;
  b.Assign(&a);
  ExpectRaises<EAssertionFailed>([&] { a.GetInternalDIB()->UpdatePalette(); },
                                 "TZrInternalDIB.UpdatePalette: RefCount Must be 1");
  ExpectRaises<EAssertionFailed>([&] { a.UpdatePaletteModified(); },
                                 "TZrDIB.UpdatePaletteModified RefCount Must be 1");
}
