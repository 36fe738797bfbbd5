#include "import/TarvelinImport.h"

#include "dib/ZrDIB.h"
#include "import/TarvelinImportColour.h"
#include "import/TarvelinImportTiles.h"
#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinPixelTrace.h"
#include "sprite/TarvelinSpritePattern.h"

namespace {

constexpr int TableSize = 128;
constexpr int SpriteSize = 256;
constexpr int BankBytes = 1024;
constexpr int ChrBanks = 256;

TShownColours GroupColours(int Group, const std::vector<std::uint32_t>& Colour0) {
  TShownColours shown;
  shown[0] = Colour0;
  for (int k = 1; k < 4; ++k) shown[static_cast<std::size_t>(k)] = {ShownRgb(SpritePaletteSet[static_cast<std::size_t>(4 * Group + k)])};
  return shown;
}

// A mapping that found no single colour refuses the import at Place.
bool Refuse(const TColourResult& Colour, const TImportPlace& Place, const TImportImage& Picture, TImportResult& Result) {
  if (Colour.Match != TColourMatch::NoColour && Colour.Match != TColourMatch::Ambiguous) {
    Result.Approximated += Colour.Match == TColourMatch::Nearest;
    return false;
  }
  TImportProblem problem;
  problem.Kind = Colour.Match == TColourMatch::NoColour ? TImportProblemKind::NoColour : TImportProblemKind::Ambiguous;
  problem.Place = Place;
  problem.Rgb = Picture.Argb[Picture.At(Place.X, Place.Y)] & 0xFFFFFF;
  Result.Problem = problem;
  return true;
}

void RefuseAt(TImportProblemKind Kind, const TImportPlace& Place, TImportResult& Result) {
  TImportProblem problem;
  problem.Kind = Kind;
  problem.Place = Place;
  Result.Problem = problem;
}

// A sprite as DrawFrame places it; Offset is -1 for one it does not draw.
struct TPlacedSprite {
  int X = 0, Y = 0, Tile = 0, Attribute = 0;
  int Offset = -1;
};

std::vector<TPlacedSprite> PlacedSprites(const TSpritePattern& Pattern) {
  std::vector<TPlacedSprite> sprites;
  if (Pattern.Frame.size() < 4) return sprites;
  const int window = Pattern.Frame[0] - Pattern.Frame[3] / 64;
  const std::size_t count = std::size_t{Pattern.Frame[1]} + 1;
  for (std::size_t i = 0; i < count && 4 + 2 * i < Pattern.Frame.size() && 1 + 2 * i < Pattern.Align.size(); ++i) {
    TPlacedSprite sprite;
    sprite.X = (Pattern.Align[2 * i + 1] + 128) & 0xFF;
    sprite.Y = (Pattern.Align[2 * i] + 128) & 0xFF;
    sprite.Tile = Pattern.Frame[3 + 2 * i];
    sprite.Attribute = Pattern.Frame[4 + 2 * i];
    const std::int64_t offset = std::int64_t{window} * BankBytes + sprite.Tile * 16;
    if (offset >= 0 && offset + 16 <= std::int64_t{ChrBanks} * BankBytes) sprite.Offset = static_cast<int>(offset);
    sprites.push_back(sprite);
  }
  return sprites;
}

}  // namespace

