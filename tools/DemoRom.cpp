#include "tools/DemoRom.h"

#include <span>

#include "host/Exception.h"

namespace {

using namespace DemoRom;

constexpr int PrgEnd = 0x40010;
constexpr int TableSize = 0x800;

struct TSprite {
  std::uint8_t Y, X, Tile, Attribute;
};

// 3x5 hex digits, one row per byte, bit 2 leftmost.
constexpr std::uint8_t Digits[16][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7},
    {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}, {2, 5, 7, 5, 5}, {6, 5, 6, 5, 6},
    {3, 4, 4, 4, 3}, {6, 5, 5, 5, 6}, {7, 4, 7, 4, 7}, {7, 4, 7, 4, 4},
};

class TBuilder {
public:
  TBuilder() : FImage(ImageSize, 0), FUsed(PrgEnd, false) {}

  std::vector<std::uint8_t> Take() { return std::move(FImage); }

  void PutHeader() {
    // 16 x 16K PRG, 32 x 8K CHR, mapper 4 (its 1K CHR banking fits the layout).
    const std::uint8_t header[16] = {0x4E, 0x45, 0x53, 0x1A, 16, 32, 0x40, 0x00};
    std::copy(std::begin(header), std::end(header), FImage.begin());
  }

  void PutChr() {
    for (int bank = 0; bank < 256; ++bank) {
      for (int tile = 0; tile < 64; ++tile) PutTile(ChrFileOffset + bank * 0x400 + tile * 16, bank, tile);
    }
  }

  void PutDefaults() {
    for (int b = 0; b < 3; ++b) {
      Put(DefaultFrameOffsets[b], std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x00, 0x00});
      Put(DefaultAlignOffsets[b], std::vector<std::uint8_t>{0xFC, 0xFC});
      Put(DefaultAnimationOffsets[b], std::vector<std::uint8_t>{0x00, 0x00, 0xFF});
      for (int n = 0; n < 0x200; ++n) SetFramePointer(b, n, DefaultFrameOffsets[b]);
      for (int n = 0; n < 0x100; ++n) {
        SetPointer(b, 0x400, n, DefaultAlignOffsets[b]);
        SetPointer(b, 0x600, n, DefaultAnimationOffsets[b]);
      }
    }
  }

  void PutPattern(const TPattern& Pattern, std::span<const TSprite> Sprites) {
    Assert(!Sprites.empty() && Sprites.size() <= 256, "DemoRom: sprite count");
    std::vector<std::uint8_t> frame = {static_cast<std::uint8_t>(Pattern.ChrBank),
                                       static_cast<std::uint8_t>(Sprites.size() - 1),
                                       static_cast<std::uint8_t>(Pattern.AlignNumber)};
    std::vector<std::uint8_t> align;
    for (const auto& sprite : Sprites) {
      frame.push_back(sprite.Tile);
      frame.push_back(sprite.Attribute);
      align.push_back(sprite.Y);
      align.push_back(sprite.X);
    }
    Put(Pattern.FrameOffset, frame);
    // Patterns sharing an alignment number must agree on its bytes; Put checks.
    Put(Pattern.AlignOffset, align);
    SetFramePointer(Pattern.BankIndex, Pattern.Number, Pattern.FrameOffset);
    SetPointer(Pattern.BankIndex, 0x400, Pattern.AlignNumber, Pattern.AlignOffset);
  }

  void PutAnimation(const TAnimation& Animation, const std::vector<std::uint8_t>& Record) {
    Assert(Record.size() == static_cast<std::size_t>((Record[0] & 0x7F) + 3), "DemoRom: animation length");
    Put(Animation.Offset, Record);
    SetPointer(Animation.BankIndex, 0x600, Animation.Number, Animation.Offset);
  }

