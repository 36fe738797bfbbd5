// The desktop clipboard backend: BMP files and images to and from packed DIBs,
// and DIBs through the real (offscreen) QClipboard.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <cstring>
#include <vector>

#include "dib/ZrDIB.h"
#include "host/Kernel.h"
#include "host/qt/Clipboard.h"
#include "host/qt/ClipboardImage.h"
#include "tests/host/qt/QtTestApplication.h"

namespace {

using TBytes = std::vector<BYTE>;

void Put32(TBytes& b, std::size_t at, DWORD v) { std::memcpy(b.data() + at, &v, 4); }
void Put16(TBytes& b, std::size_t at, WORD v) { std::memcpy(b.data() + at, &v, 2); }

// A 2 x 2, 8-bit packed DIB with 2 colours: 40 + 8 + 8 bytes.
TBytes Packed() {
  TBytes b(56, 0);
  Put32(b, 0, 40);
  Put32(b, 4, 2);
  Put32(b, 8, 2);
  Put16(b, 12, 1);
  Put16(b, 14, 8);
  Put32(b, 32, 2);
  b[40] = 0x10, b[41] = 0x20, b[42] = 0x30;  // colour 0: blue, green, red
  b[44] = 0xA0, b[45] = 0xB0, b[46] = 0xC0;
  b[48] = 1, b[53] = 1;  // bottom row: 1 0; top row: 0 1
  return b;
}

// A BMP file of it with Gap bytes before the pixels.
TBytes File(const TBytes& packed, std::size_t gap = 0) {
  TBytes f(14 + gap + packed.size(), 0);
  f[0] = 'B', f[1] = 'M';
  const auto pixels = std::copy(packed.begin(), packed.begin() + 48, f.begin() + 14);
  std::fill(pixels, pixels + static_cast<std::ptrdiff_t>(gap), 0xEE);
  std::copy(packed.begin() + 48, packed.end(), pixels + static_cast<std::ptrdiff_t>(gap));
  Put32(f, 2, static_cast<DWORD>(f.size()));
  Put32(f, 10, static_cast<DWORD>(14 + 48 + gap));
  return f;
}

QByteArray Array(const TBytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size())); }

TBytes PackedOf(TZrDIB& DIB) {
  WORD format;
  HGLOBAL data;
  HPALETTE palette;
  DIB.SaveToClipboardFormat(format, data, palette);
  const auto* bytes = static_cast<const BYTE*>(GlobalLock(data));
  TBytes packed(bytes, bytes + GlobalSize(data));
  GlobalUnlock(data);
  GlobalFree(data);
  return packed;
}

// The desktop clipboard for one test, the previous backend back afterwards.
class QtClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApplication();
    FSaved = InstallQtClipboard();
  }
  void TearDown() override { Clipboard().SetBackend(FSaved); }
  std::shared_ptr<TClipboardBackend> FSaved;
};

}  // namespace

