// tarvelin-import ROM OUT [options]: pictures and raw CHR back into a ROM.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "tools/export/CommandLine.h"
#include "tools/import/ImportSteps.h"

namespace {

constexpr const char* Program = "tarvelin-import";

int UsageError(const QString& Text) { return ::UsageError(Program, Text); }

// Options that start an import, those that qualify the import before them, and the others that take a value.
const QStringList StepOptions = {"pattern-table", "sprite-picture", "chr", "records"};
const QStringList StepQualifiers = {"bank", "sprite", "chr-bank"};
const QStringList ValueOptions = {"patch", "palette", "free-space"};

// One import as the command line gives it: the option that starts it and the ones that follow.
struct TStepArguments {
  QString Kind;  // pattern-table, sprite-picture, chr or records
  QString File;
  QString Bank, Sprite, ChrBank;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(Program);
  const TArguments raw(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Imports pictures and raw CHR into a TARVELIN ROM, by the layout tarvelin-export and the viewer write:\n"
      "  --pattern-table PICTURE --bank B --sprite N   the 128 x 128 pattern table of pattern N of bank B: band b\n"
      "                                               is window bank b; only the bands of the pattern's CHR bank\n"
      "                                               take pixels, the others must stay colour 0\n"
      "  --sprite-picture PICTURE --bank B --sprite N  the 256 x 256 composed picture of pattern N: each pixel goes\n"
      "                                               to the tile pixel of the topmost sprite there, through its\n"
      "                                               flips; pixels no sprite covers must stay the background\n"
      "  --chr FILE --chr-bank K                       raw CHR (NES 2-bit planar, 16 bytes a tile) over 1 KiB\n"
      "                                               banks K, K+1, ...\n"
      "  --records FILE                                a records.json as tarvelin-export --records json writes it:\n"
      "                                               every field that differs from the image is written at its\n"
      "                                               offset; records keep their size unless --free-space is given\n"
      "Each is repeatable; they apply in the order given, each to the result of those before it.\n"
      "PICTURE is PNG or BMP, at the size saved or enlarged 2 to 8 times. An indexed picture (1, 2, 4 or 8 bits)\n"
      "gives each pixel its index mod 4; any other picture maps each pixel to the one of the four colours shown\n"
      "whose RGB is equal (where several are, the tile pixel's present colour if it is one of them); fully\n"
      "transparent pixels are colour 0. A pixel that maps to no colour, a tile pixel shown twice in different\n"
      "colours, or a picture of another size refuses the whole run, naming the tile and the pixel.\n"
      "OUT ending in .nes is the whole image; .ips or .bps a patch from ROM as read (before --patch) to the\n"
      "result. OUT is written whole or not at all, even when nothing changed. What changed (tiles, bytes, the\n"
      "other patterns that show them) is printed on stdout.\n"
      "With --free-space FILE (the free-space map the viewer keeps beside a ROM, ROM.tarvelin-free, or any file\n"
      "in its format) a records.json may change counts: sprites of a FrameData with its AlignData, frames of an\n"
      "AnimationData. Such a record grows in place where the bytes after it are declared free, else moves into\n"
      "the declared free space within the reach of every bank whose pointers name it, and those pointers follow;\n"
      "bytes it leaves that nothing reads become free. No byte outside the records and FILE's ranges changes.\n"
      "Too little space refuses the run, naming the bytes needed and the reach. FILE itself is left as it is\n"
      "(it still describes ROM); the map as the import leaves it is written, whole or not at all, beside OUT\n"
      "as OUT.tarvelin-free, where the viewer finds it when it opens OUT (for a patch OUT: the map of the\n"
      "patched image, to give with --free-space next time).\n"
      "Exit status: 0 written, 1 refused or failed (nothing written), 2 usage.");
  parser.addHelpOption();
  parser.addPositionalArgument("ROM", "The iNES ROM image.");
  parser.addPositionalArgument("OUT", "The result: FILE.nes, FILE.ips or FILE.bps.");
  const QCommandLineOption patch("patch", "Apply this IPS or BPS patch to the ROM as read first.", "FILE");
  const QCommandLineOption palette("palette", "NES master palette for RGB pictures (default fcpalette.pal).", "FILE",
                                   "fcpalette.pal");
  const QCommandLineOption force("force", "Replace OUT even when it is write-protected.");
  const QCommandLineOption quiet({"q", "quiet"}, "Print nothing on success.");
  const QCommandLineOption patternTable("pattern-table", "Import a pattern-table picture (repeatable).", "PICTURE");
  const QCommandLineOption spritePicture("sprite-picture", "Import a composed sprite picture (repeatable).", "PICTURE");
  const QCommandLineOption bank("bank", "The bank of the import before it: 12-13, 14-15 or 16.", "B");
  const QCommandLineOption sprite("sprite", "The pattern of the import before it, hex 0-1FF.", "N");
  const QCommandLineOption chr("chr", "Import raw CHR banks (repeatable).", "FILE");
  const QCommandLineOption chrBank("chr-bank", "The first bank of the --chr before it, hex 0-FF.", "K");
  const QCommandLineOption records("records", "Import a records.json (repeatable).", "FILE");
  const QCommandLineOption freeSpace("free-space",
                                     "Let --records change counts, moving records into the free space FILE declares.",
                                     "FILE");
  const QCommandLineOption nearest("nearest", "RGB pixels of no colour shown take the nearest one (counted).");
  parser.addOptions({patch, palette, force, quiet, patternTable, spritePicture, bank, sprite, chr, chrBank, records, nearest,
                     freeSpace});
  if (const auto finished = ParseOrFinish(parser, raw.Strings(), Program)) return *finished;
  const QStringList positional = parser.positionalArguments();
  if (positional.size() != 2) return UsageError("expected ROM and OUT");

