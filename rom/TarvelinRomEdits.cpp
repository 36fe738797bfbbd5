#include "rom/TarvelinRomEdits.h"

#include <initializer_list>
#include <string>
#include <utility>

#include "host/Translate.h"

namespace {

constexpr int ChrBankSize = 0x400;
constexpr int TileSize = 16;

// The writes of New values at their offsets, each checked before any is made.
TRomChange Writes(const TRomDocument& Document, std::initializer_list<std::pair<int, int>> Values) {
  TRomChange change;
  for (const auto& [offset, value] : Values) {
    Document.CheckWritable(offset);
    change.Writes.push_back({offset, Document.Byte(offset), static_cast<std::uint8_t>(value)});
  }
  return change;
}

void Require(bool Condition, const std::string& Text) {
  if (!Condition) throw ERomEditError(Text);
}

int Frame(const TRomDocument& Document, TPatternRef Pattern) {
  Require(Pattern.BankIndex >= 0 && Pattern.BankIndex < static_cast<int>(SpriteBanks.size()),
          Translate("TarvelinRomEdits", "バンクの番号が正しくありません"));
  return PatternFrameAddress(Document.Prg(), Pattern);
}

// The offset of sprite Sprite's first byte in the FrameData at Frame.
int SpriteEntry(const TRomDocument& Document, int Frame, int Sprite) {
  const int count = Document.Byte(Frame + 1) + 1;
  Require(Sprite >= 0 && Sprite < count, FillArgs(Translate("TarvelinRomEdits", "スプライト %1 はありません (%2 個)"),
                                                  {std::to_string(Sprite), std::to_string(count)}));
  return Frame + 3 + 2 * Sprite;
}

void RequireByte(int Value, const char* What) {
  Require(Value >= 0 && Value <= 0xFF,
          FillArgs(Translate("TarvelinRomEdits", "%1は $00-$FF です"), {Translate("TarvelinRomEdits", What)}));
}

int Animation(const TRomDocument& Document, TAnimationRef Animation) {
  Require(Animation.BankIndex >= 0 && Animation.BankIndex < static_cast<int>(AnimationBanks.size()),
          Translate("TarvelinRomEdits", "バンクの番号が正しくありません"));
  return AnimationAddress(Document.Prg(), Animation);
}

}  // namespace

TRomChange SetPatternChrBank(const TRomDocument& Document, TPatternRef Pattern, int ChrBank) {
  RequireByte(ChrBank, TRANSLATE_NOOP("TarvelinRomEdits", "キャラクタバンク番号"));
  return Writes(Document, {{Frame(Document, Pattern), ChrBank}});
}

TRomChange SetPatternAlignNumber(const TRomDocument& Document, TPatternRef Pattern, int AlignNumber) {
  RequireByte(AlignNumber, TRANSLATE_NOOP("TarvelinRomEdits", "スプライト配置データ番号"));
  return Writes(Document, {{Frame(Document, Pattern) + 2, AlignNumber}});
}

TRomChange SetPatternSpriteCount(const TRomDocument& Document, TPatternRef Pattern, int Count) {
  const int frame = Frame(Document, Pattern);
  // The record's length follows its count; more sprites would overwrite what follows it.
  Require(Count >= 1 && Count <= Document.Byte(frame + 1) + 1, Translate("TarvelinRomEdits", "スプライト数は減らすことしかできません"));
  return Writes(Document, {{frame + 1, Count - 1}});
}

TRomChange SetSpriteTile(const TRomDocument& Document, TPatternRef Pattern, int Sprite, int Tile) {
  RequireByte(Tile, TRANSLATE_NOOP("TarvelinRomEdits", "タイル番号"));
  return Writes(Document, {{SpriteEntry(Document, Frame(Document, Pattern), Sprite), Tile}});
}

TRomChange SetSpriteFlips(const TRomDocument& Document, TPatternRef Pattern, int Sprite, bool Vertical,
                          bool Horizontal) {
  const int at = SpriteEntry(Document, Frame(Document, Pattern), Sprite) + 1;
  const int attribute = (Document.Byte(at) & 0x3F) | (Vertical ? 0x80 : 0) | (Horizontal ? 0x40 : 0);
  return Writes(Document, {{at, attribute}});
}

TRomChange SetSpritePaletteGroup(const TRomDocument& Document, TPatternRef Pattern, int Sprite, int Group) {
  Require(Group >= 0 && Group <= 3, Translate("TarvelinRomEdits", "パレットは 0-3 です"));
  const int at = SpriteEntry(Document, Frame(Document, Pattern), Sprite) + 1;
  return Writes(Document, {{at, (Document.Byte(at) & 0xFC) | Group}});
}

