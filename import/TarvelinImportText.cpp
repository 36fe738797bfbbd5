#include <cstdio>

#include "import/TarvelinImport.h"

namespace {

// Texts joined by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on "literal" + std::string.
template <class... TParts>
std::string Join(const TParts&... Parts) {
  std::string text;
  (text.append(Parts), ...);
  return text;
}

std::string Hex(int Value, int Digits, const char* Prefix = "$") {
  char text[16];
  std::snprintf(text, sizeof text, "%s%0*X", Prefix, Digits, static_cast<unsigned>(Value));
  return text;
}

std::string Number(int Value) { return std::to_string(Value); }

std::string Pixel(int X, int Y) { return Join("(", Number(X), ",", Number(Y), ")"); }

std::string PlaceText(const TImportPlace& Place) {
  std::string text = Join("pixel ", Pixel(Place.X, Place.Y));
  if (Place.Sprite >= 0) text.append(Join(", sprite ", Number(Place.Sprite)));
  if (Place.Tile >= 0) text.append(Join(", tile ", Hex(Place.Tile, 2)));
  if (Place.ChrAddress >= 0) text.append(Join(" (CHR ", Hex(Place.ChrAddress, 5), ")"));
  if (Place.TileX >= 0) text.append(Join(" pixel ", Pixel(Place.TileX, Place.TileY), " of the tile"));
  return text;
}

}  // namespace

std::string ImportProblemText(const TImportProblem& Problem) {
  const TImportPlace& place = Problem.Place;
  switch (Problem.Kind) {
    case TImportProblemKind::WrongSize:
      return Join("the picture is ", Number(Problem.Width), " x ", Number(Problem.Height), " pixels; this import takes ",
                  Number(Problem.ExpectedWidth), " x ", Number(Problem.ExpectedHeight),
                  " (or that enlarged 2 to 8 times)");
    case TImportProblemKind::UnevenScale:
      return Join("the picture is enlarged ", Number(Problem.Width), " times, but the block of ",
                  Pixel(place.X, place.Y), " is not one colour");
    case TImportProblemKind::NoColour:
      return Join(PlaceText(place), ": colour ", Hex(static_cast<int>(Problem.Rgb), 6, "#"),
                  " is none of the four colours shown (--nearest takes the nearest)");
    case TImportProblemKind::Ambiguous:
      return Join(PlaceText(place), ": colour ", Hex(static_cast<int>(Problem.Rgb), 6, "#"),
                  " stands for more than one colour number; use an indexed picture");
    case TImportProblemKind::EmptyBand:
      return Join(PlaceText(place), ": its band shows no CHR bank, so it must stay colour 0");
    case TImportProblemKind::Uncovered:
      return Join(PlaceText(place), ": no sprite lies here, so it must stay the background");
    case TImportProblemKind::Conflict:
      return Join("one tile pixel is shown in two colours: ", PlaceText(place), ", and ", PlaceText(Problem.Other));
    case TImportProblemKind::ChrSize:
      return Join("raw CHR of ", Number(Problem.Width), " bytes: not a whole number of 1024-byte banks");
    case TImportProblemKind::ChrPastEnd:
      return Join("raw CHR of ", Number(Problem.Width / 1024), " banks from bank ", Hex(place.Tile, 2),
                  " runs past bank $FF");
  }
  return "refused";
}
