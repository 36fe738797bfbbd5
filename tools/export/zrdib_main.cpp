// zrdib info FILE... | zrdib convert IN OUT --to FORMAT: the DIB library on BMP files.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdint>
#include <cstdio>
#include <string>

#include "dib/ZrDIBInternal.h"
#include "tools/export/CommandLine.h"
#include "tools/export/ZrdibCommands.h"

namespace {

constexpr const char* Program = "zrdib";
constexpr const char* Usage =
    "Usage: zrdib info FILE...\n"
    "       zrdib convert IN OUT --to 1|4|4rle|8|8rle|24|halftone|halftone-bw [--mode low|high]\n"
    "                     [--mask RRGGBB] [--force] [--max-pixels N] [--time] [--quiet]\n"
    "Describes BMP files, or converts one to another pixel format with the DIB library.\n"
    "'zrdib COMMAND --help' describes a command.\n";

int UsageError(const QString& Text) {
  PrintError(Program, Text.toStdString());
  std::fprintf(stderr, "Try 'zrdib --help'.\n");
  return 2;
}

bool ShowHelp(QCommandLineParser& Parser, const QStringList& Arguments, const char* Name, int& Result) {
  if (!Parser.parse(Arguments)) {
    Result = UsageError(Parser.errorText());
    return true;
  }
  if (!Parser.isSet("help")) return false;
  std::fputs(HelpText(Parser, Name).c_str(), stdout);
  Result = 0;
  return true;
}

const TArguments* Raw = nullptr;

std::string PathOf(const QString& Argument) { return Raw->Bytes(Argument); }

QCommandLineOption MaxPixelsOption() {
  return QCommandLineOption("max-pixels",
                            "Refuse pictures of more pixels than N (default " + QString::number(DefaultMaxPixels) +
                                "; 0: no limit).",
                            "N", QString::number(DefaultMaxPixels));
}

// The limit the option gives, or -1 after reporting a bad one.
std::int64_t MaxPixels(const QCommandLineParser& Parser, const QCommandLineOption& Option) {
  const auto value = ParseDecimal(Parser.value(Option).toStdString(), 0, INT64_MAX / 2);
  return value ? *value : -1;
}

int Info(const QStringList& Arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Prints each BMP file's headers, pixel format, colours used and image size,\n"
                                   "or the library's error message for a file it cannot read.");
  parser.addHelpOption();
  parser.addPositionalArgument("FILE", "BMP files.", "FILE...");
  const QCommandLineOption maxPixels = MaxPixelsOption();
  parser.addOption(maxPixels);
  int result = 0;
  if (ShowHelp(parser, Arguments, "zrdib info", result)) return result;
  if (parser.positionalArguments().isEmpty()) return UsageError("info needs at least one FILE");
  const std::int64_t limit = MaxPixels(parser, maxPixels);
  if (limit < 0) return UsageError("--max-pixels must be a number of pixels");
  std::vector<std::string> files;
  for (const QString& file : parser.positionalArguments()) files.push_back(PathOf(file));
  return RunInfo(files, limit);
}

int Convert(const QStringList& Arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Loads IN, sets its pixel format and saves it as OUT.");
  parser.addHelpOption();
  parser.addPositionalArgument("IN", "The BMP file to read.");
  parser.addPositionalArgument("OUT", "The BMP file to write; written only when all went well.");
  const QCommandLineOption to("to", "Target: 1, 4, 4rle, 8, 8rle, 24, halftone or halftone-bw.", "FORMAT");
  const QCommandLineOption mode("mode", "Colour reduction: low (default) or high.", "MODE", "low");
  const QCommandLineOption mask("mask", "The colour a 1-bit mask keeps white (default FFFFFF).", "RRGGBB", "FFFFFF");
  const QCommandLineOption time("time", "Print load, convert and save times in ms on stderr.");
  const QCommandLineOption quiet({"q", "quiet"}, "No progress bar.");
  const QCommandLineOption force("force", "Replace OUT even when it is write-protected.");
  const QCommandLineOption maxPixels = MaxPixelsOption();
  parser.addOptions({to, mode, mask, time, quiet, force, maxPixels});
  int result = 0;
  if (ShowHelp(parser, Arguments, "zrdib convert", result)) return result;
  const QStringList positional = parser.positionalArguments();
  if (positional.size() != 2) return UsageError("convert needs IN and OUT");
  if (!parser.isSet(to)) return UsageError("convert needs --to");

  TConvertOptions options;
  options.Input = PathOf(positional[0]);
  options.Output = PathOf(positional[1]);
  static const std::pair<const char*, TZrPixelFormat> Targets[] = {
      {"1", zrpf1Bit},      {"4", zrpf4Bit},   {"4rle", zrpf4BitRLE},       {"8", zrpf8Bit},
      {"8rle", zrpf8BitRLE}, {"24", zrpf24Bit}, {"halftone", zrpfHalfTone}, {"halftone-bw", zrpfHalfToneBW}};
  bool known = false;
  for (const auto& [name, format] : Targets)
    if (parser.value(to) == name) options.Target = format, known = true;
  if (!known) return UsageError("unknown --to '" + parser.value(to) + "'");
  if (parser.value(mode) == "low")
    options.ConvertMode = 0;
  else if (parser.value(mode) == "high")
    options.ConvertMode = 1;
  else
    return UsageError("--mode must be low or high");
  const std::string rgb = parser.value(mask).toStdString();
  if (rgb.size() != 6 || rgb.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    return UsageError("--mask must be six hex digits RRGGBB");
  const auto value = static_cast<unsigned>(std::stoul(rgb, nullptr, 16));
  // The library's colours hold red in the low byte.
  options.MaskColor = static_cast<TColor>((value >> 16 & 0xFF) | (value & 0xFF00) | (value & 0xFF) << 16);
  options.Force = parser.isSet(force);
  options.MaxPixels = MaxPixels(parser, maxPixels);
  if (options.MaxPixels < 0) return UsageError("--max-pixels must be a number of pixels");
  options.Time = parser.isSet(time);
  options.Progress = ProgressWanted(parser.isSet(quiet));
  return RunConvert(options);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(Program);
  RemoveTemporariesOnSignals();
  // Pixels on the heap: a file mapping's fresh pages cost more to fault in, and
  // no other process ever shares them here.
  DefaultUseFMO = false;
  const TArguments raw(argc, argv);
  Raw = &raw;
  QStringList arguments = raw.Strings();
  const QString command = arguments.size() > 1 ? arguments[1] : QString();
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(Usage, stdout);
    return 0;
  }
  if (arguments.size() > 1) arguments.removeAt(1);
  if (command == "info") return Info(arguments);
  if (command == "convert") return Convert(arguments);
  if (command.isEmpty())
    PrintError(Program, "no command given");
  else
    PrintError(Program, "unknown command '" + PathOf(command) + "'");
  std::fputs(Usage, stderr);
  return 2;
}