private:
  // Writes a record; bytes may be written twice only with the same value.
  void Put(int Offset, const std::vector<std::uint8_t>& Bytes) {
    const int end = Offset + static_cast<int>(Bytes.size());
    Assert(Offset >= 16 && end <= PrgEnd, "DemoRom: record outside PRG");
    for (const int base : BankBases) Assert(end <= base || Offset >= base + TableSize, "DemoRom: record over a table");
    for (std::size_t i = 0; i < Bytes.size(); ++i) {
      const auto at = static_cast<std::size_t>(Offset) + i;
      Assert(!FUsed[at] || FImage[at] == Bytes[i], "DemoRom: records overlap");
      FImage[at] = Bytes[i];
      FUsed[at] = true;
    }
  }

  void SetPointer(int BankIndex, int LowTable, int Index, int Target) {
    const int base = BankBases[static_cast<std::size_t>(BankIndex)];
    const int pointer = Target - base + 0x8000;
    Assert(pointer >= 0x8000 && pointer <= 0xBFFF, "DemoRom: pointer outside the bank pair");
    FImage[static_cast<std::size_t>(base + LowTable + Index)] = static_cast<std::uint8_t>(pointer & 0xFF);
    FImage[static_cast<std::size_t>(base + LowTable + 0x100 + Index)] = static_cast<std::uint8_t>(pointer >> 8);
  }

  // Pattern tables are paired low $000/$100 with high $200/$300.
  void SetFramePointer(int BankIndex, int Number, int Target) {
    const int base = BankBases[static_cast<std::size_t>(BankIndex)];
    const int low = (Number < 0x100 ? 0x000 : 0x100) + (Number & 0xFF);
    const int pointer = Target - base + 0x8000;
    Assert(pointer >= 0x8000 && pointer <= 0xBFFF, "DemoRom: pointer outside the bank pair");
    FImage[static_cast<std::size_t>(base + low)] = static_cast<std::uint8_t>(pointer & 0xFF);
    FImage[static_cast<std::size_t>(base + low + 0x200)] = static_cast<std::uint8_t>(pointer >> 8);
  }

  void PutTile(int Offset, int Bank, int Tile) {
    std::uint8_t colours[8][8] = {};
    for (int c = 0; c < 8; ++c) colours[0][c] = 1;
    for (int r = 1; r < 7; ++r) colours[r][0] = 1;
    for (int r = 0; r < 5; ++r) {
      for (int c = 0; c < 3; ++c) {
        const int bit = 2 - c;
        if ((Digits[Tile >> 4][r] >> bit) & 1) colours[2 + r][1 + c] = 2;
        if ((Digits[Tile & 15][r] >> bit) & 1) colours[2 + r][5 + c] = 3;
      }
    }
    for (int c = 0; c < 8; ++c) {
      if ((Bank >> (7 - c)) & 1) colours[7][c] = 2;
    }
    for (int r = 0; r < 8; ++r) {
      std::uint8_t plane0 = 0, plane1 = 0;
      for (int c = 0; c < 8; ++c) {
        plane0 = static_cast<std::uint8_t>(plane0 | ((colours[r][c] & 1) << (7 - c)));
        plane1 = static_cast<std::uint8_t>(plane1 | ((colours[r][c] >> 1) << (7 - c)));
      }
      FImage[static_cast<std::size_t>(Offset + r)] = plane0;
      FImage[static_cast<std::size_t>(Offset + 8 + r)] = plane1;
    }
  }

  std::vector<std::uint8_t> FImage;
  std::vector<bool> FUsed;
};

// A 2x2 block of tiles First, First+1, First+16, First+17 with its left edge at X.
std::vector<TSprite> Block(std::uint8_t First, std::uint8_t X, std::uint8_t Attribute) {
  const auto right = static_cast<std::uint8_t>(X + 8);
  const bool mirrored = (Attribute & 0x40) != 0;
  const auto t = [&](int Column, int Row) { return static_cast<std::uint8_t>(First + 16 * Row + (mirrored ? 1 - Column : Column)); };
  return {{0xF8, X, t(0, 0), Attribute},
          {0xF8, right, t(1, 0), Attribute},
          {0x00, X, t(0, 1), Attribute},
          {0x00, right, t(1, 1), Attribute}};
}

