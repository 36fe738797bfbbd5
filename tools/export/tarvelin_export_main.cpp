// tarvelin-export ROM OUTDIR [options]: the viewer's pictures of a ROM as files.

#include <signal.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>

#include "tools/export/CommandLine.h"
#include "tools/export/RomExport.h"

namespace {

constexpr const char* Program = "tarvelin-export";

int UsageError(const QString& Text) { return ::UsageError(Program, Text); }

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(Program);
  const TArguments raw(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Exports the sprite patterns and animations of a TARVELIN ROM as the viewer draws them:\n"
      "  OUTDIR/sprite/BANK/NNN.png         each pattern composed (256 x 256)\n"
      "  OUTDIR/patterntable/BANK/NNN.png   its CHR bank as a pattern table (128 x 128)\n"
      "  OUTDIR/index.csv                   one row per pattern or animation in OUTDIR: the numbers and\n"
      "                                     dumps the viewer shows, as plain hex (kept across partial runs)\n"
      "  OUTDIR/animation/BANK/NN.gif       each animation, looping unless a $00 frame stops it\n"
      "  OUTDIR/animation/BANK/NN.txt       frame, pattern, duration in NES frames, start in ms\n"
      "  OUTDIR/animation/BANK/NN.png       the same as an APNG, with --animation-format apng\n"
      "NNN and NN are hexadecimal; --format bmp writes NNN.bmp. With --sprite or --animation only the\n"
      "listed patterns or animations are exported, the other kind not at all.\n"
      "Timing: an animation frame lasts its record's tick count (D + 1) in NES frames of 1/60.0988 s\n"
      "(NTSC). A GIF counts 1/100 s, so each frame is given its end time rounded less its start time\n"
      "rounded: the rounding remainder is carried on to the next frame and the total never drifts.\n"
      "Without the palette file the built-in NES palette is used, with the viewer's warning.\n"
      "With --records the sprite records go beside the pictures as text (--no-pictures: alone):\n"
      "  OUTDIR/records.json                every pointer table and record, keyed by file offset\n"
      "  OUTDIR/records.s, records.asm      the same as ca65 or asm6 source, one segment per bank");
  parser.addHelpOption();
  parser.addPositionalArgument("ROM", "The iNES ROM image.");
  parser.addPositionalArgument("OUTDIR", "Where the files go; made if missing.");
  const QCommandLineOption bank("bank", "Only this bank: 12-13, 14-15 or 16 (repeatable; default all).", "BANK");
  const QCommandLineOption sprite("sprite", "Only pattern N, hex 0-1FF (repeatable).", "N");
  const QCommandLineOption animation("animation", "Only animation N, hex 0-FF (repeatable).", "N");
  const QCommandLineOption palette("palette", "NES master palette (default fcpalette.pal).", "FILE", "fcpalette.pal");
  const QCommandLineOption format("format", "Stills as png or bmp (default png).", "FORMAT", "png");
  const QCommandLineOption scale("scale", "Enlarge every picture K times, 1-8 (default 1).", "K", "1");
  const QCommandLineOption jobs("jobs", "Worker processes (default 2).", "N", "2");
  const QCommandLineOption quiet({"q", "quiet"}, "No progress bar.");
  const QCommandLineOption transparent(
      "transparent", "Pixels no sprite covers transparent in PNG sprites and in animations (not in BMPs).");
  const QCommandLineOption animationFormat(
      "animation-format", "Animations as gif or apng (exact NES timing; default gif).", "FORMAT", "gif");
  parser.addOptions({bank, sprite, animation, palette, format, scale, jobs, quiet});
  const QCommandLineOption patch("patch", "Apply this IPS or BPS patch to the ROM as read (no file is changed).", "FILE");
  parser.addOption(patch);
  parser.addOptions({transparent, animationFormat});
  const QCommandLineOption force("force", "Replace files in OUTDIR even when they are write-protected.");
  parser.addOption(force);
  const QCommandLineOption records(
      "records", "Also write the records of all three banks as json, ca65 or asm6 (repeatable).", "FORMAT");
  const QCommandLineOption noPictures("no-pictures", "Write no pictures, only what --records asks for.");
  parser.addOptions({records, noPictures});
  const QCommandLineOption diff(
      "diff",
      "Compare with another ROM or with ROM patched by this IPS or BPS patch: OUTDIR/diff.csv lists the "
      "patterns, alignments, animations and CHR tiles that differ, and only the pictures that change are "
      "exported, as the other image draws them.",
      "OTHER");
  parser.addOption(diff);
  if (const auto finished = ParseOrFinish(parser, raw.Strings(), Program)) return *finished;
  const QStringList positional = parser.positionalArguments();
  if (positional.size() != 2) return UsageError("expected ROM and OUTDIR");

