#include "tools/export/RomExport.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/TarvelinDrawSprite.h"
#include "app/TarvelinSpritePattern.h"
#include "app/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"
#include "host/Exception.h"
#include "tools/export/CommandLine.h"
#include "app/TarvelinPictureFiles.h"
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

  void WriteStill(std::unique_ptr<TZrDIB> Picture, const fs::path& Stem) const {
    auto picture = Scaled(std::move(Picture));
    if (FOptions.Format == TStillFormat::Png)
      WriteNewFile(fs::path(Stem).concat(".png"), EncodePng(PictureImage(*picture)));
    else
      WriteNewFile(fs::path(Stem).concat(".bmp"), EncodeBmp(*picture));
  }

  void ExportSprite(int BankIndex, int Number) const {
    const auto pattern = LocateSpritePattern(PrgData, SpriteBanks[static_cast<std::size_t>(BankIndex)], Number);
    const std::string bank = BankNames[BankIndex], name = Hex(Number, 3);
    auto sprite = CreatePageDIB(256, 256);
    DrawSpritePattern(FDrawer, pattern, *sprite);
    WriteStill(std::move(sprite), FStaging / "sprite" / bank / name);
    auto table = CreatePageDIB(128, 128);
    DrawSpritePatternTable(FDrawer, pattern, *table);
    WriteStill(std::move(table), FStaging / "patterntable" / bank / name);
  }

  void ExportAnimation(int BankIndex, int Number) const {
    const int base = AnimationBanks[static_cast<std::size_t>(BankIndex)];
    const int address = AnimationDataOffset(PrgData, base, Number);
    const TAnimationFiles files = EncodeAnimation(FDrawer, PrgData, base, address, FOptions.Scale);
    const fs::path stem = FStaging / "animation" / BankNames[BankIndex] / Hex(Number, 2);
    WriteNewFile(fs::path(stem).concat(".gif"), files.Gif);
    WriteNewFile(fs::path(stem).concat(".txt"), Bytes(files.FrameList));
  }

  const TExportOptions& FOptions;
  fs::path FStaging;
  TDrawSprite FDrawer;
};

std::string CsvField(const std::string& Text) {
  if (Text.find_first_of(" ,\"") == std::string::npos) return Text;
  std::string quoted = "\"";
  for (const char c : Text) quoted.append(c == '"' ? 2 : 1, c);
  return quoted.append("\"");
}

std::string IndexCsv(const std::vector<TItem>& Items) {
  std::string csv =
      "bank,number,frame_address,sprite_count,align_number,align_address,chr_bank,chr_bank_address,load_offset,"
      "frame_data,align_data\n";
  for (const auto& item : Items) {
    if (item.Animation) continue;
    const auto pattern = LocateSpritePattern(PrgData, SpriteBanks[static_cast<std::size_t>(item.BankIndex)], item.Number);
    const auto t = SpritePatternTexts(pattern);
    csv.append(BankNames[item.BankIndex]).append(",").append(Hex(item.Number, 3));
    for (const std::string* field : {&t.FrameAddress, &t.SpriteCount, &t.Align, &t.AlignAddress, &t.CHRBank,
                                     &t.CHRBankAddress, &t.CHRLoadOffset, &t.FrameDump, &t.AlignDump})
      csv.append(",").append(CsvField(*field));
    csv.append("\n");
  }
  return csv;
}

std::vector<TItem> Items(const TExportOptions& Options) {
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

// Moves every file of Staging to the same place under OutDir, replacing what was
// there; refuses before moving anything when a file stands where a folder goes or
// the other way round.
void MoveInto(const fs::path& Staging, const fs::path& OutDir) {
  for (const auto& entry : fs::recursive_directory_iterator(Staging)) {
    const fs::path target = OutDir / entry.path().lexically_relative(Staging);
    const auto status = fs::status(target);
    if (fs::exists(status) && fs::is_directory(status) != entry.is_directory())
      throw EFCreateError(FormatMessage(SFCreateError, target.string()));
  }
  for (const auto& entry : fs::recursive_directory_iterator(Staging)) {
    const fs::path target = OutDir / entry.path().lexically_relative(Staging);
    if (entry.is_directory())
      fs::create_directories(target);
    else
      fs::rename(entry.path(), target);
  }
}

bool LoadRom(const std::string& Path, const std::string& Patch) {
  try {
    if (Patch.empty() ? LoadRomImage(Path, PrgData, ChrData) : RomDocument.LoadPatched(Path, Patch)) return true;
    // The check has printed why.
  } catch (const Exception& E) {
    PrintError(Program, E.Message());
  }
  return false;
}

void LoadPalette(const std::string& Path) {
  try {
    FcPalette = std::make_unique<TFcPaletteData>(Path);
  } catch (const EFOpenError& E) {
    PrintError(Program, E.Message());
    PrintError(Program, "using the built-in palette");
  }
}

int Export(const TExportOptions& Options, const fs::path& Staging) {
  const auto items = Items(Options);
  const bool all = Options.Sprites.empty() && Options.Animations.empty();
  for (const int bank : Options.Banks) {
    if (all || !Options.Sprites.empty()) {
      fs::create_directories(Staging / "sprite" / BankNames[bank]);
      fs::create_directories(Staging / "patterntable" / BankNames[bank]);
    }
    if (all || !Options.Animations.empty()) fs::create_directories(Staging / "animation" / BankNames[bank]);
  }
  const TExporter exporter(Options, Staging);
  TProgressBar bar("exporting", static_cast<std::int64_t>(items.size()), Options.Progress);
  const bool ok = RunInWorkers(
      Program, static_cast<int>(items.size()), Options.Workers,
      [&](int i) { exporter.Export(items[static_cast<std::size_t>(i)]); }, [&](int done) { bar.Update(done); });
  bar.Finish();
  if (!ok) return 1;
  if (all || !Options.Sprites.empty()) WriteNewFile(Staging / "index.csv", Bytes(IndexCsv(items)));
  return 0;
}

}  // namespace

int RunExport(const TExportOptions& Options) {
  ShowMessagesOnStderr(Program);
  if (!LoadRom(Options.Rom, Options.Patch)) return 1;
  LoadPalette(Options.Palette);

  const fs::path outDir(Options.OutDir);
  std::error_code error;
  const bool existed = fs::exists(outDir, error);
  fs::path staging;
  int result = 1;
  try {
    fs::create_directories(outDir);
    std::string pattern = (outDir / ".tarvelin-export-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw EFCreateError(FormatMessage(SFCreateError, pattern));
    staging = pattern;
    result = Export(Options, staging);
    if (result == 0) MoveInto(staging, outDir);
  } catch (const std::exception& E) {
    PrintError(Program, E.what());
    result = 1;
  }
  if (!staging.empty()) fs::remove_all(staging, error);
  // A directory this run made holds nothing worth keeping after a failure.
  if (result != 0 && !existed) fs::remove_all(outDir, error);
  // Stopped by a signal: exit as a shell expects of a program the signal ended.
  if (const int signal = WasInterrupted()) return 128 + signal;
  return result;
}
