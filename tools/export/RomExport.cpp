#include "tools/export/RomExport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinSpritePattern.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"
#include "host/Exception.h"
#include "tools/export/CommandLine.h"
#include "tools/export/DiffExport.h"
#include "sprite/TarvelinPictureFiles.h"
#include "tools/export/ExportIndex.h"
#include "tools/export/OutputFolder.h"
#include "tools/export/Workers.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* Program = "tarvelin-export";

struct TItem {
  bool Animation;
  int BankIndex;
  int Number;
};

std::string Hex(int Value, int Digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", Digits, static_cast<unsigned>(Value));
  return text;
}

std::vector<std::uint8_t> Bytes(const std::string& Text) { return {Text.begin(), Text.end()}; }

class TExporter {
public:
  TExporter(const TExportOptions& Options, const fs::path& Staging)
      : FOptions(Options), FStaging(Staging), FDrawer(ChrData, FcPalette.get()) {}

  void Export(const TItem& Item) const {
    if (Item.Animation)
      ExportAnimation(Item.BankIndex, Item.Number);
    else
      ExportSprite(Item.BankIndex, Item.Number);
  }

private:
  std::unique_ptr<TZrDIB> Scaled(std::unique_ptr<TZrDIB> Picture) const {
    return FOptions.Scale == 1 ? std::move(Picture) : ScaledPicture(*Picture, FOptions.Scale);
  }

  void WriteStill(std::unique_ptr<TZrDIB> Picture, const fs::path& Stem, bool Transparent = false) const {
    auto picture = Scaled(std::move(Picture));
    if (FOptions.Format == TStillFormat::Png)
      WriteNewFile(fs::path(Stem).concat(".png"), EncodePng(PictureImage(*picture, Transparent)));
    else
      WriteNewFile(fs::path(Stem).concat(".bmp"), EncodeBmp(*picture));
  }

  void ExportSprite(int BankIndex, int Number) const {
    const auto pattern = LocateSpritePattern(PrgData, SpriteBanks[static_cast<std::size_t>(BankIndex)], Number);
    const std::string bank = BankNames[BankIndex], name = Hex(Number, 3);
    auto sprite = CreatePageDIB(256, 256);
    DrawSpritePattern(FDrawer, pattern, *sprite);
    WriteStill(std::move(sprite), FStaging / "sprite" / bank / name, FOptions.Transparent);
    auto table = CreatePageDIB(128, 128);
    DrawSpritePatternTable(FDrawer, pattern, *table);
    WriteStill(std::move(table), FStaging / "patterntable" / bank / name);
  }

  void ExportAnimation(int BankIndex, int Number) const {
    const int base = AnimationBanks[static_cast<std::size_t>(BankIndex)];
    const int address = AnimationDataOffset(PrgData, base, Number);
    const bool apng = FOptions.AnimationFormat == TAnimationFormat::Apng;
    const TAnimationFiles files = EncodeAnimation(FDrawer, PrgData, base, address, FOptions.Scale,
                                                  {FOptions.AnimationFormat, DefaultBackground, FOptions.Transparent});
    const fs::path stem = FStaging / "animation" / BankNames[BankIndex] / Hex(Number, 2);
    WriteNewFile(fs::path(stem).concat(apng ? ".png" : ".gif"), apng ? files.Apng : files.Gif);
    WriteNewFile(fs::path(stem).concat(".txt"), Bytes(files.FrameList));
  }

  const TExportOptions& FOptions;
  fs::path FStaging;
  TDrawSprite FDrawer;
};

std::vector<TItem> Items(const TExportOptions& Options) {
  if (Options.Only) {
    std::vector<TItem> only;
    for (const auto& item : *Options.Only) only.push_back({item.Animation, item.BankIndex, item.Number});
    return only;
  }
  const bool all = Options.Sprites.empty() && Options.Animations.empty();
  std::vector<int> sprites = Options.Sprites, animations = Options.Animations;
  if (all) {
    for (int n = 0; n < 512; ++n) sprites.push_back(n);
    for (int n = 0; n < 256; ++n) animations.push_back(n);
  }
  // A number given twice is exported once, so no two workers write one file.
  for (auto* numbers : {&sprites, &animations}) {
    std::sort(numbers->begin(), numbers->end());
    numbers->erase(std::unique(numbers->begin(), numbers->end()), numbers->end());
  }
  std::vector<TItem> items;
  for (const int bank : Options.Banks) {
    for (const int n : sprites) items.push_back({false, bank, n});
    for (const int n : animations) items.push_back({true, bank, n});
  }
  return items;
}