TEST(ClipboardImageTest, BmpFilesGiveTheirPackedDIB) {
  const TBytes packed = Packed();
  const TBytes plain = File(packed);
  EXPECT_EQ(plain.size(), 70u);
  struct TCase {
    const char* Name;
    TBytes File;
    TBmpFileDIB::TKind Kind;
  };
  std::vector<TCase> cases = {{"plain", plain, TBmpFileDIB::Packed}, {"gap", File(packed, 4), TBmpFileDIB::Packed}};
  const auto with = [&](const char* name, auto change, TBmpFileDIB::TKind kind) {
    TBytes f = plain;
    change(f);
    cases.push_back({name, f, kind});
  };
  with("no size", [](TBytes& f) { Put32(f, 2, 0); }, TBmpFileDIB::Packed);
  with("longer than it is", [](TBytes& f) { Put32(f, 2, 71); }, TBmpFileDIB::Malformed);
  with("cut", [](TBytes& f) { f.resize(69); }, TBmpFileDIB::Malformed);
  with("not BM", [](TBytes& f) { f[1] = 'X'; }, TBmpFileDIB::Malformed);
  with("pixels in the table", [](TBytes& f) { Put32(f, 10, 61); }, TBmpFileDIB::Malformed);
  with("pixels past the end", [](TBytes& f) { Put32(f, 10, 71); }, TBmpFileDIB::Malformed);
  with("table past the end", [](TBytes& f) { Put32(f, 14 + 32, 100); }, TBmpFileDIB::Malformed);
  with("later header", [](TBytes& f) { Put32(f, 14, 124); }, TBmpFileDIB::Unsupported);
  with("no header", [](TBytes& f) { f.resize(16); }, TBmpFileDIB::Malformed);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TBmpFileDIB result = PackedDIBFromBmpFile(Array(c.File));
    EXPECT_EQ(result.Kind, c.Kind);
    if (c.Kind == TBmpFileDIB::Packed) {
      EXPECT_EQ(result.Bytes, packed);
    }
  }
  EXPECT_EQ(BmpFileFromPackedDIB(packed), Array(plain));
  TBytes bad = packed;
  Put32(bad, 0, 108);
  EXPECT_FALSE(BmpFileFromPackedDIB(bad));
  EXPECT_FALSE(BmpFileFromPackedDIB(TBytes(packed.begin(), packed.begin() + 47)));
}

TEST(ClipboardImageTest, ImagesBecome8BitWhereIndexedElse24) {
  QImage indexed(3, 2, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9)});
  indexed.fill(0);
  indexed.setPixel(2, 0, 2);  // top row
  indexed.setPixel(0, 1, 1);
  auto p = PackedDIBFromImage(indexed);
  ASSERT_TRUE(p);
  // Header, 3 colours, 2 rows of 4 bytes.
  ASSERT_EQ(p->size(), 40u + 12u + 8u);
  BITMAPINFOHEADER h;
  std::memcpy(&h, p->data(), 40);
  EXPECT_EQ(h.biBitCount, 8);
  EXPECT_EQ(h.biClrUsed, 3u);
  EXPECT_EQ(h.biHeight, 2);
  EXPECT_EQ(TBytes(p->begin() + 40, p->begin() + 52), (TBytes{3, 2, 1, 0, 6, 5, 4, 0, 9, 8, 7, 0}));
  EXPECT_EQ(TBytes(p->begin() + 52, p->end()), (TBytes{1, 0, 0, 0, 0, 0, 2, 0}));  // bottom row first

  QImage mono(10, 1, QImage::Format_Mono);
  mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  mono.fill(0);
  mono.setPixel(9, 0, 1);
  p = PackedDIBFromImage(mono);
  ASSERT_TRUE(p);
  std::memcpy(&h, p->data(), 40);
  EXPECT_EQ(h.biBitCount, 8);
  EXPECT_EQ(h.biClrUsed, 2u);
  EXPECT_EQ((*p)[48 + 9], 1);

  QImage rgb(2, 2, QImage::Format_ARGB32);
  rgb.setPixel(0, 0, qRgba(10, 20, 30, 40));
  rgb.setPixel(1, 0, qRgb(40, 50, 60));
  rgb.setPixel(0, 1, qRgb(70, 80, 90));
  rgb.setPixel(1, 1, qRgb(100, 110, 120));
  rgb.setDotsPerMeterX(5000);
  p = PackedDIBFromImage(rgb);
  ASSERT_TRUE(p);
  ASSERT_EQ(p->size(), 40u + 16u);
  std::memcpy(&h, p->data(), 40);
  EXPECT_EQ(h.biBitCount, 24);
  EXPECT_EQ(h.biClrUsed, 0u);
  EXPECT_EQ(h.biXPelsPerMeter, 5000);
  EXPECT_EQ(TBytes(p->begin() + 40, p->end()),
            (TBytes{90, 80, 70, 120, 110, 100, 0, 0, 30, 20, 10, 60, 50, 40, 0, 0}));

  EXPECT_FALSE(PackedDIBFromImage(QImage()));
  const QImage large(100, 100, QImage::Format_RGB32);
  EXPECT_TRUE(PackedDIBFromImage(large, 300 * 100));  // rows of 300 bytes
  EXPECT_FALSE(PackedDIBFromImage(large, 300 * 100 - 1));
}