  TImportToolOptions options;
  options.Rom = raw.Bytes(positional[0]);
  options.Out = raw.Bytes(positional[1]);
  options.Patch = raw.Bytes(parser.value(patch));
  options.Palette = raw.Bytes(parser.value(palette));
  options.Force = parser.isSet(force);
  options.Quiet = parser.isSet(quiet);
  options.FreeSpace = raw.Bytes(parser.value(freeSpace));
  if (parser.isSet(freeSpace) && options.FreeSpace.empty()) return UsageError("--free-space needs a FILE");
  const QString outName = positional[1].toLower();
  if (!outName.endsWith(".nes") && !outName.endsWith(".ips") && !outName.endsWith(".bps"))
    return UsageError("OUT must end in .nes, .ips or .bps");

  // The parser keeps each option's values but not their order among the others: walk the arguments.
  std::vector<TStepArguments> steps;
  const QStringList& arguments = raw.Strings();
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == "--") break;
    if (!argument.startsWith("--")) continue;
    const qsizetype equals = argument.indexOf('=');
    const QString name = argument.mid(2, equals < 0 ? -1 : equals - 2);
    if (!StepOptions.contains(name) && !StepQualifiers.contains(name) && !ValueOptions.contains(name)) continue;
    const QString value = equals >= 0 ? argument.mid(equals + 1) : (i + 1 < arguments.size() ? arguments[++i] : QString());
    if (StepOptions.contains(name)) {
      steps.push_back({name, value, {}, {}, {}});
    } else if (StepQualifiers.contains(name)) {
      if (steps.empty()) return UsageError("--" + name + " before any --pattern-table, --sprite-picture or --chr");
      QString& slot = name == "bank" ? steps.back().Bank : name == "sprite" ? steps.back().Sprite : steps.back().ChrBank;
      if (!slot.isNull()) return UsageError("--" + name + " given twice for " + steps.back().File);
      slot = value;
    }
  }
  TImportOptions look;
  look.Nearest = parser.isSet(nearest);
  for (const TStepArguments& step : steps) {
    const std::string file = raw.Bytes(step.File);
    if (step.Kind == "records") {
      if (!step.Bank.isNull() || !step.Sprite.isNull() || !step.ChrBank.isNull())
        return UsageError("--records takes no --bank, --sprite or --chr-bank");
      options.Steps.push_back(RecordsStep(file, !options.FreeSpace.empty()));
      continue;
    }
    if (step.Kind == "chr") {
      if (!step.Bank.isNull() || !step.Sprite.isNull()) return UsageError("--chr takes --chr-bank, not --bank or --sprite");
      const auto first = ParseHexNumber(step.ChrBank.toStdString(), 0xFF);
      if (step.ChrBank.isNull() || !first) return UsageError("--chr " + step.File + " needs --chr-bank K (hex 0-FF)");
      options.Steps.push_back(ChrStep(file, *first));
      continue;
    }
    if (!step.ChrBank.isNull()) return UsageError("--" + step.Kind + " takes --bank and --sprite, not --chr-bank");
    int bankIndex = -1;
    for (int i = 0; i < 3; ++i)
      if (step.Bank == BankNames[i]) bankIndex = i;
    if (bankIndex < 0) return UsageError("--" + step.Kind + " " + step.File + " needs --bank 12-13, 14-15 or 16");
    const auto number = ParseHexNumber(step.Sprite.toStdString(), 0x1FF);
    if (step.Sprite.isNull() || !number) return UsageError("--" + step.Kind + " " + step.File + " needs --sprite N (hex 0-1FF)");
    const TPatternRef pattern{bankIndex, *number};
    options.Steps.push_back(step.Kind == "pattern-table" ? PatternTableStep(file, pattern, look)
                                                         : SpritePictureStep(file, pattern, look));
  }
  return RunImport(options);
}
