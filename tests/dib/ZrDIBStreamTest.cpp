// BMP files and packed DIBs built by hand: what loads, what is refused, and
// what a failed load leaves behind.

#include <climits>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

#include "dib/ZrDIBBitFields.h"
#include "dib/ZrDIBMemory.h"
#include "dib/ZrDIBReader.h"
#include "host/GdiObjects.h"
#include "host/Kernel.h"
#include "tests/dib/DibTestSupport.h"

namespace {

using TBytes = std::vector<BYTE>;

void Put16(TBytes& b, unsigned v) {
  b.push_back(static_cast<BYTE>(v));
  b.push_back(static_cast<BYTE>(v >> 8));
}
void Put32(TBytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// A file as a writer would lay it out; every field can be falsified.
struct TBmp {
  DWORD HeaderSize = 40;
  LONG Width = 2;
  LONG Height = 2;
  WORD Bits = 8;
  DWORD Compression = BI_RGB;
  DWORD ClrUsed = 0;
  int TableEntries = -1;  // entries written; -1: as the header implies
  std::vector<DWORD> Masks;
  TBytes Pixels;
  int Gap = 0;  // bytes between the colour table and the pixels
  std::optional<DWORD> OffBits, Size;
  WORD Type = 0x4D42;
};

// Colour entry i of a hand-built table, as (blue, green, red).
RGBQUAD Entry(int i) {
  return {static_cast<BYTE>(i), static_cast<BYTE>(2 * i), static_cast<BYTE>(3 * i), 0};
}

TBytes Build(const TBmp& f) {
  TBytes info;
  int entries = f.TableEntries;
  if (f.HeaderSize == 12) {
    Put32(info, 12);
    Put16(info, static_cast<unsigned>(f.Width));
    Put16(info, static_cast<unsigned>(f.Height));
    Put16(info, 1);
    Put16(info, f.Bits);
    if (entries < 0) entries = NumColorsOf(f.Bits);
    for (int i = 0; i < entries; ++i) info.insert(info.end(), {Entry(i).rgbBlue, Entry(i).rgbGreen, Entry(i).rgbRed});
  } else {
    Put32(info, f.HeaderSize);
    Put32(info, static_cast<DWORD>(f.Width));
    Put32(info, static_cast<DWORD>(f.Height));
    Put16(info, 1);
    Put16(info, f.Bits);
    Put32(info, f.Compression);
    Put32(info, 0);
    Put32(info, 0);  // densities 0 read as 3780
    Put32(info, 0);
    Put32(info, f.ClrUsed);
    Put32(info, 0);
    info.resize(f.HeaderSize, 0);
    for (const DWORD m : f.Masks) Put32(info, m);
    if (entries < 0) entries = static_cast<int>(f.ClrUsed != 0 ? f.ClrUsed : NumColorsOf(f.Bits));
    for (int i = 0; i < entries; ++i)
      info.insert(info.end(), {Entry(i).rgbBlue, Entry(i).rgbGreen, Entry(i).rgbRed, 0});
  }
  info.resize(info.size() + static_cast<std::size_t>(f.Gap), 0xEE);
  const auto offBits = f.OffBits.value_or(static_cast<DWORD>(14 + info.size()));
  TBytes file;
  Put16(file, f.Type);
  Put32(file, f.Size.value_or(static_cast<DWORD>(14 + info.size() + f.Pixels.size())));
  Put32(file, 0);
  Put32(file, offBits);
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), f.Pixels.begin(), f.Pixels.end());
  return file;
}

TBytes Pixels16(std::initializer_list<unsigned> values) {
  TBytes b;
  for (const unsigned v : values) Put16(b, v);
  return b;
}
TBytes Pixels32(std::initializer_list<std::uint32_t> values) {
  TBytes b;
  for (const auto v : values) Put32(b, v);
  return b;
}

TMemoryStream StreamOf(const TBytes& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(0);
  return stream;
}

// A memory stream that remembers the largest read it was asked for.
class TWatchedStream : public TMemoryStream {
 public:
  std::int64_t Read(void* Buffer, std::int64_t Count) override {
    Largest = std::max(Largest, Count);
    return TMemoryStream::Read(Buffer, Count);
  }
  std::int64_t Largest = 0;
};

enum class TOutcome { Loads, InvalidDIB, InvalidDIBFile, ReadError };