TEST_F(QtClipboardTest, DIBsGoOutAsBmpAndImageAndComeBack) {
  TZrDIB dib;
  dib.SetWidth(5);
  dib.SetHeight(3);
  for (int i = 0; i < 256; ++i) dib.SetColors(i, static_cast<TColor>(RGB(static_cast<BYTE>(i), 7, static_cast<BYTE>(255 - i))));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) dib.GetScanLine(y)[x] = static_cast<BYTE>(x * 40 + y);
  Clipboard().Assign(&dib);

  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  ASSERT_TRUE(mime);
  const TBytes packed = PackedOf(dib);
  const QByteArray bmp = mime->data("image/bmp");
  ASSERT_EQ(bmp.size(), static_cast<qsizetype>(14 + packed.size()));
  EXPECT_EQ(bmp.left(2), "BM");
  EXPECT_EQ(std::memcmp(bmp.constData() + 14, packed.data(), packed.size()), 0);
  ASSERT_TRUE(mime->hasImage());
  const QImage image = qvariant_cast<QImage>(mime->imageData());
  ASSERT_EQ(image.size(), QSize(5, 3));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(image.pixel(x, y), qRgb(x * 40 + y, 7, 255 - (x * 40 + y)));

  TZrDIB back;
  back.Assign(&Clipboard());
  EXPECT_EQ(PackedOf(back), packed);
}

TEST_F(QtClipboardTest, ImagesOfOtherProgramsLoadAndBadBmpIsRefused) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  QImage rgb(4, 3, QImage::Format_RGB32);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) rgb.setPixel(x, y, qRgb(x * 50, y * 60, 9));
  QImage indexed = rgb.convertToFormat(QImage::Format_Indexed8, {qRgb(0, 0, 9), qRgb(50, 0, 9), qRgb(100, 0, 9),
                                                                 qRgb(150, 0, 9), qRgb(0, 60, 9), qRgb(50, 60, 9),
                                                                 qRgb(100, 60, 9), qRgb(150, 60, 9), qRgb(0, 120, 9),
                                                                 qRgb(50, 120, 9), qRgb(100, 120, 9), qRgb(150, 120, 9)});
  QByteArray png;
  QBuffer buffer(&png);
  indexed.save(&buffer, "PNG");

  struct TCase {
    const char* Name;
    QMimeData* Mime;
    int Bits;
  };
  auto* asImage = new QMimeData;
  asImage->setImageData(rgb);
  auto* asPng = new QMimeData;
  asPng->setData("image/png", png);
  for (const TCase c : {TCase{"image", asImage, 24}, TCase{"indexed png", asPng, 8}}) {
    SCOPED_TRACE(c.Name);
    clipboard->setMimeData(c.Mime);
    TZrDIB dib;
    dib.Assign(&Clipboard());
    EXPECT_EQ(dib.GetBitCount(), c.Bits);
    ASSERT_EQ(dib.GetWidth(), 4);
    ASSERT_EQ(dib.GetHeight(), 3);
    const RGBQUAD* colors = dib.GetInternalDIB()->BitmapInfo.bmiColors;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) {
        const BYTE* row = dib.GetScanLine(y).data();
        const RGBQUAD px = c.Bits == 8 ? colors[row[x]] : RGBQUAD{row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
        EXPECT_EQ(qRgb(px.rgbRed, px.rgbGreen, px.rgbBlue), qRgb(x * 50, y * 60, 9)) << x << "," << y;
      }
  }

  // A BMP shorter than its header says is not read, nor handed to a decoder.
  TBytes file = File(Packed());
  Put32(file, 2, 200);
  auto* bad = new QMimeData;
  bad->setData("image/bmp", Array(file));
  clipboard->setMimeData(bad);
  EXPECT_TRUE(Clipboard().HasFormat(CF_DIB));
  TZrDIB dib;
  const TZrInternalDIB* before = dib.GetInternalDIB();
  try {
    dib.Assign(&Clipboard());
    ADD_FAILURE() << "loaded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "TZrDIB.LoadFromClipboardFormat: Invalid Clipboard Format or No Data");
  }
  EXPECT_EQ(dib.GetInternalDIB(), before);
  clipboard->clear();
  EXPECT_FALSE(Clipboard().HasFormat(CF_DIB));
}

