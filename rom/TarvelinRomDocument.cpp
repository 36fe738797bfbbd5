#include "rom/TarvelinRomDocument.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "host/Application.h"
#include "host/Classes.h"
#include "host/Translate.h"
#include "rom/TarvelinFreeSpaceFile.h"

namespace {

std::string Address(int Offset) {
  char text[16];
  std::snprintf(text, sizeof text, "$%05X", static_cast<unsigned>(Offset));
  return text;
}

// Patches past this are no patch for a ROM of half a MiB.
constexpr std::int64_t MaxPatchSize = 64 << 20;

std::vector<std::pair<int, int>> DifferingRanges(std::span<const std::uint8_t> From, std::span<const std::uint8_t> To) {
  std::vector<std::pair<int, int>> ranges;
  const std::size_t common = std::min(From.size(), To.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (From[i] == To[i]) continue;
    const int offset = static_cast<int>(i);
    if (!ranges.empty() && ranges.back().second == offset)
      ranges.back().second = offset + 1;
    else
      ranges.emplace_back(offset, offset + 1);
  }
  if (From.size() != To.size()) ranges.emplace_back(static_cast<int>(common), static_cast<int>(std::max(From.size(), To.size())));
  return ranges;
}

}  // namespace

bool TRomDocument::Load(const std::string& FileName) {
  std::int64_t size = 0;
  if (!LoadRomImage(FileName, FPrg, FChr, &size)) {
    Close();
    return false;
  }
  Loaded(size, FileName, "", {});
  return true;
}

bool TRomDocument::LoadPatched(const std::string& FileName, const std::string& PatchName) {
  // One byte past the largest image, so an oversized file still meets the size check.
  auto rom = ReadFileBytes(FileName, RomImageSize + 1);
  const auto patch = ReadFileBytes(PatchName, MaxPatchSize + 1);
  if (static_cast<std::int64_t>(patch.size()) > MaxPatchSize)
    throw EPatchError(Translate("TarvelinRomDocument", "パッチファイルが大きすぎます"));
  // A file of a size LoadRomImage refuses is refused with its message, unpatched.
  const bool fits = rom.size() >= RomHeaderSize && rom.size() <= RomImageSize;
  const auto image = fits ? ApplyPatch(rom, patch, RomImageSize) : rom;
  std::int64_t size = 0;
  if (!LoadRomBytes(image, FPrg, FChr, &size)) {
    Close();
    return false;
  }
  Loaded(size, FileName, PatchName, std::move(rom));
  return true;
}

void TRomDocument::Close() {
  FOriginal.clear();
  FSaved.clear();
  FFree = FSavedFree = {};
  FFreeSpaceError.clear();
  FFileName.clear();
  FBaseName.clear();
  FPatchName.clear();
  FStamp = {};
  FDiffering = 0;
  Notify({});
}

void TRomDocument::Loaded(std::int64_t Size, std::string FileName, std::string PatchName,
                          std::vector<std::uint8_t> Original) {
  FSaved.resize(static_cast<std::size_t>(Size));
  for (std::size_t i = 0; i < FSaved.size(); ++i) FSaved[i] = Byte(static_cast<int>(i));
  // Unpatched, the file is what the buffers took.
  FOriginal = PatchName.empty() ? FSaved : std::move(Original);
  FFileName = std::move(FileName);
  FBaseName = FFileName;
  FPatchName = std::move(PatchName);
  FDiffering = 0;
  Stamp(FOriginal);
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

void TRomDocument::Stamp(std::span<const std::uint8_t> OnDisk) {
  FStamp = {};
  struct stat info {};
  if (stat(FFileName.c_str(), &info) != 0) return;
  FStamp.Known = true;
  FStamp.Size = info.st_size;
  FStamp.ModifiedNs = std::int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
  FStamp.Inode = info.st_ino;
  FStamp.Device = info.st_dev;
  // A change within the file system's clock step of the reading keeps the time.
  const std::int64_t now =
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
  FStamp.Racy = now - FStamp.ModifiedNs < 2'000'000'000;
  FStamp.Crc = Crc32(OnDisk);
}

bool TRomDocument::ChangedOnDisk() const {
  if (!IsLoaded()) return false;
  struct stat info {};
  if (stat(FFileName.c_str(), &info) != 0) return errno != ENOENT;
  if (!FStamp.Known) return true;
  const std::int64_t modified = std::int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
  if (info.st_size != FStamp.Size) return true;
  if (modified == FStamp.ModifiedNs && info.st_ino == FStamp.Inode && info.st_dev == FStamp.Device && !FStamp.Racy)
    return false;
  // Touched, replaced by a copy, or too recent to tell by the time: the bytes decide.
  try {
    return Crc32(ReadFileBytes(FFileName, FStamp.Size + 1)) != FStamp.Crc;
  } catch (const Exception&) {
    return true;
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
  std::vector<std::uint8_t> image(FSaved.size());
  const std::size_t prg = std::min(image.size(), FPrg.size());
  std::copy_n(FPrg.begin(), prg, image.begin());
  std::copy_n(FChr.begin(), image.size() - prg, image.begin() + static_cast<std::ptrdiff_t>(prg));
  return image;
}

std::vector<std::pair<int, int>> TRomDocument::ChangedRanges() const {
  std::vector<std::pair<int, int>> ranges;
  if (!IsModified()) return ranges;
  return DifferingRanges(FSaved, Image());
}

std::vector<std::pair<int, int>> TRomDocument::RangesFromOriginal() const { return DifferingRanges(FOriginal, Image()); }

std::vector<std::uint8_t> TRomDocument::CreatePatch(TPatchFormat Format) const {
  return ::CreatePatch(Format, FOriginal, Image());
}

void TRomDocument::Saved(const std::string& FileName) {
  if (FSaveCompanion) FSaveCompanion(FileName);
  FSaved = Image();
  FFileName = FileName;
  FPatchName.clear();
  FDiffering = 0;
  FSavedFree = FFree;
  Stamp(FSaved);
}

void TRomDocument::CheckWritable(int Offset) const {
  if (Offset < RomHeaderSize)
    throw ERomEditError(
        FillArgs(Translate("TarvelinRomDocument", "iNESヘッダ (%1) は書き換えられません"), {Address(Offset)}));
  if (static_cast<std::size_t>(Offset) >= FSaved.size())
    throw ERomEditError(FillArgs(Translate("TarvelinRomDocument", "%1 は読み込んだファイルの終わりより後ろです"), {Address(Offset)}));
}

void TRomDocument::Write(const TRomChange& Change, bool Back) {
  std::vector<int> offsets;
  offsets.reserve(Change.Writes.size());
  for (const TByteWrite& write : Change.Writes) {
    CheckWritable(write.Offset);
    offsets.push_back(write.Offset);
  }
  std::ranges::sort(offsets);
  if (const auto twice = std::ranges::adjacent_find(offsets); twice != offsets.end())
    throw ERomEditError(FillArgs(Translate("TarvelinRomDocument", "%1 への書き込みが一つの変更に二つあります"), {Address(*twice)}));
  for (const TByteWrite& write : Change.Writes)
    Assert(Byte(write.Offset) == (Back ? write.New : write.Old), "ROM change does not match the image");
  for (const TByteWrite& write : Change.Writes) {
    const std::uint8_t value = Back ? write.Old : write.New;
    const std::uint8_t original = FSaved[static_cast<std::size_t>(write.Offset)];
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