struct TExpect {
  TOutcome Outcome = TOutcome::Loads;
  const char* Message = "";
  TZrPixelFormat Format = zrpf8Bit;
  int Width = 2, Height = 2;
  LONG BiHeight = 2;
  DWORD ClrUsed = 256;
  std::int32_t ImageSize = 8;
  TBytes Pixels;  // empty: the file's own pixel bytes
};

struct TCase {
  const char* Name;
  TBmp File;
  TExpect Expect;
};

const TBytes Eight = {1, 2, 0, 0, 3, 4, 0, 0};  // 2 x 2 at 8 bits

TExpect Refused(TOutcome Outcome, const char* Message) {
  TExpect e;
  e.Outcome = Outcome;
  e.Message = Message;
  return e;
}
TExpect Refused(const char* Message) {
  return Refused(TOutcome::InvalidDIB, Message);
}

TExpect Loaded(TZrPixelFormat Format, int Width, LONG BiHeight, DWORD ClrUsed, std::int32_t ImageSize,
               TBytes Pixels = {}) {
  TExpect e;
  e.Format = Format;
  e.Width = Width;
  e.Height = BiHeight < 0 ? -BiHeight : BiHeight;
  e.BiHeight = BiHeight;
  e.ClrUsed = ClrUsed;
  e.ImageSize = ImageSize;
  e.Pixels = std::move(Pixels);
  return e;
}

const char* const TooShort = "TZrInternalDIB.LoadFromStream: Pixel Data is too Short";
const char* const OffBitsTooSmall = "TZrInternalDIB.LoadFromFile: bfOffBits is too small";
const char* const BadSize = "TZrInternalDIB.LoadFromStream: Invalid Width or Height";
const char* const BadMasks = "TZrInternalDIB.LoadFromStream: Invalid Masks";