// What other programs offer: a BMP the library refuses gives way to the other
// formats offered with it; greyscale stays 8 bits with a grey colour table.
TEST_F(QtClipboardTest, PastesTakeTheFirstOfferTheLibraryReads) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  QImage grey(4000, 4000, QImage::Format_Grayscale8);
  for (int y = 0; y < grey.height(); ++y) std::memset(grey.scanLine(y), y / 16, static_cast<std::size_t>(grey.width()));
  grey.setPixel(3, 0, qRgb(200, 200, 200));
  QByteArray png;
  QBuffer buffer(&png);
  grey.save(&buffer, "PNG");
  TBytes twoBits = File(Packed());
  twoBits[14 + 14] = 2;  // biBitCount 2: well formed, but no depth a DIB has

  struct TCase {
    const char* Name;
    bool Bmp;
  };
  for (const TCase c : {TCase{"png alone", false}, TCase{"after a refused bmp", true}}) {
    SCOPED_TRACE(c.Name);
    auto* mime = new QMimeData;
    if (c.Bmp) mime->setData("image/bmp", Array(twoBits));
    mime->setData("image/png", png);
    clipboard->setMimeData(mime);
    TZrDIB dib;
    dib.Assign(&Clipboard());
    ASSERT_EQ(dib.GetBitCount(), 8);
    ASSERT_EQ(dib.GetWidth(), 4000);
    ASSERT_EQ(dib.GetHeight(), 4000);
    const TZrInternalDIB& s = *dib.GetInternalDIB();
    ASSERT_EQ(s.BitmapInfo.bmiHeader.biClrUsed, 256u);
    for (int i = 0; i < 256; ++i) {
      const BYTE v = static_cast<BYTE>(i);
      ASSERT_EQ(TBytes(&s.BitmapInfo.bmiColors[i].rgbBlue, &s.BitmapInfo.bmiColors[i].rgbBlue + 4), (TBytes{v, v, v, 0}));
    }
    for (const int y : {0, 17, 3999}) {
      const BYTE* row = dib.GetScanLine(y).data();
      EXPECT_EQ(row[0], y / 16);
      EXPECT_EQ(row[3999], y / 16);
      EXPECT_EQ(row[3], y == 0 ? 200 : y / 16);
    }
  }
}

// A DIB without colour table of 8 bits goes out as a BMP that any reader takes.
TEST_F(QtClipboardTest, DIBWithoutPaletteGoesOutReadable) {
  TZrDIB dib;
  dib.SetWidth(3);
  dib.SetHeight(2);
  for (int i = 0; i < 256; ++i) dib.SetColors(i, static_cast<TColor>(RGB(static_cast<BYTE>(i), 0, 0)));
  dib.GetScanLine(0)[2] = 77;
  dib.SetPalette({});
  Clipboard().Assign(&dib);
  QImage image;
  ASSERT_TRUE(image.loadFromData(QGuiApplication::clipboard()->mimeData()->data("image/bmp"), "BMP"));
  ASSERT_EQ(image.size(), QSize(3, 2));
  EXPECT_EQ(image.pixel(2, 0), qRgb(77, 0, 0));
  EXPECT_EQ(image.pixel(0, 1), qRgb(0, 0, 0));
}
