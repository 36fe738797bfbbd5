// The public BMP test suite: every file loads or is refused as the reading
// rules say, what loads looks like its reference picture when drawn, and saves
// and loads back unchanged.

#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "dib/ZrDIB.h"
#include "dib/ZrDIBMemory.h"
#include "host/Gdi.h"
#include "host/GdiObjects.h"

namespace {

namespace fs = std::filesystem;

enum class TRefusal { None, InvalidDIB, InvalidDIBFile, ReadError };

struct TSuiteFile {
  const char* Path;
  TRefusal Refusal;
  TZrPixelFormat Format;  // when it loads
  const char* Message;    // when it is refused
  const char* Reference;  // the reference picture under html/, if any
  int Tolerance = 0;      // largest difference of a colour component the rules make right
  const char* Why = "";
};

constexpr const char* HeaderSize = "TZrInternalDIB.LoadFromStream: Invalid Bitmap Header Size";
constexpr const char* BitCout = "TZrInternalDIB.LoadFromStream: Invalid BitCout";
constexpr const char* TooShort = "TZrInternalDIB.LoadFromStream: Pixel Data is too Short";

TSuiteFile Loads(const char* Path, TZrPixelFormat Format, const char* Reference, int Tolerance = 0,
                 const char* Why = "") {
  return {Path, TRefusal::None, Format, "", Reference, Tolerance, Why};
}
TSuiteFile Refused(const char* Path, const char* Message, const char* Why = "",
                   TRefusal Refusal = TRefusal::InvalidDIB) {
  return {Path, Refusal, zrpf8Bit, Message, nullptr, 0, Why};
}

// 5- and 6-bit fields scale by x 255 div scale, which truncates: 30 of 31 gives
// 246 where the reference rounds to 247.
constexpr const char* Truncates = "components scaled by x 255 div scale, truncated; the reference rounds";
// Fields wider than 8 bits keep their highest 8 bits, which the reference rounds.
constexpr const char* TopBits = "11- and 10-bit fields keep their highest 8 bits; the reference rounds the field";
// Skipped pixels keep the surface's black.
constexpr const char* Skips = "pixels the RLE data skips stay as drawn before: black";

const std::vector<TSuiteFile>& Suite() {
  static const std::vector<TSuiteFile> suite = {
      Loads("g/pal1.bmp", zrpf1Bit, "pal1.png"),
      Loads("g/pal1bg.bmp", zrpf1Bit, "pal1bg.png"),
      Loads("g/pal1wb.bmp", zrpf1Bit, "pal1.png"),
      Loads("g/pal4.bmp", zrpf4Bit, "pal4.png"),
      Loads("g/pal4gs.bmp", zrpf4Bit, "pal4gs.png"),
      Loads("g/pal4rle.bmp", zrpf4BitRLE, "pal4.png"),
      Loads("g/pal8-0.bmp", zrpf8Bit, "pal8.png"),
      Loads("g/pal8.bmp", zrpf8Bit, "pal8.png"),
      Loads("g/pal8gs.bmp", zrpf8Bit, "pal8gs.png"),
      Loads("g/pal8nonsquare.bmp", zrpf8Bit, "pal8nonsquare-e.png"),
      Loads("g/pal8os2.bmp", zrpf8Bit, "pal8.png"),
      Loads("g/pal8rle.bmp", zrpf8BitRLE, "pal8.png"),
      Loads("g/pal8topdown.bmp", zrpf8Bit, "pal8.png"),
      Refused("g/pal8v4.bmp", HeaderSize, "108-byte header"),
      Refused("g/pal8v5.bmp", HeaderSize, "124-byte header"),
      Loads("g/pal8w124.bmp", zrpf8Bit, "pal8w124.png"),
      Loads("g/pal8w125.bmp", zrpf8Bit, "pal8w125.png"),
      Loads("g/pal8w126.bmp", zrpf8Bit, "pal8w126.png"),
      Loads("g/rgb16-565.bmp", zrpf24Bit, "rgb16-565.png", 1, Truncates),
      Loads("g/rgb16-565pal.bmp", zrpf24Bit, "rgb16-565.png", 1, Truncates),
      Loads("g/rgb16.bmp", zrpf24Bit, "rgb16.png", 1, Truncates),
      Loads("g/rgb16bfdef.bmp", zrpf24Bit, "rgb16.png", 1, Truncates),
      Loads("g/rgb24.bmp", zrpf24Bit, "rgb24.png"),
      Loads("g/rgb24pal.bmp", zrpf24Bit, "rgb24.png"),
      Loads("g/rgb32.bmp", zrpf24Bit, "rgb24.png"),
      Loads("g/rgb32bf.bmp", zrpf24Bit, "rgb24.png"),
      Loads("g/rgb32bfdef.bmp", zrpf24Bit, "rgb24.png"),

      Refused("q/pal1huffmsb.bmp", HeaderSize, "64-byte header"),
      Loads("q/pal1p1.bmp", zrpf1Bit, "pal1p1.png"),
      Refused("q/pal2.bmp", BitCout, "2 bits"),
      Refused("q/pal2color.bmp", BitCout, "2 bits"),
      Loads("q/pal4rletrns.bmp", zrpf4BitRLE, "pal4rletrns-b.png", 0, Skips),
      Loads("q/pal8offs.bmp", zrpf8Bit, "pal8.png"),
      Refused("q/pal8os2-sz.bmp", TooShort, "bfSize 26 leaves no pixel bytes"),
      Refused("q/pal8os2v2-16.bmp", HeaderSize, "16-byte header"),
      Refused("q/pal8os2v2-40sz.bmp", TooShort, "bfSize 54 leaves no pixel bytes"),
      Refused("q/pal8os2v2-sz.bmp", HeaderSize, "64-byte header"),
      Refused("q/pal8os2v2.bmp", HeaderSize, "64-byte header"),
      Loads("q/pal8oversizepal.bmp", zrpf8Bit, "pal8.png"),
      Loads("q/pal8rlecut.bmp", zrpf8BitRLE, "pal8rlecut-b.png", 0, Skips),
      Loads("q/rgb16-231.bmp", zrpf24Bit, "rgb16-231.png", 1, Truncates),
      Loads("q/rgb16faketrns.bmp", zrpf24Bit, "rgb16.png", 1, Truncates),
      Refused("q/rgb24jpeg.bmp", HeaderSize, "124-byte header"),
      Refused("q/rgb24lprof.bmp", HeaderSize, "124-byte header"),
      Refused("q/rgb24png.bmp", HeaderSize, "124-byte header"),
      Refused("q/rgb24prof.bmp", HeaderSize, "124-byte header"),
      Refused("q/rgb24prof2.bmp", HeaderSize, "124-byte header"),
      Refused("q/rgb24rle24.bmp", HeaderSize, "64-byte header"),
      Loads("q/rgb32-111110.bmp", zrpf24Bit, "rgb24.png", 1, TopBits),
      Refused("q/rgb32-xbgr.bmp", HeaderSize, "124-byte header"),
      Loads("q/rgb32fakealpha.bmp", zrpf24Bit, "rgb24.png"),
      Refused("q/rgb32h52.bmp", HeaderSize, "52-byte header"),
      Refused("q/rgba16-1924.bmp", HeaderSize, "124-byte header"),
      Refused("q/rgba16-4444.bmp", HeaderSize, "124-byte header"),
      Refused("q/rgba16-5551.bmp", HeaderSize, "124-byte header"),
      Refused("q/rgba32-1.bmp", HeaderSize, "124-byte header"),
      Refused("q/rgba32-1010102.bmp", HeaderSize, "124-byte header"),
      Refused("q/rgba32-2.bmp", HeaderSize, "124-byte header"),
      Refused("q/rgba32-61754.bmp", HeaderSize, "124-byte header"),
      Refused("q/rgba32-81284.bmp", HeaderSize, "124-byte header"),
      Refused("q/rgba32abf.bmp", "TZrInternalDIB.LoadFromStream: Invalid Masks",
              "compression 6 puts no masks where this reader reads them"),
      Refused("q/rgba32h56.bmp", HeaderSize, "56-byte header"),
      Refused("q/rgba64.bmp", BitCout, "64 bits"),

      Refused("b/badbitcount.bmp", BitCout),
      Loads("b/badbitssize.bmp", zrpf1Bit, nullptr, 0, "biSizeImage is not used for reading"),
      Loads("b/baddens1.bmp", zrpf1Bit, nullptr, 0, "densities are kept"),
      Loads("b/baddens2.bmp", zrpf1Bit, nullptr, 0, "densities are kept"),
      Refused("b/badfilesize.bmp", "ストリームの読み込みエラー", "bfSize beyond the end of the file",
              TRefusal::ReadError),
      Refused("b/badheadersize.bmp", HeaderSize, "66-byte header"),
      Refused("b/badpalettesize.bmp", "TZrInternalDIB.LoadFromFile: bfOffBits is too small", "biClrUsed 305402420"),
      Loads("b/badplanes.bmp", zrpf1Bit, nullptr, 0, "biPlanes is not validated"),
      Loads("b/badrle.bmp", zrpf8BitRLE, nullptr, 0, "RLE data is kept as stored"),
      Loads("b/badrle4.bmp", zrpf4BitRLE, nullptr, 0, "RLE data is kept as stored"),
      Loads("b/badrle4ter.bmp", zrpf4BitRLE, nullptr, 0, "RLE data is kept as stored"),
      Loads("b/badrlebis.bmp", zrpf8BitRLE, nullptr, 0, "RLE data is kept as stored"),
      Refused("b/badwidth.bmp", "TZrInternalDIB.LoadFromStream: Invalid Width or Height"),
      Loads("b/pal8badindex.bmp", zrpf8Bit, nullptr, 0, "indexes past biClrUsed draw black"),
      Refused("b/reallybig.bmp", TooShort, "3000000 x 2000000 rows in 2 GB"),
      Loads("b/rletopdown.bmp", zrpf8BitRLE, nullptr, 0, "RLE data is kept as stored"),
      Refused("b/shortfile.bmp", "ストリームの読み込みエラー", "the file ends in the rows", TRefusal::ReadError),

      Refused("x/ba-bm.bmp", "TZrInternalDIB.LoadFromFile: File type is invalid", "", TRefusal::InvalidDIBFile),
  };
  return suite;
}

// The picture drawn through StretchDIBits into a 24-bit surface, as 0x00RRGGBB, rows from the top.
std::vector<std::uint32_t> Drawn(const TZrDIB& dib) {
  const TZrInternalDIB& s = *dib.GetInternalDIB();
  const int w = s.Width, h = s.Height;
  BITMAPINFO surfaceInfo;
  surfaceInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  surfaceInfo.bmiHeader.biWidth = w;
  surfaceInfo.bmiHeader.biHeight = -h;
  surfaceInfo.bmiHeader.biPlanes = 1;
  surfaceInfo.bmiHeader.biBitCount = 24;
  const HDC dc = CreateCompatibleDC({});
  void* raw = nullptr;
  const HBITMAP bitmap = CreateDIBSection(dc, &surfaceInfo, DIB_RGB_COLORS, &raw, {}, 0);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  const HBRUSH black = CreateSolidBrush(0);
  const TRect all = Rect(0, 0, w, h);
  FillRect(dc, &all, black);
  DeleteObject(black);
  // RLE data is as long as the storage holds it, whatever the file's biSizeImage said.
  BITMAPINFO info = s.BitmapInfo;
  if (info.bmiHeader.biCompression == BI_RLE8 || info.bmiHeader.biCompression == BI_RLE4)
    info.bmiHeader.biSizeImage = static_cast<DWORD>(s.ImageSize);
  StretchDIBits(dc, 0, 0, w, h, 0, 0, w, h, s.Bits, &info, DIB_RGB_COLORS, SRCCOPY);
  std::vector<std::uint32_t> pixels;
  const auto* bits = static_cast<const BYTE*>(raw);
  const std::size_t stride = (3 * static_cast<std::size_t>(w) + 3) / 4 * 4;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const BYTE* p = bits + y * stride + 3 * x;
      pixels.push_back(static_cast<std::uint32_t>(p[2]) << 16 | p[1] << 8 | p[0]);
    }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

// The largest difference of one colour component, or -1 when the sizes differ
// or the reference is not opaque; Above tells whether any drawn component is
// larger than the reference's.
int LargestDifference(const std::vector<std::uint32_t>& drawn, int w, int h, const QImage& reference, bool& Above) {
  Above = false;
  if (reference.width() != w || reference.height() != h) return -1;
  const QImage argb = reference.convertToFormat(QImage::Format_ARGB32);
  int largest = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const QRgb want = argb.pixel(x, y);
      if (qAlpha(want) != 255) return -1;
      const std::uint32_t got = drawn[static_cast<std::size_t>(y) * w + x];
      for (const int shift : {0, 8, 16}) {
        const int d = static_cast<int>((got >> shift) & 0xFF) - static_cast<int>((want >> shift) & 0xFF);
        largest = std::max(largest, std::abs(d));
        Above = Above || d > 0;
      }
    }
  return largest;
}