std::vector<TCase> FileCases() {
  const auto bmp = [](auto change) {
    TBmp f;
    f.Pixels = Eight;
    change(f);
    return f;
  };
  const auto bits16 = [](LONG w, LONG h, TBytes px, std::vector<DWORD> masks = {}) {
    TBmp f;
    f.Bits = 16;
    f.Width = w;
    f.Height = h;
    f.Pixels = std::move(px);
    f.Masks = std::move(masks);
    f.Compression = f.Masks.empty() ? BI_RGB : BI_BITFIELDS;
    return f;
  };
  const auto bits32 = [&](LONG w, LONG h, TBytes px) {
    TBmp f = bits16(w, h, std::move(px));
    f.Bits = 32;
    return f;
  };
  return {
      // 1078 = 14 + 40 + 256 x 4, 1086 = 1078 + 8
      {"EightBitsAllColours", bmp([](TBmp& f) { f.OffBits = 1078, f.Size = 1086; }), Loaded(zrpf8Bit, 2, 2, 256, 8)},
      {"GapBeforePixelsSkipped", bmp([](TBmp& f) { f.Gap = 22; }), Loaded(zrpf8Bit, 2, 2, 256, 8)},
      {"BytesBeyondTheRowsKept", bmp([](TBmp& f) { f.Pixels.resize(14, 9); }), Loaded(zrpf8Bit, 2, 2, 256, 14)},
      {"TopDown", bmp([](TBmp& f) { f.Height = -2; }), Loaded(zrpf8Bit, 2, -2, 256, 8)},
      {"OversizeColourTable", bmp([](TBmp& f) { f.ClrUsed = 300; }), Loaded(zrpf8Bit, 2, 2, 256, 8)},
      {"FourBitsTwelveColours",
       bmp([](TBmp& f) { f.Bits = 4, f.ClrUsed = 12, f.Width = 3, f.Pixels = {0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0}; }),
       Loaded(zrpf4Bit, 3, 2, 12, 8)},
      {"Rle8StaysCompressed", bmp([](TBmp& f) { f.Compression = BI_RLE8, f.Pixels = {2, 7, 0, 0, 2, 8, 0, 1}; }),
       Loaded(zrpf8BitRLE, 2, 2, 256, 8)},
      {"RleOfAnyLengthKept",  // RLE data is not measured against the rows
       bmp([](TBmp& f) {
         f.Compression = BI_RLE8, f.Width = 200, f.Pixels = {0, 1};
       }),
       Loaded(zrpf8BitRLE, 200, 2, 256, 2)},
      {"CoreHeaderFourBits",
       [] {
         TBmp f;
         f.HeaderSize = 12, f.Bits = 4, f.Width = 3, f.Height = 1, f.Pixels = {0x12, 0x30, 0, 0};
         return f;
       }(),
       Loaded(zrpf4Bit, 3, 1, 16, 4)},

      {"NotBM", bmp([](TBmp& f) { f.Type = 0x4142; }),
       Refused(TOutcome::InvalidDIBFile, "TZrInternalDIB.LoadFromFile: File type is invalid")},
      {"OffBitsIntoColourTable", bmp([](TBmp& f) { f.OffBits = 1077; }), Refused(OffBitsTooSmall)},
      {"CoreOffBitsIntoColourTable",
       [] {
         TBmp f;
         f.HeaderSize = 12, f.Bits = 4, f.Width = 3, f.Height = 1, f.Pixels = {0, 0, 0, 0}, f.OffBits = 73;
         return f;
       }(),
       Refused(OffBitsTooSmall)},
      // 54 + 4 x 0x40000000 wraps to 54 in 32 bits
      {"HugeColourCountCountedIn64Bits", bmp([](TBmp& f) { f.ClrUsed = 0x40000000, f.TableEntries = 256; }),
       Refused(OffBitsTooSmall)},
      {"TwoBits", bmp([](TBmp& f) { f.Bits = 2; }), Refused("TZrInternalDIB.LoadFromStream: Invalid BitCout")},
      {"CoreSixteenBits",
       [] {
         TBmp f;
         f.HeaderSize = 12, f.Bits = 16;
         return f;
       }(),
       Refused("TZrInternalDIB.LoadFromStream: Invalid BitCount")},
      {"HeaderVersion4", bmp([](TBmp& f) { f.HeaderSize = 108; }),
       Refused("TZrInternalDIB.LoadFromStream: Invalid Bitmap Header Size")},
      {"NegativeWidth", bmp([](TBmp& f) { f.Width = -4; }), Refused(BadSize)},
      {"ZeroHeight", bmp([](TBmp& f) { f.Height = 0; }), Refused(BadSize)},
      {"MostNegativeHeight", bmp([](TBmp& f) { f.Height = INT_MIN, f.Compression = BI_RLE8; }), Refused(BadSize)},
      {"RowsLongerThanThePixelData", bmp([](TBmp& f) { f.Pixels.resize(7); }), Refused(TooShort)},
      {"NoPixelData", bmp([](TBmp& f) { f.Compression = BI_RLE8, f.Pixels.clear(); }), Refused(TooShort)},
      {"SizeBelowOffBits", bmp([](TBmp& f) { f.Size = 1000; }), Refused(TooShort)},
      {"HugeRowsTooShort", bmp([](TBmp& f) { f.Width = INT_MAX, f.Height = -INT_MAX, f.Bits = 24; }),
       Refused(TooShort)},
      {"SizeBeyondTheStream", bmp([](TBmp& f) { f.Size = 0x7FFFFF00; }), Refused(TOutcome::ReadError, SReadError)},
      {"OffBitsBeyondTheStream", bmp([](TBmp& f) { f.OffBits = 0xFFFFFF00, f.Size = 0xFFFFFFFF; }),
       Refused(TOutcome::ReadError, SReadError)},
      {"StreamEndsInTheRows", bmp([](TBmp& f) { f.Size = 1086, f.Pixels.resize(4); }),
       Refused(TOutcome::ReadError, SReadError)},

      // 5-5-5: 1 in each field is 8 x 255 div 248
      {"SixteenBitsDefaultMasks", bits16(4, 1, Pixels16({0x7FFF, 0x0000, 0x7C00, 0x0421})),
       Loaded(zrpf24Bit, 4, 1, 0, 12, {255, 255, 255, 0, 0, 0, 0, 0, 255, 8, 8, 8})},
      {"SixteenBits565", bits16(2, 1, Pixels16({0xF800, 0x07E0}), {0xF800, 0x07E0, 0x001F}),
       Loaded(zrpf24Bit, 2, 1, 0, 8, {0, 0, 255, 0, 255, 0, 0, 0})},
      {"SixteenBitsTopDownOddWidth", bits16(1, -2, Pixels16({0x7C00, 0, 0x001F, 0})),
       Loaded(zrpf24Bit, 1, -2, 0, 8, {0, 0, 255, 0, 255, 0, 0, 0})},
      {"ThirtyTwoBitsThreeWide", bits32(3, 1, Pixels32({0x112233, 0xFFFFFFFF, 0x00800001})),
       Loaded(zrpf24Bit, 3, 1, 0, 12, {0x33, 0x22, 0x11, 255, 255, 255, 1, 0, 0x80, 0, 0, 0})},
      {"ThirtyTwoBitsFiveWidePadded", bits32(5, 1, Pixels32({1, 2, 3, 4, 5})),
       Loaded(zrpf24Bit, 5, 1, 0, 16, {1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0, 5, 0, 0, 0})},
      {"ThirtyTwoBitsFields2Bits",  // 2-bit fields: 1 is 64 x 255 div 192
       [&] {
         TBmp f = bits32(1, 1, Pixels32({0x00000015}));
         f.Compression = BI_BITFIELDS, f.Masks = {0x30, 0x0C, 0x03}, f.ClrUsed = 12;
         return f;
       }(),
       Loaded(zrpf24Bit, 1, 1, 12, 4, {85, 85, 85, 0})},  // the colours move down over the masks
      {"ZeroMask", bits16(1, 1, Pixels16({0, 0}), {0xF800, 0, 0x001F}), Refused(BadMasks)},
      {"MasksNotInTheFile",  // compression 6 carries no masks this reader knows
       [&] {
         TBmp f = bits32(1, 1, Pixels32({0}));
         f.Compression = 6;
         return f;
       }(),
       Refused(BadMasks)},
      // A stream of 16 or 32 bits is read row by row, whatever bfSize says.
      {"SixteenBitsSizeZero",
       [&] {
         TBmp f = bits16(1, 1, Pixels16({0x7C00, 0}));
         f.Size = 0;
         return f;
       }(),
       Loaded(zrpf24Bit, 1, 1, 0, 4, {0, 0, 255, 0})},
      {"ThirtyTwoBitsSizeUnderstated",
       [&] {
         TBmp f = bits32(2, 1, Pixels32({0xFF, 0xFF00}));
         f.Size = 14 + 40 + 4;
         return f;
       }(),
       Loaded(zrpf24Bit, 2, 1, 0, 8, {255, 0, 0, 0, 255, 0, 0, 0})},
      {"SixteenBitRowsTooShort", bits16(3, 2, Pixels16({0, 0, 0, 0, 0})), Refused(TOutcome::ReadError, SReadError)},
      // 2^30 pixels of 16 bits fit the count; their 24-bit rows do not fit 31 bits
      {"SixteenBitOutputTooLarge",
       [&] {
         TBmp f = bits16(0x40000000, 1, {});
         f.Size = 0xFFFFFFFF;
         return f;
       }(),
       Refused("TZrInternalDIB.LoadFromStream: Image is too Large")},
      {"SixteenBitStreamEnds",
       [&] {
         TBmp f = bits16(2, 2, Pixels16({0, 0}));
         f.Size = 70;
         return f;
       }(),
       Refused(TOutcome::ReadError, SReadError)},
  };
}

