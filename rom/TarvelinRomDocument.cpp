#include "rom/TarvelinRomDocument.h"

#include <algorithm>
#include <cstdio>

#include "host/Application.h"
#include "host/Classes.h"
#include "rom/TarvelinFreeSpaceFile.h"

namespace {

std::string Address(int Offset) {
  char text[16];
  std::snprintf(text, sizeof text, "$%05X", static_cast<unsigned>(Offset));
  return text;
}

// Patches past this are no patch for a ROM of half a MiB.
constexpr std::int64_t MaxPatchSize = 64 << 20;

std::vector<std::uint8_t> ReadWhole(const std::string& FileName, std::int64_t Limit) {
  TFileStream file(FileName, fmOpenRead);
  const std::int64_t size = std::min(file.GetSize(), Limit);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  bytes.resize(static_cast<std::size_t>(file.Read(bytes.data(), size)));
  return bytes;
}

}  // namespace

bool TRomDocument::Load(const std::string& FileName) {
  std::int64_t size = 0;
  if (!LoadRomImage(FileName, FPrg, FChr, &size)) {
    Close();
    return false;
  }
  Loaded(size, FileName, "");
  return true;
}

bool TRomDocument::LoadPatched(const std::string& FileName, const std::string& PatchName) {
  // One byte past the largest image, so an oversized file still meets the size check.
  const auto rom = ReadWhole(FileName, RomImageSize + 1);
  const auto patch = ReadWhole(PatchName, MaxPatchSize + 1);
  if (static_cast<std::int64_t>(patch.size()) > MaxPatchSize) throw EPatchError("パッチファイルが大きすぎます");
  // A file of a size LoadRomImage refuses is refused with its message, unpatched.
  const bool fits = rom.size() >= RomHeaderSize && rom.size() <= RomImageSize;
  const auto image = fits ? ApplyPatch(rom, patch, RomImageSize) : rom;
  std::int64_t size = 0;
  if (!LoadRomBytes(image, FPrg, FChr, &size)) {
    Close();
    return false;
  }
  Loaded(size, FileName, PatchName);
  return true;
}

void TRomDocument::Close() {
  FOriginal.clear();
  FFree = FSavedFree = {};
  FFreeSpaceError.clear();
  FFileName.clear();
  FPatchName.clear();
  FDiffering = 0;
  Notify({});
}

void TRomDocument::Loaded(std::int64_t Size, std::string FileName, std::string PatchName) {
  FOriginal.resize(static_cast<std::size_t>(Size));
  for (std::size_t i = 0; i < FOriginal.size(); ++i) FOriginal[i] = Byte(static_cast<int>(i));
  FFileName = std::move(FileName);
  FPatchName = std::move(PatchName);
  FDiffering = 0;
  ReadFreeSpace();
  Notify({});
}

void TRomDocument::ReadFreeSpace() {
  FFree = FSavedFree = {};
  FFreeSpaceError.clear();
  try {
    if (const auto free = ReadFreeSpaceFile(FFileName)) FFree = FSavedFree = *free;
  } catch (const EFreeSpaceError& Error) {
    FFreeSpaceError = Error.what();
    ShowMessage(FFreeSpaceError);
  }
}

std::uint8_t TRomDocument::Byte(int Offset) const {
  const auto at = static_cast<std::size_t>(Offset);
  Assert(Offset >= 0 && at < FPrg.size() + FChr.size(), "ROM offset out of range");
  return at < FPrg.size() ? FPrg[at] : FChr[at - FPrg.size()];
}

void TRomDocument::Put(int Offset, std::uint8_t Value) {
  const auto at = static_cast<std::size_t>(Offset);
  (at < FPrg.size() ? FPrg[at] : FChr[at - FPrg.size()]) = Value;
}

std::vector<std::uint8_t> TRomDocument::Image() const {
  std::vector<std::uint8_t> image(FOriginal.size());
  const std::size_t prg = std::min(image.size(), FPrg.size());
  std::copy_n(FPrg.begin(), prg, image.begin());
  std::copy_n(FChr.begin(), image.size() - prg, image.begin() + static_cast<std::ptrdiff_t>(prg));
  return image;
}

std::vector<std::pair<int, int>> TRomDocument::ChangedRanges() const {
  std::vector<std::pair<int, int>> ranges;
  if (!IsModified()) return ranges;
  const auto image = Image();
  for (std::size_t i = 0; i < image.size(); ++i) {
    if (image[i] == FOriginal[i]) continue;
    const int offset = static_cast<int>(i);
    if (!ranges.empty() && ranges.back().second == offset)
      ranges.back().second = offset + 1;
    else
      ranges.emplace_back(offset, offset + 1);
  }
  return ranges;
}

std::vector<std::uint8_t> TRomDocument::CreatePatch(TPatchFormat Format) const {
  return ::CreatePatch(Format, FOriginal, Image());
}

void TRomDocument::Saved(const std::string& FileName) {
  if (FSaveCompanion) FSaveCompanion(FileName);
  FOriginal = Image();
  FFileName = FileName;
  FPatchName.clear();
  FDiffering = 0;
  FSavedFree = FFree;
}

void TRomDocument::CheckWritable(int Offset) const {
  if (Offset < RomHeaderSize) throw ERomEditError("iNESヘッダ (" + Address(Offset) + ") は書き換えられません");
  if (static_cast<std::size_t>(Offset) >= FOriginal.size())
    throw ERomEditError(Address(Offset) + " は読み込んだファイルの終わりより後ろです");
}

void TRomDocument::Write(const TRomChange& Change, bool Back) {
  for (const TByteWrite& write : Change.Writes) {
    CheckWritable(write.Offset);
    Assert(Byte(write.Offset) == (Back ? write.New : write.Old), "ROM change does not match the image");
  }
  for (const TByteWrite& write : Change.Writes) {
    const std::uint8_t value = Back ? write.Old : write.New;
    const std::uint8_t original = FOriginal[static_cast<std::size_t>(write.Offset)];
    FDiffering -= Byte(write.Offset) != original;
    FDiffering += value != original;
    Put(write.Offset, value);
  }
  Notify(Change);
}

int TRomDocument::Subscribe(TListener Listener) {
  FListeners.emplace(FNextListener, std::move(Listener));
  return FNextListener++;
}

void TRomDocument::Unsubscribe(int Id) { FListeners.erase(Id); }

void TRomDocument::Notify(const TRomChange& Change) {
  // A listener may unsubscribe itself.
  const auto listeners = FListeners;
  for (const auto& [id, listener] : listeners) listener(Change);
}