TImportResult ImportPatternTable(const TChrData& ChrData, const TSpritePattern& Pattern, const TImportImage& Given,
                                 const TImportOptions& Options) {
  TImportResult result;
  TImportImage reduced;
  const TImportImage* picture = AtPageSize(Given, TableSize, TableSize, reduced, result);
  if (!picture) return result;
  // Band b stands for window bank b; only the bands drawn take pixels, as the table shows them.
  std::array<int, 4> banks{};
  for (int b = 0; b < 4; ++b)
    banks[static_cast<std::size_t>(b)] =
        PatternTableTile(Pattern.CHRBank(), Pattern.CHRLoadOffset, Options.WholeTileWindow, 0, 32 * b).Bank;
  const TShownColours shown = GroupColours(0, {ShownRgb(SpritePaletteSet[0])});
  const std::uint32_t outline = ShownRgb(SpritePaletteSet[OutlineIndex]);
  TNewTiles tiles;
  std::array<std::array<std::uint8_t, 16>*, 16> strip{};  // the row of tiles under the current pixel row
  for (int y = 0; y < TableSize; ++y) {
    const int band = y / 32;
    const int chrBank = banks[static_cast<std::size_t>(band)];
    if (y % 8 == 0)
      for (int column = 0; column < 16; ++column) {
        const int offset = chrBank * BankBytes + (16 * ((y % 32) / 8) + column) * 16;
        strip[static_cast<std::size_t>(column)] =
            chrBank < 0 ? nullptr : &tiles.try_emplace(offset, TileBytes(ChrData, offset)).first->second;
      }
    for (int x = 0; x < TableSize; ++x) {
      // The outlines of the whole window's used tiles are drawn over them, not stored.
      if (Options.WholeTileWindow && !picture->Transparent(x, y) &&
          (picture->Indexed ? picture->Indexes[picture->At(x, y)] == OutlineIndex
                            : (picture->Argb[picture->At(x, y)] & 0xFFFFFF) == outline))
        continue;
      const int inBank = 16 * ((y % 32) / 8) + x / 8;
      std::array<std::uint8_t, 16>* tile = strip[static_cast<std::size_t>(x / 8)];
      const int present = tile ? TilePixel(*tile, x % 8, y % 8) : 0;
      const TColourResult colour = MapPixelColour(*picture, x, y, shown, present, Options.Nearest);
      if (colour.Match != TColourMatch::Exact || (!tile && colour.Colour != 0)) {
        const TImportPlace place{x, y, -1, 64 * band + inBank,
                                 tile ? ChrDataFileOffset + chrBank * BankBytes + inBank * 16 : -1, x % 8, y % 8};
        if (Refuse(colour, place, *picture, result)) return result;
        if (!tile && colour.Colour != 0) {
          RefuseAt(TImportProblemKind::EmptyBand, place, result);
          return result;
        }
      }
      if (tile) SetTilePixel(*tile, x % 8, y % 8, colour.Colour);
    }
  }
  PlanTileWrites(ChrData, tiles, result);
  return result;
}