TRomChange SetSpritePosition(const TRomDocument& Document, TPatternRef Pattern, int Sprite, int Y, int X) {
  SpriteEntry(Document, Frame(Document, Pattern), Sprite);
  const int at = PatternAlignAddress(Document.Prg(), Pattern) + 2 * Sprite;
  return Writes(Document, {{at, Y & 0xFF}, {at + 1, X & 0xFF}});
}

TRomChange SetAnimationHighBit(const TRomDocument& Document, TAnimationRef Ref, bool High) {
  const int at = Animation(Document, Ref);
  return Writes(Document, {{at, (Document.Byte(at) & 0x7F) | (High ? 0x80 : 0)}});
}

TRomChange SetAnimationTicks(const TRomDocument& Document, TAnimationRef Ref, int Ticks) {
  Require(Ticks >= 1 && Ticks <= 256, Translate("TarvelinRomEdits", "フレームの長さは 1-256 です"));
  return Writes(Document, {{Animation(Document, Ref) + 1, Ticks - 1}});
}

TRomChange SetAnimationFrameCount(const TRomDocument& Document, TAnimationRef Ref, int Count) {
  const int at = Animation(Document, Ref);
  Require(Count >= 1 && Count <= (Document.Byte(at) & 0x7F) + 1, Translate("TarvelinRomEdits", "フレーム数は減らすことしかできません"));
  return Writes(Document, {{at, (Document.Byte(at) & 0x80) | (Count - 1)}});
}

TRomChange SetAnimationFrame(const TRomDocument& Document, TAnimationRef Ref, int Frame, int PatternLow) {
  RequireByte(PatternLow, TRANSLATE_NOOP("TarvelinRomEdits", "パターン番号"));
  const int at = Animation(Document, Ref);
  const int count = (Document.Byte(at) & 0x7F) + 1;
  Require(Frame >= 0 && Frame < count, FillArgs(Translate("TarvelinRomEdits", "フレーム %1 はありません (%2 枚)"),
                                                {std::to_string(Frame), std::to_string(count)}));
  return Writes(Document, {{at + 2 + Frame, PatternLow}});
}

TRomChange SetChrPixel(const TRomDocument& Document, int ChrBank, int Tile, int X, int Y, int Colour) {
  RequireByte(ChrBank, TRANSLATE_NOOP("TarvelinRomEdits", "キャラクタバンク番号"));
  Require(Tile >= 0 && Tile < 64 && X >= 0 && X < 8 && Y >= 0 && Y < 8 && Colour >= 0 && Colour <= 3,
          Translate("TarvelinRomEdits", "タイルの点が正しくありません"));
  const int plane0 = ChrDataFileOffset + ChrBank * ChrBankSize + Tile * TileSize + Y;
  const int bit = 0x80 >> X;
  const auto with = [&](int Offset, bool Set) { return (Document.Byte(Offset) & ~bit) | (Set ? bit : 0); };
  return Writes(Document, {{plane0, with(plane0, Colour & 1)}, {plane0 + 8, with(plane0 + 8, Colour & 2)}});
}

TRomChange SetChrTile(const TRomDocument& Document, int ChrBank, int Tile, std::span<const std::uint8_t, 16> Bytes) {
  RequireByte(ChrBank, TRANSLATE_NOOP("TarvelinRomEdits", "キャラクタバンク番号"));
  Require(Tile >= 0 && Tile < 64, Translate("TarvelinRomEdits", "タイルの番号が正しくありません"));
  const int first = ChrDataFileOffset + ChrBank * ChrBankSize + Tile * TileSize;
  TRomChange change;
  for (int i = 0; i < TileSize; ++i) {
    const int offset = first + i;
    Document.CheckWritable(offset);
    const std::uint8_t old = Document.Byte(offset), value = Bytes[static_cast<std::size_t>(i)];
    if (old != value) change.Writes.push_back({offset, old, value});
  }
  return change;
}

std::array<std::uint8_t, 16> ChrTileBytes(const TRomDocument& Document, int ChrBank, int Tile) {
  RequireByte(ChrBank, TRANSLATE_NOOP("TarvelinRomEdits", "キャラクタバンク番号"));
  Require(Tile >= 0 && Tile < 64, Translate("TarvelinRomEdits", "タイルの番号が正しくありません"));
  std::array<std::uint8_t, 16> bytes{};
  const int first = ChrDataFileOffset + ChrBank * ChrBankSize + Tile * TileSize;
  for (int i = 0; i < TileSize; ++i) bytes[static_cast<std::size_t>(i)] = Document.Byte(first + i);
  return bytes;
}
