#pragma once
// The one owner of what was loaded: the file's bytes as read, beside the live
// PrgData and ChrData that the pages draw from. Every write to the buffers after
// a load goes through Apply, which refuses the header and anything past the
// loaded length, and tells its listeners what changed. Patches are made against
// the file as it was on disk when opened, whatever was saved since.

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "host/Exception.h"
#include "rom/TarvelinFileIO.h"
#include "rom/TarvelinFreeSpace.h"
#include "rom/TarvelinPatch.h"
#include "rom/TarvelinRomChange.h"

// An edit that the image cannot take; nothing was changed.
HOST_DECLARE_EXCEPTION(ERomEditError, Exception);

inline constexpr int RomHeaderSize = 16;

class TRomDocument {
public:
  TRomDocument(TPrgData& PrgData, TChrData& ChrData) : FPrg(PrgData), FChr(ChrData) {}
  TRomDocument(const TRomDocument&) = delete;
  TRomDocument& operator=(const TRomDocument&) = delete;

  // LoadRomImage into the buffers. On success the document holds the file's
  // bytes as loaded, unmodified; on false (a message was shown) nothing is
  // loaded and the caller clears the buffers as before. An EFOpenError leaves
  // everything as it was.
  bool Load(const std::string& FileName);
  // The file with the patch PatchName (IPS or BPS, by content) applied, then
  // loaded as LoadRomImage would load the result. A file size out of range or
  // a bad header answers false as Load does; a patch that does not fit raises
  // EPatchError and leaves the buffers and the document as they were.
  bool LoadPatched(const std::string& FileName, const std::string& PatchName);
  // Forgets what was loaded (the buffers are the caller's to clear).
  void Close();

  bool IsLoaded() const { return !FSaved.empty(); }
  // The file the image belongs to: the one opened, or the one last saved.
  const std::string& GetFileName() const { return FFileName; }
  // The patch the file was opened with, or empty.
  const std::string& GetPatchName() const { return FPatchName; }
  // The file opened (before any patch) and its bytes as they were on disk then:
  // the base of every patch, which saving does not move.
  const std::string& GetBaseName() const { return FBaseName; }
  std::span<const std::uint8_t> Original() const { return FOriginal; }
  // What GetFileName() holds: the image as loaded (its patch applied) or as last saved.
  std::span<const std::uint8_t> LastSaved() const { return FSaved; }
  // The image's length, as loaded.
  std::size_t Size() const { return FSaved.size(); }

  const TPrgData& Prg() const { return FPrg; }
  const TChrData& Chr() const { return FChr; }
  // The current byte at a file offset of the full image.
  std::uint8_t Byte(int Offset) const;
  // The current image, its loaded length.
  std::vector<std::uint8_t> Image() const;
  // Whether any byte differs from the file as loaded or last saved, or the free map from the one beside it.
  bool IsModified() const { return FDiffering != 0 || IsFreeSpaceModified(); }
  // The file offset ranges [first, last + 1) that differ from the file as loaded or last saved.
  std::vector<std::pair<int, int>> ChangedRanges() const;
  // The ranges of the current image that differ from Original(); a length that
  // differs counts as one range from the shorter length to the longer.
  std::vector<std::pair<int, int>> RangesFromOriginal() const;
  // A patch of the current image against Original().
  std::vector<std::uint8_t> CreatePatch(TPatchFormat Format) const;
  // The current image is now what the file FileName holds. The companion, if
  // set, runs first, to write what goes beside the ROM (the free map); if it
  // raises, the document stays as it was before the save.
  void Saved(const std::string& FileName);
  // Whether the file GetFileName() names is no longer what was loaded from it or
  // saved to it: its size, modification time or inode moved and its bytes differ
  // (or the time is too close to the reading to trust). A file that is gone has
  // nothing to lose and counts as unchanged.
  bool ChangedOnDisk() const;
  void SetSaveCompanion(std::function<void(const std::string& FileName)> Companion) {
    FSaveCompanion = std::move(Companion);
  }

  // The declared free space, read from the file beside the ROM at each load
  // (empty when there is none) and written beside it with the ROM's save. A file
  // there that cannot be read is reported once, left alone and not overwritten
  // unless the map is edited. Saved takes the map as written too.
  const TFreeMap& FreeSpace() const { return FFree; }
  void SetFreeSpace(TFreeMap Free) { FFree = std::move(Free); }
  bool IsFreeSpaceModified() const { return FFree != FSavedFree; }
  const std::string& FreeSpaceError() const { return FFreeSpaceError; }

  // Raises ERomEditError unless a write at Offset is allowed.
  void CheckWritable(int Offset) const;
  // Writes each New byte (Revert: each Old byte), after checking every offset and
  // that the buffers hold the other side; then tells the listeners. A change
  // that writes one offset twice could not be reverted and is refused whole.
  void Apply(const TRomChange& Change) { Write(Change, false); }
  void Revert(const TRomChange& Change) { Write(Change, true); }

  // Listeners hear of every change applied or reverted, and, as an empty
  // change, of every load and close: the whole image is another then.
  using TListener = std::function<void(const TRomChange&)>;
  int Subscribe(TListener Listener);
  void Unsubscribe(int Id);

private:
  void Write(const TRomChange& Change, bool Back);
  void Put(int Offset, std::uint8_t Value);
  void Loaded(std::int64_t Size, std::string FileName, std::string PatchName, std::vector<std::uint8_t> Original);
  void Notify(const TRomChange& Change);
  // Notes what the file FileName holds now, to tell later whether someone else changed it.
  void Stamp(std::span<const std::uint8_t> OnDisk);

  // What ChangedOnDisk compares.
  struct TFileStamp {
    bool Known = false;
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0;
    std::uint64_t Inode = 0;
    std::uint64_t Device = 0;
    bool Racy = true;  // modified too close to the reading for the time to tell
    std::uint32_t Crc = 0;
  };
  void ReadFreeSpace();

  TPrgData& FPrg;
  TChrData& FChr;
  std::vector<std::uint8_t> FOriginal;
  std::vector<std::uint8_t> FSaved;
  std::string FFileName;
  std::string FBaseName;
  std::string FPatchName;
  TFileStamp FStamp;
  std::size_t FDiffering = 0;  // bytes that differ from FSaved
  TFreeMap FFree;
  TFreeMap FSavedFree;
  std::string FFreeSpaceError;
  std::function<void(const std::string&)> FSaveCompanion;
  std::map<int, TListener> FListeners;
  int FNextListener = 1;
};
