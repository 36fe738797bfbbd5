#include "app/window/TarvelinRecovery.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "host/Exception.h"
#include "rom/TarvelinRecoveryJournal.h"
#include "sprite/TarvelinFiles.h"
#include "sprite/tarvelinSpriteGlobals.h"

namespace fs = std::filesystem;

namespace {

constexpr int MinInterval = 1000;  // ms between two writes

// A journal holds at most an image's bytes and its headers; a larger file is none of ours.
std::vector<std::uint8_t> ReadJournal(const fs::path& Path) {
  try {
    return ReadFileBytes(Path.string(), 4 * RomImageSize);
  } catch (const Exception&) {
    return {};
  }
}

}  // namespace

TRecovery::TRecovery(QObject* Parent) : QObject(Parent) {
  FTimer.setSingleShot(true);
  connect(&FTimer, &QTimer::timeout, this, [this] {
    try {
      WriteNow();
    } catch (const Exception& E) {
      if (OnError) OnError(E.Message());
    }
  });
  FListener = RomDocument.Subscribe([this](const TRomChange& Change) {
    // A load or a close: what was open before was saved, dropped or never edited.
    if (Change.Empty())
      Forget();
    else
      Changed();
  });
}

TRecovery::~TRecovery() { RomDocument.Unsubscribe(FListener); }

fs::path TRecovery::JournalPath() const {
  return RecoveryJournalPath(RecoveryFolder(), RomDocument.GetFileName(), RomDocument.GetPatchName());
}

void TRecovery::Changed() {
  if (FTimer.isActive()) return;
  const qint64 wait = FSinceWrite.isValid() ? MinInterval - FSinceWrite.elapsed() : 0;
  FTimer.start(static_cast<int>(std::max<qint64>(wait, 0)));
}

void TRecovery::WriteNow() {
  FTimer.stop();
  if (!RomDocument.IsLoaded()) return;
  const fs::path path = JournalPath();
  std::error_code ignored;
  // Saved under another name: the old name's journal is the saved file's now.
  if (!FWritten.empty() && FWritten != path) fs::remove(FWritten, ignored);
  FWritten = path;
  if (!RomDocument.IsModified()) {
    fs::remove(path, ignored);
    return;
  }
  fs::create_directories(path.parent_path(), ignored);
  const auto image = RomDocument.Image();
  WriteFileAtomically(path, CreateRecoveryJournal(RomDocument.LastSaved(), image, RomDocument.GetFileName(),
                                                  RomDocument.GetPatchName()));
  FSinceWrite.start();
  ++FWrites;
}

void TRecovery::Forget() {
  FTimer.stop();
  std::error_code ignored;
  if (!FWritten.empty()) fs::remove(FWritten, ignored);
  FWritten.clear();
}

TRecovery::TAnswer TRecovery::OfferJournal() {
  if (!RomDocument.IsLoaded() || !Ask) return TAnswer::Keep;
  const fs::path path = JournalPath();
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return TAnswer::Keep;
  const auto journal = ReadJournal(path);
  const auto info = ReadRecoveryJournalInfo(journal);
  // Another ROM's journal under the same name, or a torn one: not ours to offer.
  if (!info || info->Rom != RomDocument.GetFileName() || info->Patch != RomDocument.GetPatchName())
    return TAnswer::Keep;
  const bool fits = RecoveryJournalFits(*info, RomDocument.LastSaved());
  TAnswer answer = Ask(RomDocument.GetFileName(), !fits);
  if (answer == TAnswer::Restore && !fits) answer = TAnswer::Keep;
  if (answer == TAnswer::Discard) fs::remove(path, error);
  if (answer != TAnswer::Restore) return answer;
  const auto edited = ApplyRecoveryJournal(RomDocument.LastSaved(), journal);
  TRomChange change;
  for (std::size_t i = 0; i < edited.size(); ++i)
    if (edited[i] != RomDocument.Byte(static_cast<int>(i)))
      change.Writes.push_back({static_cast<int>(i), RomDocument.Byte(static_cast<int>(i)), edited[i]});
  FWritten = path;
  RomDocument.Apply(change);
  return answer;
}

std::optional<TRecovery::TLeft> TRecovery::NewestJournal() {
  std::error_code error;
  std::optional<TLeft> newest;
  fs::file_time_type newestTime{};
  for (const auto& entry : fs::directory_iterator(RecoveryFolder(), error)) {
    if (!entry.is_regular_file(error) || entry.path().extension() != ".bps") continue;
    const auto info = ReadRecoveryJournalInfo(ReadJournal(entry.path()));
    const auto time = entry.last_write_time(error);
    if (info && (!newest || time > newestTime)) {
      newest = TLeft{entry.path(), info->Rom, info->Patch};
      newestTime = time;
    }
  }
  return newest;
}
