#include "sprite/TarvelinSpritePattern.h"

#include "sprite/TarvelinDrawSprite.h"

namespace {

// Appended, not joined: GCC 12 at -O3 warns falsely (-Wrestrict) on a short literal joined to a string.
std::string Prefixed(const char* Prefix, const std::string& Digits) {
  std::string text(Prefix);
  text.append(Digits);
  return text;
}

}  // namespace

TSpritePattern LocateSpritePattern(const TPrgData& PrgData, int BankBase, int PatternNumber) {
  // The address rules keep every offset inside PrgData, and the spans keep the
  // renderer from reading past it whatever the ROM holds.
  const std::span<const std::uint8_t> prg(PrgData);
  TSpritePattern pattern;
  pattern.FrameAddress = FrameDataOffset(PrgData, BankBase, PatternNumber);
  pattern.Frame = prg.subspan(static_cast<std::size_t>(pattern.FrameAddress));
  pattern.AlignAddress = AlignDataOffset(PrgData, BankBase, pattern.Frame[2]);
  pattern.Align = prg.subspan(static_cast<std::size_t>(pattern.AlignAddress));
  pattern.CHRLoadOffset = pattern.Frame[3] >> 6;
  return pattern;
}

TSpritePatternTexts SpritePatternTexts(const TSpritePattern& Pattern) {
  const auto count = static_cast<std::size_t>(Pattern.SpriteCount());
  TSpritePatternTexts texts;
  texts.CHRBank = Prefixed("$", FormatByte(Pattern.CHRBank()));
  texts.CHRLoadOffset = Prefixed(" ", FormatByte(Pattern.CHRLoadOffset));
  texts.CHRBankAddress = FormatAddress(ChrBankAddress(Pattern.CHRBank()));
  texts.FrameAddress = FormatAddress(Pattern.FrameAddress);
  texts.SpriteCount = std::to_string(count);
  texts.Align = Prefixed("$", FormatByte(Pattern.AlignNumber()));
  texts.AlignAddress = FormatAddress(Pattern.AlignAddress);
  texts.AlignDump = HexDump(Pattern.Align.first(2 * count));
  texts.FrameDump = HexDump(Pattern.Frame.first(3 + 2 * count));
  return texts;
}

void DrawSpritePattern(const TDrawSprite& Drawer, const TSpritePattern& Pattern, TZrDIB& Sprite, TSpriteMap* Map) {
  Drawer.DrawFrame(Sprite, Pattern.Frame, Pattern.Align, Map);
}

void DrawSpritePatternTable(const TDrawSprite& Drawer, const TSpritePattern& Pattern, TZrDIB& PatternTable) {
  Drawer.DrawPatternTable(PatternTable, static_cast<std::uint8_t>(Pattern.CHRBank()),
                          static_cast<std::uint8_t>(Pattern.CHRLoadOffset), 0);
}

int AnimationFramePattern(const TPrgData& PrgData, int Address, int Frame) {
  const int b = PrgData[static_cast<std::size_t>(Address + 2 + (Frame & 0x7F))];
  return b == 0 ? -1 : b + 256 * (PrgData[static_cast<std::size_t>(Address)] >> 7);
}
