// The editor's field input and the sprite a point picks, over hand-worked cases.

#include <gtest/gtest.h>

#include <vector>

#include "rom/TarvelinFieldInput.h"
#include "rom/TarvelinSpriteCells.h"

namespace {

using R = TInputRefusal;

struct TInputCase {
  const char* Text;
  bool Offset;  // ParseOffsetField rather than ParseHexField
  int Value;
  R Refusal;
};

TEST(FieldInput, HexBytesAndSignedOffsets) {
  const TInputCase cases[] = {
      {"2b", false, 0x2B, R::None},     {" FF ", false, 0xFF, R::None}, {"0", false, 0, R::None},
      {"", false, -1, R::Empty},        {"  ", false, -1, R::Empty},    {"zz", false, -1, R::NotHex},
      {"G1", false, -1, R::NotHex},     {"1234", false, -1, R::TooLong}, {"-5", false, -1, R::NotHex},
      {"100", false, -1, R::TooLong},   {"F8", true, 0xF8, R::None},    {"-8", true, 0xF8, R::None},
      {"+8", true, 0x08, R::None},      {"8", true, 0x08, R::None},     {"10", true, 0x10, R::None},
      {"-128", true, 0x80, R::None},    {"127", true, -1, R::TooLong},  {"+127", true, 0x7F, R::None},
      {"-129", true, -1, R::OutOfRange}, {"+128", true, -1, R::OutOfRange}, {"-0", true, 0, R::None},
      {"-", true, -1, R::NotDecimal},   {"-F", true, -1, R::NotDecimal}, {"--1", true, -1, R::NotDecimal},
      {"-99999999999", true, -1, R::OutOfRange}, {"", true, -1, R::Empty}, {"x1", true, -1, R::NotHex},
  };
  for (const TInputCase& c : cases) {
    SCOPED_TRACE(c.Text);
    const TFieldInput got = c.Offset ? ParseOffsetField(c.Text) : ParseHexField(c.Text);
    EXPECT_EQ(got.Value, c.Value);
    EXPECT_EQ(got.Refusal, c.Refusal);
  }
  EXPECT_EQ(ParseHexField("3", 3).Value, 3);
  EXPECT_EQ(ParseHexField("4", 3).Refusal, R::OutOfRange);
}

TEST(FieldInput, OffsetsShowTheirHexAndSignedValue) {
  const std::pair<int, const char*> shown[] = {
      {0xF8, "F8 (-8)"}, {0x08, "08 (+8)"}, {0x00, "00 (0)"}, {0x80, "80 (-128)"}, {0x7F, "7F (+127)"}, {0x1FF, "FF (-1)"}};
  for (const auto& [byte, text] : shown) EXPECT_EQ(FormatOffsetField(byte), text);
}

struct TCellCase {
  std::vector<std::uint8_t> Align;
  int X;
  int Y;
  int Sprite;
};

TEST(SpriteCells, APointPicksTheTopmostCellHoldingIt) {
  // Offsets are from the centre 128: (Y, X) = ($FC, $FC) covers 124..131 on both axes.
  const TCellCase cases[] = {
      {{0xFC, 0xFC}, 124, 124, 0},  {{0xFC, 0xFC}, 131, 131, 0},  {{0xFC, 0xFC}, 132, 128, -1},
      {{0xFC, 0xFC}, 123, 128, -1}, {{0xFC, 0xFC}, 128, 132, -1},
      // Overlapping cells: the later sprite is drawn over the earlier.
      {{0xFC, 0xFC, 0x00, 0x00}, 129, 129, 1}, {{0xFC, 0xFC, 0x00, 0x00}, 127, 127, 0},
      {{0x00, 0x00, 0xFC, 0xFC}, 129, 129, 1}, {{0x00, 0x00, 0xFC, 0xFC}, 135, 135, 0},
      // Y $7C puts the cell at rows 252..259: rows 0..3 carry on at the top.
      {{0x7C, 0x00}, 130, 2, 0}, {{0x7C, 0x00}, 130, 253, 0}, {{0x7C, 0x00}, 130, 4, -1},
      {{0x00, 0x7E}, 255, 130, 0}, {{0x00, 0x7E}, 5, 130, 0}, {{0x00, 0x7E}, 6, 130, -1},
      {{}, 128, 128, -1},
  };
  for (const TCellCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.X << "," << c.Y);
    EXPECT_EQ(SpriteAtCell(c.Align, static_cast<int>(c.Align.size() / 2), c.X, c.Y), c.Sprite);
  }
  // Only Count sprites count, and no more than the record holds.
  const std::vector<std::uint8_t> two{0xFC, 0xFC, 0x00, 0x00};
  EXPECT_EQ(SpriteAtCell(two, 1, 129, 129), 0);
  EXPECT_EQ(SpriteAtCell(two, 5, 129, 129), 1);
}

TEST(SpriteCells, SpritesPerScanlineCountsEveryCellRowWrapping) {
  struct TRows {
    std::vector<std::uint8_t> Align;
    std::vector<std::pair<int, int>> Counts;  // row, sprites on it
  };
  const std::vector<std::uint8_t> nine(18, 0x00);  // nine sprites at Y $00: rows 128..135
  const TRows cases[] = {
      {{0xFC, 0x00}, {{123, 0}, {124, 1}, {131, 1}, {132, 0}}},
      {nine, {{127, 0}, {128, 9}, {135, 9}, {136, 0}}},
      {{0x7C, 0x00, 0x7C, 0x10}, {{251, 0}, {252, 2}, {255, 2}, {0, 2}, {3, 2}, {4, 0}}},
      {{0x00, 0x00, 0x04, 0x00}, {{128, 1}, {132, 2}, {135, 2}, {136, 1}, {139, 1}, {140, 0}}},
  };
  for (const TRows& c : cases) {
    const auto rows = SpritesPerScanline(c.Align, static_cast<int>(c.Align.size() / 2));
    for (const auto& [row, count] : c.Counts) EXPECT_EQ(rows[static_cast<std::size_t>(row)], count) << row;
  }
  EXPECT_EQ(SpritesPerScanline(nine, 3)[128], 3);
}

}  // namespace
