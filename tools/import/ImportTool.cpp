#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "rom/TarvelinFreeSpaceFile.h"
#include "rom/TarvelinPatch.h"
#include "sprite/TarvelinFiles.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "tools/export/CommandLine.h"
#include "tools/import/ImportSteps.h"

namespace {

constexpr const char* Program = "tarvelin-import";

std::string Lower(std::string Text) {
  std::transform(Text.begin(), Text.end(), Text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return Text;
}

std::string PatternName(const TPatternRef& Pattern) {
  char number[8];
  std::snprintf(number, sizeof number, "$%03X", static_cast<unsigned>(Pattern.Number));
  return std::string(BankNames[Pattern.BankIndex]) + ":" + number;
}

// The step's report: tiles and bytes changed, and who else shows them.
void Report(const TImportStep& Step, const TStepOutcome& Outcome, const TRomDocument& Document) {
  if (Outcome.Pictures)
    std::printf("%s: %zu tiles, %zu bytes changed", Step.Source.c_str(), Outcome.Tiles.size(), Outcome.Change.Writes.size());
  else
    std::printf("%s: %zu bytes changed", Step.Source.c_str(), Outcome.Change.Writes.size());
  if (Outcome.Approximated > 0) std::printf(", %d pixels given the nearest colour", Outcome.Approximated);
  std::printf("\n");
  std::vector<TPatternRef> shared;
  for (const TPatternRef& pattern : PatternsSharingTiles(Document.Prg(), Outcome.Tiles, {-1, -1}))
    if (std::find(Outcome.Own.begin(), Outcome.Own.end(), pattern) == Outcome.Own.end()) shared.push_back(pattern);
  if (shared.empty()) return;
  // A tile every unused pattern number draws is shared by hundreds: the first few name them.
  constexpr std::size_t Listed = 16;
  std::printf("  also shown by %zu other patterns:", shared.size());
  for (std::size_t i = 0; i < std::min(Listed, shared.size()); ++i) std::printf(" %s", PatternName(shared[i]).c_str());
  if (shared.size() > Listed) std::printf(" and %zu more", shared.size() - Listed);
  std::printf("\n");
}

bool LoadPalette(const std::string& Path) {
  try {
    FcPalette = std::make_unique<TFcPaletteData>(Path);
  } catch (const EFOpenError& E) {
    PrintError(Program, E.Message());
    PrintError(Program, "using the built-in palette");
  }
  return true;
}

// The --free-space file as the document's free map: every range inside the image as loaded.
bool ReadFreeSpace(const std::string& Path) {
  TFreeMap free;
  try {
    const std::vector<std::uint8_t> bytes = ReadFileBytes(Path, static_cast<std::int64_t>(MaxFreeSpaceFileSize) + 1);
    free = ParseFreeSpace(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  } catch (const EFreeSpaceError& E) {
    PrintError(Program, Path + ": " + E.English() + "; nothing written");
    return false;
  } catch (const Exception&) {
    const std::string why = WhyNotReadable(Path);
    PrintError(Program, Path + ": " + (why.empty() ? std::string("cannot be read") : why) + "; nothing written");
    return false;
  }
  for (const TFileRange& range : free.Ranges())
    if (static_cast<std::size_t>(range.End) > RomDocument.Size()) {
      PrintError(Program, Path + ": " + FormatRange(range) + " reaches past the " + std::to_string(RomDocument.Size()) +
                              " bytes of the ROM as loaded; nothing written");
      return false;
    }
  RomDocument.SetFreeSpace(std::move(free));
  return true;
}

}  // namespace

int RunImport(const TImportToolOptions& Options) {
  ShowMessagesOnStderr(Program);
  const std::string extension = Lower(std::filesystem::path(Options.Out).extension().string());
  try {
    const bool loaded =
        Options.Patch.empty() ? RomDocument.Load(Options.Rom) : RomDocument.LoadPatched(Options.Rom, Options.Patch);
    if (!loaded) return 1;  // the check has printed why
  } catch (const Exception& E) {
    PrintError(Program, E.Message());
    if (const std::string why = WhyNotReadable(Options.Rom); !why.empty()) PrintError(Program, Options.Rom + ": " + why);
    return 1;
  }
  LoadPalette(Options.Palette);
  if (!Options.FreeSpace.empty() && !ReadFreeSpace(Options.FreeSpace)) return 1;
  for (const TImportStep& step : Options.Steps) {
    const TStepOutcome outcome = step.Plan(RomDocument);
    if (!outcome.Refusal.empty()) {
      PrintError(Program, step.Source + ": " + outcome.Refusal + "; nothing written");
      return 1;
    }
    for (const TByteWrite& write : outcome.Change.Writes)
      if (static_cast<std::size_t>(write.Offset) >= RomDocument.Size()) {
        PrintError(Program, step.Source + ": changes " + FormatAddress(write.Offset) + ", past the " +
                                std::to_string(RomDocument.Size()) + " bytes of the ROM as loaded; nothing written");
        return 1;
      }
    RomDocument.Apply(outcome.Change);
    if (outcome.FreeAfter) RomDocument.SetFreeSpace(*outcome.FreeAfter);
    if (!Options.Quiet) Report(step, outcome, RomDocument);
  }
  try {
    // A patch is against the file as read, before any --patch, so it carries that one too.
    const std::vector<std::uint8_t> bytes =
        extension == ".nes" ? RomDocument.Image()
                            : RomDocument.CreatePatch(extension == ".bps" ? TPatchFormat::Bps : TPatchFormat::Ips);
    RemoveTemporariesOnSignals();
    WriteFileAtomically(Options.Out, bytes, Options.Force);
  } catch (const Exception& E) {
    PrintError(Program, E.Message());
    return 1;
  }
  if (Options.FreeSpace.empty()) return 0;
  // The map now describes OUT's image, so it goes beside OUT, where the viewer looks for it.
  const std::string map = FreeSpaceFileName(Options.Out);
  try {
    const std::string text = FormatFreeSpace(RomDocument.FreeSpace());
    WriteFileAtomically(map, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                        Options.Force);
  } catch (const Exception& E) {
    PrintError(Program, E.Message());
    PrintError(Program, Options.Out + " is written, but its free-space map " + map + " is not");
    return 1;
  }
  return 0;
}