void ExpectSavedAndLoadedBack(TZrDIB& dib) {
  TMemoryStream stream;
  dib.SaveToStream(stream);
  stream.SetPosition(0);
  TZrDIB again;
  again.LoadFromStream(stream);
  const TZrInternalDIB& a = *dib.GetInternalDIB();
  const TZrInternalDIB& b = *again.GetInternalDIB();
  EXPECT_EQ(std::memcmp(&a.BitmapInfo, &b.BitmapInfo, 40 + 4 * a.BitmapInfo.bmiHeader.biClrUsed), 0);
  ASSERT_EQ(a.ImageSize, b.ImageSize);
  EXPECT_EQ(std::memcmp(a.Bits, b.Bits, static_cast<std::size_t>(a.ImageSize)), 0);
}

TEST(BmpSuiteTest, EveryFileLoadsOrIsRefusedAsTheRulesSay) {
  const fs::path root = TARVELIN_BMPSUITE;
  if (!fs::is_directory(root / "g")) GTEST_SKIP() << "BMP suite not found at " << root << ": skipped";
  std::map<std::string, const TSuiteFile*> table;
  for (const TSuiteFile& f : Suite()) table[f.Path] = &f;

  int loaded = 0, refused = 0, matched = 0, compared = 0;
  const auto objects = GdiObjectCount();
  const auto live = LiveMemoryCount();
  for (const char* folder : {"g", "q", "b", "x"}) {
    if (!fs::is_directory(root / folder)) {
      std::printf("BMP suite folder %s/ is absent: skipped\n", folder);
      continue;
    }
    for (const auto& entry : fs::directory_iterator(root / folder)) {
      const std::string name = std::string(folder) + "/" + entry.path().filename().string();
      SCOPED_TRACE(name);
      const auto found = table.find(name);
      if (found == table.end()) {
        ADD_FAILURE() << "no expected outcome for " << name;
        continue;
      }
      const TSuiteFile& f = *found->second;
      TZrDIB dib;
      std::string message;
      TRefusal refusal = TRefusal::None;
      try {
        dib.LoadFromFile(entry.path().string());
      } catch (const EZrDIBInvalidDIB& e) {
        refusal = TRefusal::InvalidDIB, message = e.Message();
      } catch (const EZrDIBInvalidDIBFile& e) {
        refusal = TRefusal::InvalidDIBFile, message = e.Message();
      } catch (const EReadError& e) {
        refusal = TRefusal::ReadError, message = e.Message();
      }
      EXPECT_EQ(refusal, f.Refusal) << message;
      if (refusal != TRefusal::None) {
        ++refused;
        EXPECT_EQ(message, f.Message);
        continue;
      }
      ++loaded;
      EXPECT_EQ(dib.GetPixelFormat(), f.Format);
      ExpectSavedAndLoadedBack(dib);
      const auto drawn = Drawn(dib);
      if (!f.Reference) continue;
      ++compared;
      const QImage reference(QString::fromStdString((root / "html" / f.Reference).string()));
      ASSERT_FALSE(reference.isNull()) << f.Reference;
      bool above = false;
      const int difference = LargestDifference(drawn, dib.GetWidth(), dib.GetHeight(), reference, above);
      EXPECT_GE(difference, 0) << "reference " << f.Reference << " has another size or transparency";
      EXPECT_LE(difference, f.Tolerance) << f.Reference;
      // Truncation only ever rounds down.
      if (difference > 0 && f.Why == Truncates) {
        EXPECT_FALSE(above) << f.Why;
      }
      if (difference == 0) ++matched;
    }
  }
  FreeSpareMemory();
  EXPECT_EQ(GdiObjectCount(), objects);
  EXPECT_EQ(LiveMemoryCount(), live);
  std::printf("BMP suite: %d loaded, %d refused, %d of %d compared pictures match their reference exactly\n", loaded,
              refused, matched, compared);
}

}  // namespace