// Pixel bytes a file carries.
TBytes FilePixels(const TBytes& file) {
  DWORD off;
  std::memcpy(&off, file.data() + 10, 4);
  return off < file.size() ? TBytes(file.begin() + off, file.end()) : TBytes{};
}

void ExpectOutcome(const std::function<void()>& Load, TOutcome Outcome, const std::string& Message) {
  switch (Outcome) {
    case TOutcome::InvalidDIB:
      ExpectRaises<EZrDIBInvalidDIB>(Load, Message);
      break;
    case TOutcome::InvalidDIBFile:
      ExpectRaises<EZrDIBInvalidDIBFile>(Load, Message);
      break;
    case TOutcome::ReadError:
      ExpectRaises<EReadError>(Load, Message);
      break;
    case TOutcome::Loads:
      Load();
      break;
  }
}

void ExpectLoaded(const TZrDIB& dib, const TExpect& e, const TBytes& filePixels) {
  const TZrInternalDIB& s = *dib.GetInternalDIB();
  EXPECT_EQ(dib.GetPixelFormat(), e.Format);
  EXPECT_EQ(dib.GetWidth(), e.Width);
  EXPECT_EQ(dib.GetHeight(), e.Height);
  EXPECT_EQ(s.BitmapInfo.bmiHeader.biHeight, e.BiHeight);
  EXPECT_EQ(s.BitmapInfo.bmiHeader.biClrUsed, e.ClrUsed);
  EXPECT_EQ(s.BitmapInfo.bmiHeader.biXPelsPerMeter, 3780);
  ASSERT_EQ(s.ImageSize, e.ImageSize);
  const TBytes& want = e.Pixels.empty() ? filePixels : e.Pixels;
  EXPECT_EQ(TBytes(s.Bits, s.Bits + s.ImageSize), want);
  if (e.ClrUsed >= 12 && e.ClrUsed <= 256) {
    EXPECT_EQ(s.BitmapInfo.bmiColors[11], Entry(11));
  }
}

