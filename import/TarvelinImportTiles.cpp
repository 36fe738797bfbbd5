#include "import/TarvelinImportTiles.h"

#include <cstring>

namespace {

constexpr int MaxScale = 8;

bool SamePixel(const TImportImage& Picture, std::size_t A, std::size_t B) {
  if (Picture.Indexed && Picture.Indexes[A] != Picture.Indexes[B]) return false;
  return Picture.Argb[A] == Picture.Argb[B];
}

}  // namespace

const TImportImage* AtPageSize(const TImportImage& Picture, int Width, int Height, TImportImage& Reduced,
                               TImportResult& Result) {
  if (Picture.Width == Width && Picture.Height == Height) return &Picture;
  const int scale = Picture.Width / Width;
  if (scale < 2 || scale > MaxScale || Picture.Width != scale * Width || Picture.Height != scale * Height) {
    TImportProblem problem;
    problem.Kind = TImportProblemKind::WrongSize;
    problem.Width = Picture.Width;
    problem.Height = Picture.Height;
    problem.ExpectedWidth = Width;
    problem.ExpectedHeight = Height;
    Result.Problem = problem;
    return nullptr;
  }
  Reduced.Width = Width;
  Reduced.Height = Height;
  Reduced.Indexed = Picture.Indexed;
  Reduced.Argb.resize(static_cast<std::size_t>(Width) * Height);
  if (Picture.Indexed) Reduced.Indexes.resize(Reduced.Argb.size());
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) {
      const std::size_t corner = Picture.At(x * scale, y * scale);
      // A pixel painted inside a block would be lost: the block must be one colour.
      for (int dy = 0; dy < scale; ++dy)
        for (int dx = 0; dx < scale; ++dx)
          if (!SamePixel(Picture, corner, Picture.At(x * scale + dx, y * scale + dy))) {
            TImportProblem problem;
            problem.Kind = TImportProblemKind::UnevenScale;
            problem.Place.X = x;
            problem.Place.Y = y;
            problem.Width = scale;
            Result.Problem = problem;
            return nullptr;
          }
      Reduced.Argb[Reduced.At(x, y)] = Picture.Argb[corner];
      if (Picture.Indexed) Reduced.Indexes[Reduced.At(x, y)] = Picture.Indexes[corner];
    }
  return &Reduced;
}

std::array<std::uint8_t, 16> TileBytes(const TChrData& ChrData, int Offset) {
  std::array<std::uint8_t, 16> tile{};
  std::memcpy(tile.data(), ChrData.data() + Offset, tile.size());
  return tile;
}

int TilePixel(const std::array<std::uint8_t, 16>& Tile, int X, int Y) {
  const int bit = 0x80 >> X;
  return ((Tile[static_cast<std::size_t>(Y)] & bit) ? 1 : 0) + ((Tile[static_cast<std::size_t>(Y + 8)] & bit) ? 2 : 0);
}

void SetTilePixel(std::array<std::uint8_t, 16>& Tile, int X, int Y, int Colour) {
  const int bit = 0x80 >> X;
  auto& plane0 = Tile[static_cast<std::size_t>(Y)];
  auto& plane1 = Tile[static_cast<std::size_t>(Y + 8)];
  plane0 = static_cast<std::uint8_t>((plane0 & ~bit) | ((Colour & 1) ? bit : 0));
  plane1 = static_cast<std::uint8_t>((plane1 & ~bit) | ((Colour & 2) ? bit : 0));
}

void PlanTileWrites(const TChrData& ChrData, const TNewTiles& Tiles, TImportResult& Result) {
  for (const auto& [offset, bytes] : Tiles) {
    bool changed = false;
    for (int i = 0; i < 16; ++i) {
      const std::uint8_t old = ChrData[static_cast<std::size_t>(offset + i)];
      if (old == bytes[static_cast<std::size_t>(i)]) continue;
      Result.Change.Writes.push_back({ChrDataFileOffset + offset + i, old, bytes[static_cast<std::size_t>(i)]});
      changed = true;
    }
    if (changed) Result.Tiles.push_back(offset);
  }
}