void PutPatterns(TBuilder& Rom) {
  Rom.PutPattern(OneSprite, std::vector<TSprite>{{0xFC, 0xFC, 0x2A, 0x00}});
  Rom.PutPattern(Overlap, std::vector<TSprite>{{0xF8, 0xF8, 0x3B, 0x01}, {0xFC, 0xFC, 0x3C, 0x02}});
  Rom.PutPattern(FourFlips, std::vector<TSprite>{{0xF7, 0xF7, 0x2F, 0x00},
                                                 {0xF7, 0x01, 0x2F, 0x40},
                                                 {0x01, 0xF7, 0x2F, 0x80},
                                                 {0x01, 0x01, 0x2F, 0xC0}});
  Rom.PutPattern(FourGroups, std::vector<TSprite>{{0xFC, 0xEE, 0x0A, 0x00},
                                                  {0xFC, 0xF7, 0x0B, 0x01},
                                                  {0xFC, 0x00, 0x0C, 0x02},
                                                  {0xFC, 0x09, 0x0D, 0x03}});
  Rom.PutPattern(IgnoredAttributeBits,
                 std::vector<TSprite>{{0xFC, 0xF2, 0x2F, 0x3C}, {0xFC, 0xFC, 0x2F, 0x43}, {0xFC, 0x06, 0x2F, 0xBE}});

  std::vector<TSprite> all;
  for (int i = 0; i < 256; ++i) {
    all.push_back({static_cast<std::uint8_t>((i / 16) * 8 - 64), static_cast<std::uint8_t>((i % 16) * 8 - 64),
                   static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i / 64)});
  }
  Rom.PutPattern(AllSprites, all);

  // The same two places for every load-offset case, so they share alignment $07.
  Rom.PutPattern(LoadOffset0, std::vector<TSprite>{{0xFC, 0xF8, 0x05, 0x00}, {0xFC, 0x00, 0x06, 0x00}});
  Rom.PutPattern(LoadOffset1, std::vector<TSprite>{{0xFC, 0xF8, 0x45, 0x01}, {0xFC, 0x00, 0x05, 0x01}});
  Rom.PutPattern(LoadOffset2, std::vector<TSprite>{{0xFC, 0xF8, 0x85, 0x02}, {0xFC, 0x00, 0xC5, 0x02}});
  Rom.PutPattern(LoadOffset3, std::vector<TSprite>{{0xFC, 0xF8, 0xC5, 0x03}, {0xFC, 0x00, 0x85, 0x03}});
  Rom.PutPattern(WindowPastLastBank, std::vector<TSprite>{{0xFC, 0xF8, 0x85, 0x00}, {0xFC, 0x00, 0xC5, 0x00}});
  Rom.PutPattern(WindowBelowBank0,
                 std::vector<TSprite>{{0xFC, 0xF4, 0xC0, 0x00}, {0xFC, 0xFC, 0x10, 0x00}, {0xFC, 0x04, 0xC1, 0x00}});
  Rom.PutPattern(EdgeWrap, std::vector<TSprite>{{0x7C, 0x7C, 0x1E, 0x00}, {0xFC, 0x7C, 0x1F, 0x01}});

  const TPattern walk[3] = {WalkFrame0, WalkFrame1, WalkFrame2};
  const TPattern highWalk[3] = {HighWalkFrame0, HighWalkFrame1, HighWalkFrame2};
  for (int k = 0; k < 3; ++k) {
    const auto x = static_cast<std::uint8_t>(-12 + 4 * k);
    const auto first = static_cast<std::uint8_t>(2 * k);
    Rom.PutPattern(walk[k], Block(first, x, 0x00));
    Rom.PutPattern(highWalk[k], Block(first, x, 0x42));
  }

  Rom.PutPattern(FirstHighPattern, std::vector<TSprite>{{0xFC, 0xFC, 0x1A, 0x03}});
  Rom.PutPattern(LastPattern, std::vector<TSprite>{{0xFC, 0xFC, 0x3F, 0x01}});
  Rom.PutPattern(Bank14Block, Block(0x00, 0xF8, 0x01));
  Rom.PutPattern(Bank16LastPattern, std::vector<TSprite>{{0xFC, 0xFC, 0x21, 0x03}});
}

void PutAnimations(TBuilder& Rom) {
  Rom.PutAnimation(ThreeFrames, {0x02, 0x03, 0x10, 0x11, 0x12});
  Rom.PutAnimation(HighBit, {0x82, 0x03, 0x10, 0x11, 0x12});
  Rom.PutAnimation(OneTickFrames, {0x02, 0x00, 0x10, 0x11, 0x12});
  Rom.PutAnimation(OneFrame, {0x00, 0x07, 0x02});
  Rom.PutAnimation(EndsWithZero, {0x03, 0x03, 0x10, 0x11, 0x12, 0x00});
  std::vector<std::uint8_t> tour = {0x0B, 0x0F};
  for (std::uint8_t n = 0x01; n <= 0x0C; ++n) tour.push_back(n);
  Rom.PutAnimation(Tour, tour);
  Rom.PutAnimation(LastPatternAnim, {0x80, 0x07, 0xFF});
  Rom.PutAnimation(Bank16Animation, {0x80, 0x07, 0xFF});
}

}  // namespace

std::vector<std::uint8_t> MakeDemoRom() {
  TBuilder rom;
  rom.PutHeader();
  rom.PutChr();
  rom.PutDefaults();
  PutPatterns(rom);
  PutAnimations(rom);
  return rom.Take();
}
