#include "sprite/TarvelinDrawSprite.h"

#include "sprite/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"
#include "sprite/NesPalette.h"

namespace {

constexpr int TileBytes = 16;
constexpr int BankBytes = 1024;

// Colour number (0..3) of each pixel of a tile row, left to right.
std::array<std::uint8_t, 8> TileRow(const std::uint8_t* Tile, int Row) {
  const std::uint8_t plane0 = Tile[Row], plane1 = Tile[Row + 8];
  std::array<std::uint8_t, 8> pixels{};
  for (int c = 0; c < 8; ++c) {
    const int bit = 7 - c;
    pixels[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(((plane0 >> bit) & 1) | (((plane1 >> bit) & 1) << 1));
  }
  return pixels;
}

std::uint8_t* Row(TZrDIB& Picture, int Y) { return Picture.GetScanLine(Y).data(); }

// Pixels a row of the picture holds: the drawing wraps at 256 and must not run
// past the row of a narrower picture, nor into one that is not 8 bits deep.
int RowPixels(const TZrDIB& Picture) { return Picture.GetBitCount() == 8 ? Picture.GetWidth() : 0; }

}  // namespace

const TFcPaletteData& PicturePalette() {
  static const TFcPaletteData builtIn(NesMasterPalette());
  return FcPalette ? *FcPalette : builtIn;
}

void SetSpritePalette(TZrDIB& Picture, const std::array<std::uint8_t, 16>& Set) {
  const TFcPaletteData& palette = PicturePalette();
  for (int i = 0; i < 16; ++i)
    Picture.SetColors(i, static_cast<TColor>(palette.GetColor(Set[static_cast<std::size_t>(i)])));
}

std::unique_ptr<TZrDIB> CreatePageDIB(int Width, int Height) {
  auto picture = std::make_unique<TZrDIB>();
  picture->SetWidth(Width);
  picture->SetHeight(Height);
  SetSpritePalette(*picture, SpritePaletteSet);
  return picture;
}

TDrawSprite::TDrawSprite(const TChrData& ChrData, const TFcPaletteData* Palette)
    : FChrData(&ChrData), FPalette(Palette) {}

void TDrawSprite::DrawCharacterBank(TZrDIB& Picture, std::uint8_t Bank, std::uint8_t Top, std::uint8_t Group) const {
  const std::uint8_t* bank = FChrData->data() + Bank * BankBytes;
  const int base = 4 * Group;
  const int width = RowPixels(Picture);
  for (int k = 0; k < 64; ++k) {
    const std::uint8_t* tile = bank + k * TileBytes;
    const int x = 8 * (k % 16);
    for (int r = 0; r < 8; ++r) {
      std::uint8_t* row = Row(Picture, (Top + 8 * (k / 16) + r) & 0xFF);
      const auto pixels = TileRow(tile, r);
      for (int c = 0; c < 8; ++c) {
        const int column = (x + c) & 0xFF;
        if (column < width) row[column] = static_cast<std::uint8_t>(pixels[static_cast<std::size_t>(c)] + base);
      }
    }
  }
}

void TDrawSprite::DrawPatternTable(TZrDIB& Picture, std::uint8_t Bank, std::uint8_t LoadOffset,
                                   std::uint8_t Group) const {
  DrawCharacterBank(Picture, Bank, static_cast<std::uint8_t>(LoadOffset * 32), Group);
  if (LoadOffset == 2) DrawCharacterBank(Picture, static_cast<std::uint8_t>(Bank + 1), 96, Group);
}

void TDrawSprite::DrawSpriteTile(TZrDIB& Picture, std::int32_t Window, std::uint8_t X, std::uint8_t Y,
                                 std::uint8_t Tile, std::uint8_t Attribute) const {
  DrawTile(Picture, Window, X, Y, Tile, Attribute, nullptr, 0);
}

void TDrawSprite::DrawTile(TZrDIB& Picture, std::int32_t Window, std::uint8_t X, std::uint8_t Y, std::uint8_t Tile,
                           std::uint8_t Attribute, TSpriteMap* Map, int Sprite) const {
  const std::int64_t offset = static_cast<std::int64_t>(Window) * BankBytes + Tile * TileBytes;
  if (offset < 0 || offset + TileBytes > static_cast<std::int64_t>(FChrData->size())) return;
  const std::uint8_t* tile = FChrData->data() + offset;
  const int base = 4 * (Attribute & 3);
  const bool vflip = Attribute & 0x80, hflip = Attribute & 0x40;
  const int width = RowPixels(Picture);
  for (int j = 0; j < 8; ++j) {
    std::uint8_t* row = Row(Picture, (Y + j) & 0xFF);
    const auto pixels = TileRow(tile, vflip ? 7 - j : j);
    for (int c = 0; c < 8; ++c) {
      const std::uint8_t colour = pixels[static_cast<std::size_t>(c)];
      const int column = (X + (hflip ? 7 - c : c)) & 0xFF;
      if (colour != 0 && column < width) {
        row[column] = static_cast<std::uint8_t>(base + colour);
        if (Map) Map->Set(column, (Y + j) & 0xFF, Sprite);
      }
    }
  }
}

void TDrawSprite::DrawFrame(TZrDIB& Picture, std::span<const std::uint8_t> Frame,
                            std::span<const std::uint8_t> Align) const {
  DrawFrame(Picture, Frame, Align, nullptr);
}

void TDrawSprite::DrawFrame(TZrDIB& Picture, std::span<const std::uint8_t> Frame, std::span<const std::uint8_t> Align,
                            TSpriteMap* Map) const {
  if (Frame.size() < 4) return;
  const std::int32_t window = Frame[0] - Frame[3] / 64;
  const std::size_t count = std::size_t{Frame[1]} + 1;
  for (std::size_t i = 0; i < count && 4 + 2 * i < Frame.size() && 1 + 2 * i < Align.size(); ++i) {
    const auto x = static_cast<std::uint8_t>(Align[2 * i + 1] + FOriginX);
    const auto y = static_cast<std::uint8_t>(Align[2 * i] + FOriginY);
    DrawTile(Picture, window, x, y, Frame[3 + 2 * i], Frame[4 + 2 * i], Map, static_cast<int>(i));
  }
}
