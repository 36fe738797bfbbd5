#include "sprite/TarvelinPixelTrace.h"

#include <algorithm>

#include "sprite/TarvelinSpritePattern.h"
#include "dib/ZrDIB.h"
#include "host/Translate.h"

namespace {

constexpr int TileBytes = 16;
constexpr int BankBytes = 1024;
constexpr int ChrBanks = 256;

// Texts joined by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on
// "literal" + std::string.
template <class... TParts>
std::string Join(const TParts&... Parts) {
  std::string text;
  (text.append(Parts), ...);
  return text;
}

std::string Hex(int Value) { return Join("$", FormatByte(Value)); }

std::string Flips(int Attribute) {
  switch (Attribute & 0xC0) {
    case 0x40: return Translate("TarvelinPixelTrace", " 左右反転");
    case 0x80: return Translate("TarvelinPixelTrace", " 上下反転");
    case 0xC0: return Translate("TarvelinPixelTrace", " 上下左右反転");
    default: return "";
  }
}

}  // namespace

TSpriteTrace TraceOf(const TSpritePattern& Pattern, int BankIndex, int PatternNumber) {
  TSpriteTrace trace;
  trace.Drawn = true;
  trace.BankIndex = BankIndex;
  trace.PatternNumber = PatternNumber;
  trace.FrameAddress = Pattern.FrameAddress;
  trace.AlignAddress = Pattern.AlignAddress;
  const std::size_t count = static_cast<std::size_t>(Pattern.SpriteCount());
  const auto frame = Pattern.Frame.first(std::min(Pattern.Frame.size(), 3 + 2 * count));
  const auto align = Pattern.Align.first(std::min(Pattern.Align.size(), 2 * count));
  trace.Frame.assign(frame.begin(), frame.end());
  trace.Align.assign(align.begin(), align.end());
  return trace;
}

std::string SpritePixelText(const TSpriteTrace& Trace, int X, int Y, int Index) {
  // Short enough for the status bar of the window at its designed width.
  std::string text =
      Join("(", std::to_string(X), ",", std::to_string(Y), ")", Translate("TarvelinPixelTrace", " 色"), Hex(Index));
  // The colour shown: a background other than the usual one replaced entry 0 (or both grey squares).
  if (Trace.Background == CheckerboardBackground && IsBackgroundIndex(Index))
    text += Translate("TarvelinPixelTrace", " チェッカーボード");
  else if (Index == 0 && Trace.Background != DefaultBackground)
    text += Join(" NES", Hex(Trace.Background & 0x3F));
  else if (Index >= 0 && Index < static_cast<int>(SpritePaletteSet.size()))
    text += Join(" NES", Hex(SpritePaletteSet[static_cast<std::size_t>(Index)]));
  const int sprite = Trace.Drawn ? Trace.Map.At(X, Y) : -1;
  if (sprite < 0) return Join(text, Translate("TarvelinPixelTrace", " 透明"));
  // A sprite in the map was drawn, so its bytes are in the copies.
  const auto i = static_cast<std::size_t>(sprite);
  const int tile = Trace.Frame[3 + 2 * i], attribute = Trace.Frame[4 + 2 * i];
  const int window = Trace.Frame[0] - Trace.Frame[3] / 64;
  const int chr = ChrDataFileOffset + window * BankBytes + tile * TileBytes;
  return Join(text, Translate("TarvelinPixelTrace", " スプライト"), Hex(sprite),
              Translate("TarvelinPixelTrace", " 定義"), FormatAddress(Trace.FrameAddress + 3 + 2 * sprite),
              Translate("TarvelinPixelTrace", " 配置"), FormatAddress(Trace.AlignAddress + 2 * sprite),
              Translate("TarvelinPixelTrace", " タイル"), Hex(tile), Flips(attribute),
              Translate("TarvelinPixelTrace", " パレット"), std::to_string(attribute & 3), " CHR", FormatAddress(chr));
}

TTableTile PatternTableTile(int Bank, int LoadOffset, bool WholeTileWindow, int X, int Y) {
  // Band b of the table stands for bank b of the sprite tile window, so the
  // tile number is the one a sprite entry would name.
  const int band = (Y / 32) & 3;
  TTableTile at;
  at.Tile = 64 * band + 16 * ((Y % 32) / 8) + (X & 0x7F) / 8;
  if (WholeTileWindow) {
    const int bank = Bank - LoadOffset + band;
    if (bank >= 0 && bank < ChrBanks) at.Bank = bank;
  } else if (band == LoadOffset) {
    at.Bank = Bank & 0xFF;
  } else if (LoadOffset == 2 && band == 3) {
    at.Bank = (Bank + 1) & 0xFF;
  }
  return at;
}

std::string PatternTablePixelText(int Bank, int LoadOffset, int X, int Y) {
  const TTableTile at = PatternTableTile(Bank, LoadOffset, false, X, Y);
  const std::string text = Join(Translate("TarvelinPixelTrace", "タイル"), Hex(at.Tile));
  if (at.Bank < 0) return Join(text, Translate("TarvelinPixelTrace", " 読み込みなし"));
  return Join(text, " CHR", FormatAddress(ChrBankAddress(at.Bank) + (at.Tile % 64) * TileBytes));
}

int PicturePixelIndex(const TZrDIB& Picture, int X, int Y) {
  const TZrInternalDIB* dib = Picture.GetInternalDIB();
  if (!dib || Picture.GetBitCount() != 8 || X < 0 || Y < 0 || X >= dib->Width || Y >= dib->Height) return -1;
  const auto& header = dib->BitmapInfo.bmiHeader;
  if (header.biCompression != BI_RGB) return -1;
  // Rows as GetScanLine counts them: bottom-up unless the header's height is negative.
  const std::int64_t stride = DIBStride(8, header.biWidth);
  const std::int64_t row = header.biHeight > 0 ? dib->Height - 1 - Y : Y;
  const std::int64_t at = row * stride + X;
  if (at >= dib->ImageSize) return -1;
  return dib->Pixels()[static_cast<std::size_t>(at)];
}