class BmpReadTest : public ::testing::TestWithParam<bool> {
 protected:
  TDefaultUseFMOScope FScope{GetParam()};
};
INSTANTIATE_TEST_SUITE_P(Memory, BmpReadTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "FileMapping" : "Heap"; });

TEST_P(BmpReadTest, HandBuiltFiles) {
  for (const TCase& c : FileCases()) {
    SCOPED_TRACE(c.Name);
    const TBytes file = Build(c.File);
    TZrDIB dib;
    dib.SetWidth(3);
    dib.GetScanLine(0)[0] = 42;
    const TZrInternalDIB* before = dib.GetInternalDIB();
    int changes = 0;
    dib.SetOnChange([&](TObject*) { ++changes; });
    const auto objects = GdiObjectCount();
    const auto live = LiveMemoryCount();

    TWatchedStream stream;
    stream.WriteBuffer(file.data(), static_cast<std::int64_t>(file.size()));
    stream.SetPosition(0);
    ExpectOutcome([&] { dib.LoadFromStream(stream); }, c.Expect.Outcome, c.Expect.Message);
    // No read asks for more than the stream holds.
    EXPECT_LE(stream.Largest, static_cast<std::int64_t>(file.size()));
    if (c.Expect.Outcome == TOutcome::Loads) {
      EXPECT_EQ(changes, 1);
      EXPECT_EQ(dib.GetUseFMO(), GetParam());
      EXPECT_EQ(stream.GetPosition(), static_cast<std::int64_t>(file.size()));
      ExpectLoaded(dib, c.Expect, FilePixels(file));
      continue;
    }
    EXPECT_EQ(dib.GetInternalDIB(), before);
    EXPECT_EQ(dib.GetWidth(), 3);
    EXPECT_EQ(dib.GetScanLine(0)[0], 42);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(GdiObjectCount(), objects);
    EXPECT_EQ(LiveMemoryCount(), live);
  }
}

TEST_P(BmpReadTest, HandBuiltPackedDIBs) {
  const char* const clipShort = "TZrInternalDIB.LoadFromClipboardFormat: Pixel Data is too Short";
  for (const TCase& c : FileCases()) {
    // A packed DIB has no file header: its pixels follow the colour table.
    if (c.File.Type != 0x4D42 || c.File.Gap != 0 || c.File.OffBits || c.File.Size) continue;
    SCOPED_TRACE(c.Name);
    const TBytes file = Build(c.File);
    TExpect e = c.Expect;
    if (e.Message == std::string(TooShort)) e.Message = clipShort;
    if (e.Message == std::string("TZrInternalDIB.LoadFromStream: Invalid Bitmap Header Size"))
      e.Message = "TZrDIB.LoadFromClipboardFormat: Invalid Clipboard Data";
    // A colour table past the block's end is the block's fault, not bfOffBits'.
    if (e.Message == std::string(OffBitsTooSmall))
      e.Message = "TZrInternalDIB.LoadFromClipboardFormat: Color Table is too Short";
    if (c.File.HeaderSize == 40 && c.File.Bits == 2)
      e.Message = "TZrInternalDIB.LoadFromClipboardFormat: Invalid biBitCount";
    // Core headers are not checked for their bit count here: 16 bits take the
    // conversion, which finds no rows.
    if (c.File.HeaderSize == 12 && c.File.Bits == 16) e.Message = clipShort;
    // The block's size is the pixel count: rows past it are missing, not unread.
    if (e.Outcome == TOutcome::ReadError) e.Outcome = TOutcome::InvalidDIB, e.Message = clipShort;

    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, file.size() - 14);
    std::memcpy(GlobalLock(block), file.data() + 14, file.size() - 14);
    GlobalUnlock(block);
    TZrInternalDIB storage(GetParam());
    const auto live = LiveMemoryCount();
    ExpectOutcome([&] { storage.LoadFromClipboardFormat(block); }, e.Outcome, e.Message);
    EXPECT_FALSE(GlobalUnlock(block));  // unlocked in every case
    GlobalFree(block);
    if (e.Outcome != TOutcome::Loads) {
      EXPECT_EQ(storage.Width, 1);
      EXPECT_EQ(storage.BitmapInfo.bmiHeader.biBitCount, 8);
      EXPECT_EQ(LiveMemoryCount(), live);
      continue;
    }
    TZrDIB dib;
    const HGLOBAL saved = storage.SaveToClipboardFormat();
    dib.GetInternalDIB()->LoadFromClipboardFormat(saved);
    GlobalFree(saved);
    ExpectLoaded(dib, e, FilePixels(file));
  }
}

