#pragma once
// tarvelin-export's core: every sprite pattern and animation of a ROM drawn by
// the viewer's renderer and written as files.

#include <optional>
#include <string>
#include <vector>

#include "records/TarvelinRecords.h"
#include "rom/TarvelinFileIO.h"
#include "sprite/TarvelinPictureLook.h"
#include "tools/export/ExportIndex.h"

enum class TStillFormat { Png, Bmp };

struct TExportOptions {
  std::string Rom;
  std::string OutDir;
  std::string Palette = "fcpalette.pal";
  std::string Patch;  // an IPS or BPS patch applied to the image as read, if given
  std::vector<int> Banks = {0, 1, 2};  // bank box item indexes
  // Which patterns and animations; all of both when neither list is given.
  std::vector<int> Sprites;
  std::vector<int> Animations;
  TStillFormat Format = TStillFormat::Png;
  int Scale = 1;
  int Workers = 2;
  bool Progress = false;
  // Composed pictures' background transparent in PNGs and animations.
  bool Transparent = false;
  TAnimationFormat AnimationFormat = TAnimationFormat::Gif;
  bool Force = false;  // replace write-protected files in OUTDIR
  // The records as text beside the pictures (records.json, records.s, records.asm).
  std::vector<TRecordsFormat> Records;
  bool Pictures = true;  // false: the records alone, no picture and no index.csv
  std::string Diff;    // another ROM or a patch: export only what it changes, listed in diff.csv
  // Exactly these items, when set; DiffCsv, when not empty, is written as diff.csv.
  std::optional<std::vector<TIndexItem>> Only;
  std::string DiffCsv;
};


// Exports as the options say and returns the exit code; errors are printed on stderr.
// On failure OUTDIR holds nothing new.
int RunExport(const TExportOptions& Options);
