#include "sprite/TarvelinPictureLook.h"

#include <cstdio>

#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinPixelTrace.h"
#include "sprite/TarvelinSpritePattern.h"
#include "dib/ZrDIB.h"
#include "host/Translate.h"

TViewOptions ViewOptions;

namespace {

constexpr int TileBytes = 16;
constexpr int BankBytes = 1024;
constexpr int ChrBanks = 256;

// A TColor holds red in its low byte.
TColor ColorOf(std::uint32_t Rgb) {
  return static_cast<TColor>(((Rgb & 0xFF) << 16) | (Rgb & 0xFF00) | ((Rgb >> 16) & 0xFF));
}

std::string Hex(int Value, int Digits) {
  char text[16];
  std::snprintf(text, sizeof text, "$%0*X", Digits, static_cast<unsigned>(Value));
  return text;
}

}  // namespace

void ApplyBackground(TZrDIB& Sprite, int Background) {
  if (Background == DefaultBackground) return;
  if (Background != CheckerboardBackground) {
    Sprite.SetColors(0, static_cast<TColor>(PicturePalette().GetColor(static_cast<std::uint8_t>(Background & 0x3F))));
    return;
  }
  Sprite.SetColors(0, ColorOf(CheckerLight));
  Sprite.SetColors(4, ColorOf(CheckerDark));
  for (int y = 0; y < Sprite.GetHeight(); ++y) {
    const auto row = Sprite.GetScanLine(y);
    for (int x = 0; x < Sprite.GetWidth(); ++x) {
      auto& pixel = row[static_cast<std::size_t>(x)];
      if (IsBackgroundIndex(pixel)) pixel = ((x / CheckerSquare + y / CheckerSquare) & 1) ? 4 : 0;
    }
  }
}

void DrawTileWindow(const TDrawSprite& Drawer, const TSpritePattern& Pattern, TZrDIB& PatternTable) {
  const int window = Pattern.CHRBank() - Pattern.CHRLoadOffset;
  for (int band = 0; band < 4; ++band)
    if (window + band >= 0 && window + band < ChrBanks)
      Drawer.DrawCharacterBank(PatternTable, static_cast<std::uint8_t>(window + band),
                               static_cast<std::uint8_t>(32 * band), 0);
  // The tiles DrawFrame draws: those of the sprites the records hold, inside the CHR data.
  const std::size_t count = static_cast<std::size_t>(Pattern.SpriteCount());
  for (std::size_t i = 0; i < count && 4 + 2 * i < Pattern.Frame.size() && 1 + 2 * i < Pattern.Align.size(); ++i) {
    const int tile = Pattern.Frame[3 + 2 * i];
    const std::int64_t offset = std::int64_t{window} * BankBytes + tile * TileBytes;
    if (offset < 0 || offset + TileBytes > std::int64_t{ChrBanks} * BankBytes) continue;
    const int left = 8 * (tile % 16), top = 32 * (tile / 64) + 8 * ((tile % 64) / 16);
    for (int k = 0; k < 8; ++k) {
      PatternTable.GetScanLine(top)[static_cast<std::size_t>(left + k)] = OutlineIndex;
      PatternTable.GetScanLine(top + 7)[static_cast<std::size_t>(left + k)] = OutlineIndex;
      PatternTable.GetScanLine(top + k)[static_cast<std::size_t>(left)] = OutlineIndex;
      PatternTable.GetScanLine(top + k)[static_cast<std::size_t>(left + 7)] = OutlineIndex;
    }
  }
}

std::string TileWindowPixelText(int Bank, int LoadOffset, int X, int Y) {
  const TTableTile at = PatternTableTile(Bank, LoadOffset, true, X, Y);
  // Appended, not joined: GCC 12 at -O3 warns falsely (-Wrestrict) on a literal joined to a string.
  std::string text(Translate("TarvelinPixelTrace", "タイル"));
  text.append(Hex(at.Tile, 2));
  if (at.Bank < 0) return text.append(Translate("TarvelinPixelTrace", " 読み込みなし"));
  return text.append(" CHR").append(Hex(ChrBankAddress(at.Bank) + (at.Tile % 64) * TileBytes, 5));
}
