#pragma once
// Pictures back into CHR tiles, by the layout the viewer saved them in: the
// pattern table (band b is window bank b) and the composed sprite picture (each
// pixel to the tile pixel of the sprite that shows it, through its flips), and
// raw CHR banks. Each answers the byte writes, planned against the buffers
// given and not applied, or the first reason to refuse; nothing is guessed.

#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "import/TarvelinImportPicture.h"
#include "rom/TarvelinFileIO.h"
#include "rom/TarvelinRomChange.h"
#include "rom/TarvelinRomUsage.h"
#include "sprite/TarvelinPictureLook.h"

struct TSpritePattern;

struct TImportOptions {
  // RGB pixels that equal none of the colours shown take the nearest one.
  bool Nearest = false;
  // The pattern table holds all four banks of the sprite tile window, used tiles outlined.
  bool WholeTileWindow = false;
  // What showed behind the sprites of a composed picture (an NES colour or CheckerboardBackground).
  int Background = DefaultBackground;
};

// Where in the picture, and which tile pixel it stands for (-1: none).
struct TImportPlace {
  int X = -1, Y = -1;  // picture pixel at the page's size (of an enlarged picture, its block)
  int Sprite = -1;     // sprite record index (composed pictures)
  int Tile = -1;       // tile number as a sprite entry names it
  int ChrAddress = -1;  // file offset of the tile's first byte
  int TileX = -1, TileY = -1;  // pixel inside the tile, as stored
};

enum class TImportProblemKind {
  WrongSize,   // Width x Height is not Expected (or a whole multiple of it)
  UnevenScale,  // an enlarged picture whose block at Place is not one colour
  NoColour,    // Rgb equals none of the colours shown
  Ambiguous,   // Rgb equals several colours shown, and the tile pixel is none of them
  EmptyBand,   // a pixel other than colour 0 in a band that shows no bank
  Uncovered,   // a pixel other than the background where no sprite lies
  Conflict,    // one tile pixel shown at Place and Other in different colours
  ChrSize,     // a raw CHR of Width bytes: not a whole number of 1 KiB banks
  ChrPastEnd,  // raw CHR banks from Tile on run past bank $FF
};

struct TImportProblem {
  TImportProblemKind Kind = TImportProblemKind::WrongSize;
  TImportPlace Place;
  TImportPlace Other;
  std::uint32_t Rgb = 0;  // 0xRRGGBB
  int Width = 0, Height = 0, ExpectedWidth = 0, ExpectedHeight = 0;
};

struct TImportResult {
  std::optional<TImportProblem> Problem;  // refused: no writes
  TRomChange Change;                      // only bytes that differ
  std::vector<int> Tiles;                 // ChrData offsets of the tiles that change, ascending
  int Approximated = 0;                   // pixels given the nearest colour
  bool Refused() const { return Problem.has_value(); }
};

// The 128 x 128 pattern table of Pattern (its CHR bank and load offset).
TImportResult ImportPatternTable(const TChrData& ChrData, const TSpritePattern& Pattern, const TImportImage& Picture,
                                 const TImportOptions& Options = {});
// The 256 x 256 composed picture of Pattern.
TImportResult ImportSpritePicture(const TChrData& ChrData, const TSpritePattern& Pattern, const TImportImage& Picture,
                                  const TImportOptions& Options = {});
// Raw CHR: Bytes over banks FirstBank on, 1 KiB each.
TImportResult ImportChr(const TChrData& ChrData, int FirstBank, std::span<const std::uint8_t> Bytes);
// Count banks from FirstBank as raw CHR bytes (clipped at bank $FF).
std::vector<std::uint8_t> ExportChr(const TChrData& ChrData, int FirstBank, int Count);

// The patterns of every bank, other than Except, that draw a sprite from one of the tiles
// (ChrData offsets), in bank order then number order.
std::vector<TPatternRef> PatternsSharingTiles(const TPrgData& PrgData, const std::vector<int>& Tiles,
                                              const TPatternRef& Except);

// The refusal in English, naming the tile and the pixel.
std::string ImportProblemText(const TImportProblem& Problem);