TImportResult ImportSpritePicture(const TChrData& ChrData, const TSpritePattern& Pattern, const TImportImage& Given,
                                  const TImportOptions& Options) {
  TImportResult result;
  TImportImage reduced;
  const TImportImage* picture = AtPageSize(Given, SpriteSize, SpriteSize, reduced, result);
  if (!picture) return result;
  // Which sprite shows each pixel, as the pixel trace learns it from the drawing.
  const TDrawSprite drawer(ChrData, &PicturePalette());
  const auto page = CreatePageDIB(SpriteSize, SpriteSize);
  TSpriteTrace trace = TraceOf(Pattern, 0, 0);
  DrawSpritePattern(drawer, Pattern, *page, &trace.Map);
  const TSpriteMap& shownBy = trace.Map;
  // Where no sprite shows a colour, the topmost one whose square lies there may take one.
  const std::vector<TPlacedSprite> sprites = PlacedSprites(Pattern);
  std::vector<std::int16_t> cover(SpriteSize * SpriteSize, -1);
  for (std::size_t i = 0; i < sprites.size(); ++i) {
    if (sprites[i].Offset < 0) continue;
    for (int j = 0; j < 8; ++j)
      for (int c = 0; c < 8; ++c)
        cover[static_cast<std::size_t>(((sprites[i].Y + j) & 0xFF) * SpriteSize + ((sprites[i].X + c) & 0xFF))] =
            static_cast<std::int16_t>(i);
  }
  std::vector<std::uint32_t> background;
  if (Options.Background == CheckerboardBackground)
    background = {CheckerLight, CheckerDark};
  else
    background = {ShownRgb(Options.Background)};
  std::array<TShownColours, 4> groups;
  for (int g = 0; g < 4; ++g) groups[static_cast<std::size_t>(g)] = GroupColours(g, background);

  // The tile pixel a picture pixel stands for: its owner's tile, through the flips.
  const auto placeOf = [&](int X, int Y) {
    int owner = shownBy.At(X, Y);
    if (owner < 0) owner = cover[static_cast<std::size_t>(Y * SpriteSize + X)];
    TImportPlace place{X, Y, owner, -1, -1, -1, -1};
    if (owner < 0) return place;
    const TPlacedSprite& sprite = sprites[static_cast<std::size_t>(owner)];
    const int row = (Y - sprite.Y) & 0xFF, column = (X - sprite.X) & 0xFF;
    place.Tile = sprite.Tile;
    place.ChrAddress = ChrDataFileOffset + sprite.Offset;
    place.TileY = (sprite.Attribute & 0x80) ? 7 - row : row;
    place.TileX = (sprite.Attribute & 0x40) ? 7 - column : column;
    return place;
  };
  // Every sprite draws from one window of 256 tiles, so its tile number names the tile.
  const auto keyOf = [](const TImportPlace& Place) {
    return static_cast<std::size_t>(Place.Tile * 64 + Place.TileY * 8 + Place.TileX);
  };
  // The colour each tile pixel was given first (-1: none yet), and each sprite's tile as it is and as it becomes.
  std::vector<std::int8_t> given(256 * 64, -1);
  std::vector<std::array<std::uint8_t, 16>> before(sprites.size());
  std::vector<std::array<std::uint8_t, 16>*> after(sprites.size(), nullptr);
  TNewTiles tiles;
  for (std::size_t i = 0; i < sprites.size(); ++i) {
    if (sprites[i].Offset < 0) continue;
    before[i] = TileBytes(ChrData, sprites[i].Offset);
    after[i] = &tiles.try_emplace(sprites[i].Offset, before[i]).first->second;
  }
  for (int y = 0; y < SpriteSize; ++y)
    for (int x = 0; x < SpriteSize; ++x) {
      const TImportPlace place = placeOf(x, y);
      if (place.Sprite < 0) {
        const TColourResult colour = MapPixelColour(*picture, x, y, groups[0], 0, Options.Nearest);
        if (colour.Match == TColourMatch::Nearest) ++result.Approximated;
        if (colour.Match == TColourMatch::NoColour || colour.Match == TColourMatch::Ambiguous || colour.Colour != 0) {
          RefuseAt(TImportProblemKind::Uncovered, place, result);
          return result;
        }
        continue;
      }
      const auto owner = static_cast<std::size_t>(place.Sprite);
      const int present = TilePixel(before[owner], place.TileX, place.TileY);
      const TColourResult colour = MapPixelColour(
          *picture, x, y, groups[static_cast<std::size_t>(sprites[owner].Attribute & 3)], present, Options.Nearest);
      if (Refuse(colour, place, *picture, result)) return result;
      std::int8_t& first = given[keyOf(place)];
      if (first >= 0 && first != colour.Colour) {
        TImportProblem problem;
        problem.Kind = TImportProblemKind::Conflict;
        // The first place that showed this tile pixel, found again in the same order.
        for (int at = 0; at < y * SpriteSize + x; ++at) {
          const TImportPlace earlier = placeOf(at % SpriteSize, at / SpriteSize);
          if (earlier.Sprite >= 0 && keyOf(earlier) == keyOf(place)) {
            problem.Place = earlier;
            break;
          }
        }
        problem.Other = place;
        result.Problem = problem;
        return result;
      }
      first = static_cast<std::int8_t>(colour.Colour);
      SetTilePixel(*after[owner], place.TileX, place.TileY, colour.Colour);
    }
  PlanTileWrites(ChrData, tiles, result);
  return result;
}