  TExportOptions options;
  options.Rom = raw.Bytes(positional[0]);
  options.OutDir = raw.Bytes(positional[1]);
  options.Palette = raw.Bytes(parser.value(palette));
  options.Patch = raw.Bytes(parser.value(patch));
  options.Force = parser.isSet(force);
  options.Diff = raw.Bytes(parser.value(diff));
  if (parser.isSet(bank)) {
    options.Banks.clear();
    for (const QString& name : parser.values(bank)) {
      int index = -1;
      for (int i = 0; i < 3; ++i)
        if (name == BankNames[i]) index = i;
      if (index < 0) return UsageError("unknown bank '" + name + "' (12-13, 14-15 or 16)");
      if (std::find(options.Banks.begin(), options.Banks.end(), index) != options.Banks.end()) continue;
      options.Banks.push_back(index);
    }
  }
  for (const QString& text : parser.values(sprite)) {
    const auto n = ParseHexNumber(text.toStdString(), 0x1FF);
    if (!n) return UsageError("bad pattern number '" + text + "' (hex 0-1FF)");
    options.Sprites.push_back(*n);
  }
  for (const QString& text : parser.values(animation)) {
    const auto n = ParseHexNumber(text.toStdString(), 0xFF);
    if (!n) return UsageError("bad animation number '" + text + "' (hex 0-FF)");
    options.Animations.push_back(*n);
  }
  const QString formatName = parser.value(format);
  if (formatName == "png")
    options.Format = TStillFormat::Png;
  else if (formatName == "bmp")
    options.Format = TStillFormat::Bmp;
  else
    return UsageError("unknown format '" + formatName + "' (png or bmp)");
  options.Transparent = parser.isSet(transparent);
  const QString animationFormatName = parser.value(animationFormat);
  if (animationFormatName == "gif")
    options.AnimationFormat = TAnimationFormat::Gif;
  else if (animationFormatName == "apng")
    options.AnimationFormat = TAnimationFormat::Apng;
  else
    return UsageError("unknown animation format '" + animationFormatName + "' (gif or apng)");
  const auto scaleValue = ParseDecimal(parser.value(scale).toStdString(), 1, 8);
  if (!scaleValue) return UsageError("scale must be 1 to 8");
  options.Scale = static_cast<int>(*scaleValue);
  const auto jobsValue = ParseDecimal(parser.value(jobs).toStdString(), 1, 64);
  if (!jobsValue) return UsageError("jobs must be 1 to 64");
  options.Workers = static_cast<int>(*jobsValue);
  options.Progress = ProgressWanted(parser.isSet(quiet));
  for (const QString& name : parser.values(records)) {
    const auto format = RecordsFormatNamed(name.toStdString());
    if (!format) return UsageError("unknown records format '" + name + "' (json, ca65 or asm6)");
    if (std::find(options.Records.begin(), options.Records.end(), *format) == options.Records.end())
      options.Records.push_back(*format);
  }
  options.Pictures = !parser.isSet(noPictures);
  if (!options.Pictures && options.Records.empty()) return UsageError("--no-pictures needs --records");
  const int result = RunExport(options);
  if (result == 0) {
    // The export is in place: a signal while the program exits (the leak checker of a
    // test build can take a while) would report a failure that did not happen.
    sigset_t stops;
    sigemptyset(&stops);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, signal);
    sigprocmask(SIG_BLOCK, &stops, nullptr);
  }
  return result;
}