// Blocks cut short at every part, and headers no packed DIB has.
TEST_P(BmpReadTest, PackedDIBsThatAreTooShort) {
  TBmp f;
  f.ClrUsed = 4;
  f.Pixels = Eight;
  const TBytes file = Build(f);
  const TBytes packed(file.begin() + 14, file.end());  // 40 + 16 + 8 bytes
  TBmp core;
  core.HeaderSize = 12;
  core.Bits = 24;
  core.Pixels = TBytes(16, 0);
  const TBytes coreFile = Build(core);
  const TBytes corePacked(coreFile.begin() + 14, coreFile.end());  // 12 + 16 bytes
  const char* const invalid = "TZrDIB.LoadFromClipboardFormat: Invalid Clipboard Data";
  const char* const table = "TZrInternalDIB.LoadFromClipboardFormat: Color Table is too Short";
  const char* const rows = "TZrInternalDIB.LoadFromClipboardFormat: Pixel Data is too Short";
  struct TCut {
    const TBytes* Bytes;
    std::size_t Length;
    const char* Message;
  };
  for (const TCut c : {TCut{&packed, 0, invalid}, TCut{&packed, 3, invalid}, TCut{&packed, 39, invalid},
                       TCut{&packed, 40, table}, TCut{&packed, 55, table}, TCut{&packed, 56, rows},
                       TCut{&packed, 63, rows}, TCut{&corePacked, 11, invalid}, TCut{&corePacked, 27, rows}}) {
    SCOPED_TRACE(c.Length);
    // Exactly as long as the cut, so a read past it is a sanitizer error.
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, c.Length);
    if (c.Length) std::memcpy(GlobalLock(block), c.Bytes->data(), c.Length), GlobalUnlock(block);
    TZrInternalDIB storage(GetParam());
    ExpectRaises<EZrDIBInvalidDIB>([&] { storage.LoadFromClipboardFormat(block); }, c.Message);
    GlobalFree(block);
    EXPECT_EQ(storage.ImageSize, 4);
  }
  TZrInternalDIB storage(GetParam());
  ExpectRaises<EZrDIBInvalidDIB>([&] { storage.LoadFromClipboardFormat(HGLOBAL{}); }, invalid);
}

TEST_P(BmpReadTest, SavedFileLoadsBackUnchanged) {
  for (const TCase& c : FileCases()) {
    if (c.Expect.Outcome != TOutcome::Loads) continue;
    SCOPED_TRACE(c.Name);
    TMemoryStream in = StreamOf(Build(c.File));
    TZrDIB dib;
    dib.LoadFromStream(in);
    TMemoryStream out;
    dib.SaveToStream(out);
    const TZrInternalDIB& s = *dib.GetInternalDIB();
    const DWORD offBits = 54 + 4 * s.BitmapInfo.bmiHeader.biClrUsed;
    const auto bytes = out.Memory();
    ASSERT_EQ(bytes.size(), offBits + static_cast<std::size_t>(s.ImageSize));
    DWORD fileSize, fileOff;
    std::memcpy(&fileSize, bytes.data() + 2, 4);
    std::memcpy(&fileOff, bytes.data() + 10, 4);
    EXPECT_EQ(fileOff, offBits);
    EXPECT_EQ(fileSize, bytes.size());
    TZrDIB again;
    out.SetPosition(0);
    again.LoadFromStream(out);
    const TZrInternalDIB& t = *again.GetInternalDIB();
    EXPECT_EQ(std::memcmp(&t.BitmapInfo, &s.BitmapInfo, 40 + 4 * s.BitmapInfo.bmiHeader.biClrUsed), 0);
    EXPECT_EQ(TBytes(t.Bits, t.Bits + t.ImageSize), TBytes(s.Bits, s.Bits + s.ImageSize));
  }
}