bool LoadRom(const std::string& Path, const std::string& Patch) {
  try {
    std::int64_t loaded = 0;
    const bool ok = Patch.empty() ? LoadRomImage(Path, PrgData, ChrData, &loaded) : RomDocument.LoadPatched(Path, Patch);
    if (ok) {
      if (!Patch.empty()) loaded = static_cast<std::int64_t>(RomDocument.Size());
      if (loaded < RomImageSize)
        PrintError(Program, "warning: " + Path + (Patch.empty() ? "" : " with its patch") + " holds " +
                                std::to_string(loaded) + " bytes, less than the " + std::to_string(RomImageSize) +
                                " of a full image: the bytes past its end are zero");
      return true;
    }
    // The check has printed why.
  } catch (const Exception& E) {
    // The viewer's message, then the reason it does not give.
    PrintError(Program, E.Message());
    if (const std::string why = WhyNotReadable(Path); !why.empty()) PrintError(Program, Path + ": " + why);
  }
  return false;
}

// Makes Folder and the folders it needs, in the user's terms on failure.
void MakeFolders(const TOutputFolder& Out, const fs::path& Folder) {
  std::error_code error;
  fs::create_directories(Folder, error);
  if (error) throw EFCreateError(Out.InUserTerms("cannot make folder " + Folder.string() + ": " + error.message()));
}

void LoadPalette(const std::string& Path) {
  try {
    FcPalette = std::make_unique<TFcPaletteData>(Path);
  } catch (const EFOpenError& E) {
    PrintError(Program, E.Message());
    PrintError(Program, "using the built-in palette");
  }
}

void ExportRecords(const TExportOptions& Options, const fs::path& Staging) {
  for (const TRecordsFormat format : Options.Records) {
    const std::string text = WriteRecords(PrgData, format);
    WriteNewFile(Staging / RecordsFileName(format), Bytes(text));
  }
}

int Export(const TExportOptions& Options, const TOutputFolder& Out) {
  const fs::path& Staging = Out.Staging();
  ExportRecords(Options, Staging);
  if (!Options.Pictures) return 0;
  const auto items = Items(Options);
  const bool all = Options.Sprites.empty() && Options.Animations.empty();
  for (const auto& item : Options.Only ? items : std::vector<TItem>{})
    for (const char* kind : item.Animation ? std::vector{"animation"} : std::vector{"sprite", "patterntable"})
      MakeFolders(Out, Staging / kind / BankNames[item.BankIndex]);
  for (const int bank : Options.Only ? std::vector<int>{} : Options.Banks) {
    if (all || !Options.Sprites.empty()) {
      MakeFolders(Out, Staging / "sprite" / BankNames[bank]);
      MakeFolders(Out, Staging / "patterntable" / BankNames[bank]);
    }
    if (all || !Options.Animations.empty()) MakeFolders(Out, Staging / "animation" / BankNames[bank]);
  }
  const TExporter exporter(Options, Staging);
  TProgressBar bar("exporting", static_cast<std::int64_t>(items.size()), Options.Progress);
  const bool ok = RunInWorkers(
      Program, static_cast<int>(items.size()), Options.Workers,
      [&](int i) {
        try {
          exporter.Export(items[static_cast<std::size_t>(i)]);
        } catch (const std::exception& E) {
          throw Exception(Out.InUserTerms(E.what()));
        }
      },
      [&](int done) { bar.Update(done); });
  bar.Finish();
  if (!ok) return 1;
  // The rows of what this run made, and those of the earlier pictures that stay.
  std::vector<std::string> rows;
  const std::string extension = Options.Format == TStillFormat::Png ? ".png" : ".bmp";
  const std::string animationExtension = Options.AnimationFormat == TAnimationFormat::Apng ? ".png" : ".gif";
  for (const auto& item : items)
    rows.push_back(
        IndexRow(PrgData, {item.Animation, item.BankIndex, item.Number}, extension, animationExtension));
  std::string old;
  if (Out.Existed()) {
    std::ifstream in(Out.Target() / "index.csv", std::ios::binary);
    old.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  WriteNewFile(Staging / "index.csv", Bytes(MergeIndex(old, rows, Out.Target())));
  if (!Options.DiffCsv.empty()) WriteNewFile(Staging / "diff.csv", Bytes(Options.DiffCsv));
  return 0;
}

}  // namespace

int RunExport(const TExportOptions& Options) {
  ShowMessagesOnStderr(Program);
  if (!LoadRom(Options.Rom, Options.Patch)) return 1;
  TExportOptions options = Options;
  if (!options.Diff.empty() && !PrepareDiffExport(options)) return 1;
  // The records draw nothing: no palette, and no warning about one.
  if (options.Pictures) LoadPalette(options.Palette);

  // From here a signal only stops the run where it can clean up; once the files
  // start to move in, the move is finished or undone first.
  const TSignalCatcher catcher;
  int result = 1;
  try {
    TOutputFolder out(Options.OutDir, Options.Force);
    result = WasInterrupted() ? 1 : Export(options, out);
    if (WasInterrupted()) result = 1;
    if (result == 0) out.Commit();
  } catch (const std::exception& E) {
    PrintError(Program, E.what());
    result = 1;
  }
  // Stopped by a signal before the files moved in: exit as a shell expects of a
  // program the signal ended.
  if (const int signal = WasInterrupted(); signal && result != 0) return 128 + signal;
  return result;
}
