// Pictures into tiles, worked by hand: which bytes one pixel changes, and every refusal.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <algorithm>

#include "import/TarvelinImport.h"
#include "sprite/NesPalette.h"
#include "sprite/TarvelinSpritePattern.h"

namespace {

using Kind = TImportProblemKind;

// The NES colour's RGB, read from the master palette's bytes.
QRgb Nes(int Colour) {
  const auto& p = NesMasterPalette();
  const auto i = static_cast<std::size_t>(3 * Colour);
  return qRgb(p[i], p[i + 1], p[i + 2]);
}

QImage Indexed(int Size) {
  QImage image(Size, Size, QImage::Format_Indexed8);
  QList<QRgb> table;
  for (int i = 0; i < 16; ++i) table.push_back(qRgb(i, i, i));
  image.setColorTable(table);
  image.fill(0);
  return image;
}

QImage Rgb(int Size) {
  QImage image(Size, Size, QImage::Format_ARGB32);
  image.fill(Nes(0x0F));
  return image;
}

// A pattern over records of our own: CHR bank, first tile, then (tile, attribute, Y, X) per sprite.
struct TRecords {
  std::vector<std::uint8_t> Frame, Align;
  TSpritePattern Pattern() const {
    TSpritePattern pattern;
    pattern.Frame = Frame;
    pattern.Align = Align;
    pattern.CHRLoadOffset = Frame[3] >> 6;
    return pattern;
  }
};

TRecords Records(int Bank, std::initializer_list<std::array<int, 4>> Sprites) {
  TRecords records;
  records.Frame = {static_cast<std::uint8_t>(Bank), static_cast<std::uint8_t>(Sprites.size() - 1), 0};
  for (const auto& s : Sprites) {
    records.Frame.push_back(static_cast<std::uint8_t>(s[0]));
    records.Frame.push_back(static_cast<std::uint8_t>(s[1]));
    records.Align.push_back(static_cast<std::uint8_t>(s[2]));
    records.Align.push_back(static_cast<std::uint8_t>(s[3]));
  }
  return records;
}

struct TChr {
  TChrData Data{};
  // Colour of pixel (X, Y) of the tile at ChrData offset Offset.
  void Set(int Offset, int X, int Y, int Colour) {
    auto& p0 = Data[static_cast<std::size_t>(Offset + Y)];
    auto& p1 = Data[static_cast<std::size_t>(Offset + Y + 8)];
    p0 = static_cast<std::uint8_t>((p0 & ~(0x80 >> X)) | ((Colour & 1) << (7 - X)));
    p1 = static_cast<std::uint8_t>((p1 & ~(0x80 >> X)) | (((Colour >> 1) & 1) << (7 - X)));
  }
};

struct TCase {
  const char* Name;
  bool Sprite;                   // composed picture, else the pattern table
  TRecords Records;
  std::function<void(TChr&)> Chr;
  std::function<QImage()> Picture;
  TImportOptions Options;
  std::vector<TByteWrite> Writes;  // expected when accepted
  std::optional<Kind> Refusal;
  TImportPlace Place;              // expected place of a refusal (fields of -1 not compared)
  int Approximated = 0;
};

// Pattern table of CHR bank $05 at load offset 1: band 1 (rows 32-63) is bank $05, at $40010 + $1400 = $41410.
const TRecords Bank5Offset1 = Records(5, {{0x40, 0, 0, 0}});

std::vector<TCase> Cases() {
  std::vector<TCase> cases;
  // Pixel (19, 43): tile 16 x 1 + 2 = $12 of the bank, tile pixel (3, 3): bytes $41410 + $120 + 3 and + 8, bit $10.
  cases.push_back({"OnePixelTwoPlaneBits", false, Bank5Offset1, {}, [] {
                     QImage i = Indexed(128);
                     i.setPixel(19, 43, 3);
                     return i;
                   }, {}, {{0x41533, 0x00, 0x10}, {0x4153B, 0x00, 0x10}}, {}, {}});
  // Index 6 is colour 2: plane 1 alone.
  cases.push_back({"IndexModFour", false, Bank5Offset1, {}, [] {
                     QImage i = Indexed(128);
                     i.setPixel(19, 43, 6);
                     return i;
                   }, {}, {{0x4153B, 0x00, 0x10}}, {}, {}});
  // The same pixel in RGB: NES $11 is group 0's colour 3.
  cases.push_back({"RgbExact", false, Bank5Offset1, {}, [] {
                     QImage i = Rgb(128);
                     i.setPixel(19, 43, Nes(0x11));
                     return i;
                   }, {}, {{0x41533, 0x00, 0x10}, {0x4153B, 0x00, 0x10}}, {}, {}});
  // Black is colours 0 and 1; a tile pixel of colour 1 keeps it.
  cases.push_back({"RgbSharedColourKeepsPresent", false, Bank5Offset1, [](TChr& c) { c.Set(0x1400 + 0x120, 3, 3, 1); },
                   [] { return Rgb(128); }, {}, {}, {}, {}});
  // ... but one of colour 2 painted black cannot be told apart.
  cases.push_back({"RgbAmbiguous", false, Bank5Offset1, [](TChr& c) { c.Set(0x1400 + 0x120, 3, 3, 2); },
                   [] { return Rgb(128); }, {}, {}, Kind::Ambiguous, {19, 43, -1, 0x52, 0x41530, 3, 3}});
  cases.push_back({"RgbNoColour", false, Bank5Offset1, {}, [] {
                     QImage i = Rgb(128);
                     i.setPixel(19, 43, qRgb(0x12, 0x34, 0x56));
                     return i;
                   }, {}, {}, Kind::NoColour, {19, 43, -1, 0x52, 0x41530, 3, 3}});
  // Nearest: NES $11's colour a little off is still colour 3, and counted.
  TImportOptions nearest;
  nearest.Nearest = true;
  cases.push_back({"RgbNearest", false, Bank5Offset1, {}, [] {
                     QImage i = Rgb(128);
                     i.setPixel(19, 43, Nes(0x11) ^ 0x000101);
                     return i;
                   }, nearest, {{0x41533, 0x00, 0x10}, {0x4153B, 0x00, 0x10}}, {}, {}, 1});
  // Fully transparent is colour 0 whatever its RGB: the tile's colour 3 goes.
  cases.push_back({"TransparentIsColourZero", false, Bank5Offset1, [](TChr& c) { c.Set(0x1400 + 0x120, 3, 3, 3); },
                   [] {
                     QImage i = Rgb(128);
                     i.setPixel(19, 43, qRgba(0xFF, 0, 0, 0));
                     return i;
                   }, {}, {{0x41533, 0x10, 0x00}, {0x4153B, 0x10, 0x00}}, {}, {}});
  cases.push_back({"WrongSize", false, Bank5Offset1, {}, [] { return Indexed(100); }, {}, {}, Kind::WrongSize, {}});
  // Band 0 shows no bank at load offset 1: pixel (9, 2) is window tile $01.
  cases.push_back({"PixelInEmptyBand", false, Bank5Offset1, {}, [] {
                     QImage i = Indexed(128);
                     i.setPixel(9, 2, 1);
                     return i;
                   }, {}, {}, Kind::EmptyBand, {9, 2, -1, 0x01, -1, 1, 2}});
  // Enlarged twice: pixel (19, 43) is the block at (38, 86); a stray dot inside a block refuses.
  cases.push_back({"EnlargedTwice", false, Bank5Offset1, {}, [] {
                     QImage i = Indexed(256);
                     for (int y = 86; y < 88; ++y)
                       for (int x = 38; x < 40; ++x) i.setPixel(x, y, 3);
                     return i;
                   }, {}, {{0x41533, 0x00, 0x10}, {0x4153B, 0x00, 0x10}}, {}, {}});
  cases.push_back({"EnlargedUnevenly", false, Bank5Offset1, {}, [] {
                     QImage i = Indexed(256);
                     i.setPixel(39, 87, 3);
                     return i;
                   }, {}, {}, Kind::UnevenScale, {19, 43}});
  // Load offset 2 from bank $FF: band 3 is bank $00 at $40010.
  cases.push_back({"OffsetTwoWrapsToBankZero", false, Records(0xFF, {{0x80, 0, 0, 0}}), {}, [] {
                     QImage i = Indexed(128);
                     i.setPixel(0, 96, 1);
                     return i;
                   }, {}, {{0x40010, 0x00, 0x80}}, {}, {}});
  // The whole window: band 0 is bank $04 (at $41010), and the outlines of used tiles are skipped.
  TImportOptions window;
  window.WholeTileWindow = true;
  cases.push_back({"WholeWindowBandZero", false, Bank5Offset1, {}, [] {
                     QImage i = Indexed(128);
                     i.setPixel(9, 2, 1);
                     return i;
                   }, window, {{0x41010 + 0x10 + 2, 0x00, 0x40}}, {}, {}});
  cases.push_back({"WholeWindowOutlineSkipped", false, Bank5Offset1, [](TChr& c) { c.Set(0x1400, 0, 0, 2); }, [] {
                     QImage i = Indexed(128);
                     i.setPixel(0, 32, 11);
                     return i;
                   }, window, {}, {}, {}});

  // Composed pictures. Sprite 0: tile $01 of bank $05 (window $05) at (128, 128), mirrored, palette group 1.
  const TRecords mirrored = Records(5, {{0x01, 0x41, 0, 0}});
  // Pixel (129, 130) is column 1, so tile pixel (6, 2); index 4 + 2 is colour 2: plane 1 of row 2, bit $02.
  cases.push_back({"SpriteMirroredPixel", true, mirrored, {}, [] {
                     QImage i = Indexed(256);
                     i.setPixel(129, 130, 6);
                     return i;
                   }, {}, {{0x41428 + 2, 0x00, 0x02}}, {}, {}});
  cases.push_back({"SpritePixelWhereNoSpriteIs", true, mirrored, {}, [] {
                     QImage i = Indexed(256);
                     i.setPixel(10, 10, 5);
                     return i;
                   }, {}, {}, Kind::Uncovered, {10, 10, -1}});
  // Tile $01 twice, the second 16 pixels right: its pixel (0, 0) shown in colours 1 and 2.
  const TRecords twice = Records(5, {{0x01, 0x00, 0, 0}, {0x01, 0x00, 0, 16}});
  cases.push_back({"SpriteConflict", true, twice, {}, [] {
                     QImage i = Indexed(256);
                     i.setPixel(128, 128, 1);
                     i.setPixel(144, 128, 2);
                     return i;
                   }, {}, {}, Kind::Conflict, {128, 128, 0, 0x01, 0x41420, 0, 0}});
  // The second mirrored: pixel (151, 128) is the same tile pixel (0, 0); the same colour agrees.
  const TRecords flipped = Records(5, {{0x01, 0x00, 0, 0}, {0x01, 0x40, 0, 16}});
  cases.push_back({"SpriteSameTilePixelTwiceAgrees", true, flipped, {}, [] {
                     QImage i = Indexed(256);
                     i.setPixel(128, 128, 1);
                     i.setPixel(151, 128, 1);
                     return i;
                   }, {}, {{0x41420, 0x00, 0x80}}, {}, {}});
  // Where the top sprite is transparent the one beneath shows, and its tile pixel takes the colour.
  const TRecords stacked = Records(5, {{0x02, 0x00, 0, 0}, {0x01, 0x00, 0, 0}});
  cases.push_back({"SpriteBeneathShowsThrough", true, stacked, [](TChr& c) { c.Set(0x1420, 0, 0, 3); }, [] {
                     QImage i = Indexed(256);
                     i.setPixel(128, 128, 3);  // tile $02's pixel, unchanged
                     i.setPixel(129, 128, 1);  // nothing drawn here: the top sprite's tile $01 takes it
                     return i;
                   }, {}, {{0x41420, 0x00, 0x40}}, {}, {}});
  // RGB: black in a sprite is colour 0 (background) or 1, and a transparent tile pixel stays 0.
  cases.push_back({"SpriteRgbBackgroundUnchanged", true, mirrored, {}, [] { return Rgb(256); }, {}, {}, {}, {}});
  return cases;
}

class ImportCase : public ::testing::TestWithParam<TCase> {};

TEST_P(ImportCase, WritesExactlyTheBytesWorkedOut) {
  const TCase& c = GetParam();
  TChr chr;
  if (c.Chr) c.Chr(chr);
  const TSpritePattern pattern = c.Records.Pattern();
  const TImportImage picture = ImportImageOf(c.Picture());
  const TImportResult result = c.Sprite ? ImportSpritePicture(chr.Data, pattern, picture, c.Options)
                                        : ImportPatternTable(chr.Data, pattern, picture, c.Options);
  if (c.Refusal) {
    ASSERT_TRUE(result.Refused());
    EXPECT_EQ(result.Problem->Kind, *c.Refusal);
    EXPECT_TRUE(result.Change.Empty());
    const TImportPlace& got = result.Problem->Place;
    for (const auto& [want, have] : {std::pair{c.Place.X, got.X}, {c.Place.Y, got.Y}, {c.Place.Sprite, got.Sprite},
                                     {c.Place.Tile, got.Tile}, {c.Place.ChrAddress, got.ChrAddress},
                                     {c.Place.TileX, got.TileX}, {c.Place.TileY, got.TileY}})
      if (want != -1) {
        EXPECT_EQ(have, want);
      }
    EXPECT_FALSE(ImportProblemText(*result.Problem).empty());
    return;
  }
  ASSERT_FALSE(result.Refused()) << ImportProblemText(*result.Problem);
  ASSERT_EQ(result.Change.Writes.size(), c.Writes.size());
  for (std::size_t i = 0; i < c.Writes.size(); ++i) {
    EXPECT_EQ(result.Change.Writes[i].Offset, c.Writes[i].Offset) << i;
    EXPECT_EQ(result.Change.Writes[i].Old, c.Writes[i].Old) << i;
    EXPECT_EQ(result.Change.Writes[i].New, c.Writes[i].New) << i;
  }
  EXPECT_EQ(result.Approximated, c.Approximated);
}

INSTANTIATE_TEST_SUITE_P(Cases, ImportCase, ::testing::ValuesIn(Cases()),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(ImportTest, ConflictNamesBothPlaces) {
  TChr chr;
  const auto records = Records(5, {{0x01, 0x00, 0, 0}, {0x01, 0x00, 0, 16}});
  QImage image = Indexed(256);
  image.setPixel(128, 128, 1);
  image.setPixel(144, 128, 2);
  const auto result = ImportSpritePicture(chr.Data, records.Pattern(), ImportImageOf(image));
  ASSERT_TRUE(result.Refused());
  EXPECT_EQ(result.Problem->Other.X, 144);
  EXPECT_EQ(result.Problem->Other.Sprite, 1);
  const std::string text = ImportProblemText(*result.Problem);
  EXPECT_NE(text.find("(128,128)"), std::string::npos) << text;
  EXPECT_NE(text.find("(144,128)"), std::string::npos) << text;
  EXPECT_NE(text.find("$41420"), std::string::npos) << text;
}

TEST(ImportTest, RawChrBanks) {
  TChr chr;
  std::vector<std::uint8_t> bytes(2048, 0);
  bytes[1024 + 5] = 0xA5;  // bank $11, tile 0, row 5: file offset $40010 + $4400 + 5
  const auto good = ImportChr(chr.Data, 0x10, bytes);
  ASSERT_FALSE(good.Refused());
  ASSERT_EQ(good.Change.Writes.size(), 1u);
  EXPECT_EQ(good.Change.Writes[0].Offset, 0x44415);
  EXPECT_EQ(good.Tiles, std::vector<int>{0x4400});
  EXPECT_EQ(ImportChr(chr.Data, 0xFF, bytes).Problem->Kind, Kind::ChrPastEnd);
  EXPECT_EQ(ImportChr(chr.Data, 0, std::vector<std::uint8_t>(1000)).Problem->Kind, Kind::ChrSize);
  chr.Data[0x4400 + 5] = 0xA5;
  EXPECT_EQ(ExportChr(chr.Data, 0x10, 2), bytes);
  EXPECT_EQ(ExportChr(chr.Data, 0xFF, 4).size(), 1024u);
}

TEST(ImportTest, DecodersTakePngAndBmpAndRefuseTheRest) {
  QImage mono(128, 128, QImage::Format_Mono);
  // A dark first entry, which Qt would read as index 1.
  mono.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 50)});
  mono.fill(0);
  mono.setPixel(5, 5, 1);
  for (const char* format : {"PNG", "BMP"}) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(mono.save(&buffer, format));
    std::string error;
    const auto image = DecodeImportImage({reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<std::size_t>(bytes.size())}, error);
    ASSERT_TRUE(error.empty()) << format << ": " << error;
    EXPECT_TRUE(image.Indexed) << format;
    EXPECT_EQ(image.Indexes[image.At(5, 5)], 1) << format;
    EXPECT_EQ(image.Indexes[image.At(6, 5)], 0) << format;
  }
  std::string error;
  const std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';'};
  EXPECT_EQ(DecodeImportImage(gif, error).Width, 0);
  EXPECT_FALSE(error.empty());
}

}  // namespace