// Whatever a DIB holds, what it saves (as a file or a packed DIB) loads back
// with its pixels and colours; a colour table of biClrUsed 0 is read in full.
TEST_P(BmpReadTest, EveryDIBThatSavesLoadsBack) {
  struct TCase {
    int Bits, Width, Height;
    bool ClearPalette;
    TZrPixelFormat Format;
  };
  for (const TCase c : {TCase{1, 4, 4, true, zrpf1Bit}, TCase{4, 4, 4, true, zrpf4Bit}, TCase{8, 4, 4, true, zrpf8Bit},
                        TCase{8, 64, 64, true, zrpf8Bit}, TCase{4, 33, 3, true, zrpf4Bit},
                        TCase{8, 64, 64, true, zrpf8BitRLE}, TCase{8, 5, 5, false, zrpf8Bit},
                        TCase{24, 5, 3, true, zrpf24Bit}}) {
    SCOPED_TRACE(testing::Message() << c.Bits << " bits " << c.Width << " x " << c.Height << " format "
                                    << static_cast<int>(c.Format));
    TZrDIB dib;
    dib.SetWidth(c.Width);
    dib.SetHeight(c.Height);
    dib.SetBitCount(c.Bits);
    for (int i = 0; i < NumColorsOf(c.Bits); ++i)
      dib.SetColors(i, static_cast<TColor>(RGB(static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 7)));
    for (int y = 0; y < c.Height; ++y) {
      const auto row = dib.GetScanLine(y);
      for (std::size_t x = 0; x < row.size(); ++x) row[x] = static_cast<BYTE>(x / 3 + 5 * y);
    }
    if (c.Format != dib.GetPixelFormat()) dib.SetPixelFormat(c.Format);
    if (c.ClearPalette) dib.SetPalette({});
    const TZrInternalDIB& s = *dib.GetInternalDIB();
    const DWORD entries = s.BitmapInfo.bmiHeader.biClrUsed != 0 ? s.BitmapInfo.bmiHeader.biClrUsed
                                                                  : static_cast<DWORD>(NumColorsOf(c.Bits));
    const auto expectSame = [&](const TZrInternalDIB& t) {
      EXPECT_EQ(t.BitmapInfo.bmiHeader.biBitCount, c.Bits);
      EXPECT_EQ(t.BitmapInfo.bmiHeader.biCompression, s.BitmapInfo.bmiHeader.biCompression);
      EXPECT_EQ(t.Width, c.Width);
      EXPECT_EQ(t.Height, c.Height);
      EXPECT_EQ(t.BitmapInfo.bmiHeader.biClrUsed, entries);
      for (DWORD i = 0; i < entries; ++i) EXPECT_EQ(t.BitmapInfo.bmiColors[i], s.BitmapInfo.bmiColors[i]) << i;
      EXPECT_EQ(TBytes(t.Bits, t.Bits + t.ImageSize), TBytes(s.Bits, s.Bits + s.ImageSize));
    };

    TMemoryStream file;
    dib.SaveToStream(file);
    DWORD offBits;
    std::memcpy(&offBits, file.Memory().data() + 10, 4);
    EXPECT_EQ(offBits, 54 + 4 * entries);
    file.SetPosition(0);
    TZrDIB fromFile;
    fromFile.LoadFromStream(file);
    expectSame(*fromFile.GetInternalDIB());

    WORD format;
    HGLOBAL block;
    HPALETTE palette;
    dib.SaveToClipboardFormat(format, block, palette);
    EXPECT_EQ(GlobalSize(block), 40 + 4 * entries + static_cast<std::size_t>(s.ImageSize));
    TZrDIB fromBlock;
    fromBlock.LoadFromClipboardFormat(format, block, palette);
    GlobalFree(block);
    expectSame(*fromBlock.GetInternalDIB());
  }
}

