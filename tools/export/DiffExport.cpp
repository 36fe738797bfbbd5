#include "tools/export/DiffExport.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "host/Exception.h"
#include "rom/TarvelinPatch.h"
#include "rom/TarvelinRomCompare.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "tools/export/CommandLine.h"

namespace {

constexpr const char* Program = "tarvelin-export";
// Past this no file is a patch for half a MiB of ROM.
constexpr std::size_t MaxOtherSize = 64u << 20;

struct TImage {
  TPrgData Prg{};
  TChrData Chr{};
};

bool ReadAll(const std::string& Path, std::vector<std::uint8_t>& Bytes) {
  if (const std::string why = WhyNotReadable(Path); !why.empty()) {
    PrintError(Program, Path + ": " + why);
    return false;
  }
  std::ifstream in(Path, std::ios::binary);
  Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (!in.eof() && in.fail()) {
    PrintError(Program, Path + ": cannot be read");
    return false;
  }
  if (Bytes.size() > MaxOtherSize) {
    PrintError(Program, Path + ": too large for a ROM or a patch");
    return false;
  }
  return true;
}

bool IsRom(const std::vector<std::uint8_t>& Bytes) {
  return Bytes.size() >= 4 && std::memcmp(Bytes.data(), "NES\x1A", 4) == 0;
}

// The image as the export loaded it: the file with its --patch applied.
bool LoadedImage(const TExportOptions& Options, std::vector<std::uint8_t>& Image) {
  if (!ReadAll(Options.Rom, Image)) return false;
  if (!Options.Patch.empty()) {
    std::vector<std::uint8_t> patch;
    if (!ReadAll(Options.Patch, patch)) return false;
    Image = ApplyPatch(Image, patch, RomImageSize);
  }
  return true;
}

}  // namespace

bool PrepareDiffExport(TExportOptions& Options) {
  std::vector<std::uint8_t> other;
  if (!ReadAll(Options.Diff, other)) return false;
  const auto before = std::make_unique<TImage>(TImage{PrgData, ChrData});
  const auto after = std::make_unique<TImage>();
  try {
    if (!IsRom(other)) {
      std::vector<std::uint8_t> image;
      if (!LoadedImage(Options, image)) return false;
      other = ApplyPatch(image, other, RomImageSize);
    }
    // The ROM checks print their own message.
    if (!LoadRomBytes(other, after->Prg, after->Chr)) return false;
  } catch (const Exception& E) {
    PrintError(Program, Options.Diff + ": " + E.Message());
    return false;
  }
  const auto differences = CompareRomImages({before->Prg, before->Chr}, {after->Prg, after->Chr});
  Options.DiffCsv = DifferenceCsvHeader();
  for (const auto& d : differences) Options.DiffCsv += DifferenceCsvRow(d);
  const auto pictures = PicturesChangedBy(after->Prg, differences);
  Options.Only.emplace();
  const auto wanted = [&](int Bank) {
    return std::find(Options.Banks.begin(), Options.Banks.end(), Bank) != Options.Banks.end();
  };
  for (const auto& p : pictures.Patterns)
    if (wanted(p.BankIndex)) Options.Only->push_back({false, p.BankIndex, p.Number});
  for (const auto& a : pictures.Animations)
    if (wanted(a.BankIndex)) Options.Only->push_back({true, a.BankIndex, a.Number});
  // The pictures are of the other side: what the image becomes.
  PrgData = after->Prg;
  ChrData = after->Chr;
  return true;
}
