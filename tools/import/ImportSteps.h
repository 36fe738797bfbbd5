#pragma once
// tarvelin-import's work as an ordered list of steps, each a function from the
// image as the steps before it left it to the change it makes. Another kind of
// import is one more maker of a step.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "import/TarvelinImport.h"
#include "rom/TarvelinRomDocument.h"

struct TStepOutcome {
  TRomChange Change;
  bool Pictures = true;            // false: a step of records, whose report counts no tiles
  std::vector<int> Tiles;          // ChrData offsets of the tiles changed, for the report
  std::vector<TPatternRef> Own;    // patterns the step was aimed at, left out of the shared list
  int Approximated = 0;
  std::string Refusal;             // non-empty: refused, in English
  std::optional<TFreeMap> FreeAfter;  // the free map the step leaves, when it used one
};

struct TImportStep {
  std::string Source;  // the file named on the command line, for messages
  std::function<TStepOutcome(const TRomDocument&)> Plan;
};

// The pattern table of pattern Pattern, from the picture file Path.
TImportStep PatternTableStep(std::string Path, TPatternRef Pattern, TImportOptions Options);
// The composed sprite picture of Pattern.
TImportStep SpritePictureStep(std::string Path, TPatternRef Pattern, TImportOptions Options);
// Raw CHR banks from FirstBank on.
TImportStep ChrStep(std::string Path, int FirstBank);
// The records.json at Path: every field that differs from the image. Records keep
// their size unless Grow, when counts may change through the document's free map.
TImportStep RecordsStep(std::string Path, bool Grow = false);

struct TImportToolOptions {
  std::string Rom;
  std::string Out;
  std::string Patch;
  std::string Palette = "fcpalette.pal";
  bool Force = false;
  bool Quiet = false;
  // --free-space: the map the records may grow into, and whether one was given.
  std::string FreeSpace;
  std::vector<TImportStep> Steps;
};

// Loads the ROM, applies every step in order and writes OUT; returns the exit
// code (0 written, 1 refused or failed: nothing written). Messages on stderr,
// the report of each step on stdout.
int RunImport(const TImportToolOptions& Options);