// Bit-field masks of a depth that has none load as stored, but a storage that
// holds them is not written: no reader would find its colours and pixels.
TEST_P(BmpReadTest, MasksOfDepthsWithoutThemAreNotSaved) {
  for (const WORD bits : {1, 4, 8, 24}) {
    SCOPED_TRACE(bits);
    TBmp f;
    f.Bits = bits;
    f.Compression = BI_BITFIELDS;
    f.Masks = {0xF800, 0x07E0, 0x001F};
    f.ClrUsed = bits == 24 ? 0 : 2;
    f.Pixels = TBytes(static_cast<std::size_t>(2 * DIBStride(bits, 2)), 1);
    TMemoryStream in = StreamOf(Build(f));
    TZrDIB dib;
    dib.LoadFromStream(in);
    ASSERT_EQ(HeaderOf(dib).biCompression, static_cast<DWORD>(BI_BITFIELDS));
    TMemoryStream out;
    ExpectRaises<EZrDIBBadDIBType>([&] { dib.SaveToStream(out); }, "TZrDIB.SaveToStream: Cannot Save Bit Fields");
    EXPECT_EQ(out.GetSize(), 0);
    WORD format;
    HGLOBAL block{};
    HPALETTE palette;
    ExpectRaises<EZrDIBBadDIBType>([&] { dib.SaveToClipboardFormat(format, block, palette); },
                                   "TZrInternalDIB.SaveToClipboardFormat: Cannot Save Bit Fields");
  }
}

TEST(BmpBitFieldsTest, MaskShifts) {
  struct TCase {
    DWORD Mask;
    int Shift;
  };
  for (const TCase c : {TCase{0xFF, 0}, TCase{0x80, 0}, TCase{0x1F, -3}, TCase{0x01, -7}, TCase{0x7C00, 7},
                        TCase{0x07E0, 3}, TCase{0xFF000000, 24}, TCase{0xFFFFFFFF, 24}, TCase{0x100, 1}}) {
    EXPECT_EQ(MaskShiftOf(c.Mask), c.Shift) << std::hex << c.Mask;
  }
}

TEST(BmpCoreHeaderTest, CoreToInfoHeaderInPlace) {
  BITMAPINFO info;
  BYTE* raw = reinterpret_cast<BYTE*>(&info);
  const BYTE core[12] = {12, 0, 0, 0, 0x34, 0x12, 0xFE, 0xFF, 1, 0, 8, 0};  // 0x1234 x 0xFFFE, 8 bits
  std::memcpy(raw, core, sizeof core);
  for (int i = 0; i < 256; ++i) {
    raw[12 + 3 * i] = static_cast<BYTE>(i);
    raw[13 + 3 * i] = static_cast<BYTE>(255 - i);
    raw[14 + 3 * i] = static_cast<BYTE>(i / 2);
  }
  CoreToInfoHeader(info);
  const auto& h = info.bmiHeader;
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 0x1234);
  EXPECT_EQ(h.biHeight, 0xFFFE);  // unsigned: bottom-up
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 8);
  EXPECT_EQ(h.biClrUsed, 256u);
  EXPECT_EQ(h.biXPelsPerMeter, 3780);
  for (int i = 0; i < 256; ++i) {
    const RGBQUAD want{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};
    EXPECT_EQ(info.bmiColors[i], want) << i;
  }
}

// Sizes whose byte count does not fit 31 bits are refused before any product
// can overflow, for both kinds of memory.
TEST(BmpStorageLimitsTest, CreateDIBRefusesSizesPastItsCount) {
  struct TCase {
    int Width, Height, Bits;
  };
  for (const bool fmo : {true, false}) {
    for (const TCase c : {TCase{INT_MAX, INT_MIN, 24}, TCase{INT_MAX, INT_MAX, 24}, TCase{1, INT_MIN, 1},
                          TCase{INT_MAX, 1, 24}, TCase{0x10000, -0x10000, 8}}) {
      SCOPED_TRACE(testing::Message() << fmo << " " << c.Width << " x " << c.Height);
      TZrInternalDIB storage(fmo, TZrInternalDIB::NoPixels);
      ExpectRaises<EZrDIBInvalidDIBPara>([&] { storage.CreateDIB(c.Width, c.Height, 0, c.Bits); },
                                         "TZrInternalDIB.CreateDIB: Invalid Parameters");
      EXPECT_EQ(storage.Bits, nullptr);
      EXPECT_EQ(storage.Height, 0);
    }
  }
}

TEST(BmpStorageLimitsTest, GetMemoryRefusesEmptyMappings) {
  for (const std::int32_t size : {0, -1, -4096, INT_MIN}) {
    HANDLE mapping;
    BYTE* bits = nullptr;
    ExpectRaises<EOutOfResources>([&] { GetMemory(size, true, mapping, bits); },
                                  "GetMemory: Cannot Make File Mapping Object");
    EXPECT_EQ(bits, nullptr);
  }
}

}  // namespace
