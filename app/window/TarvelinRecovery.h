#pragma once
// The recovery journal of the ROM document's unsaved edits: written after each
// change, at most once a second, removed when the edits are saved or dropped.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class TRecovery : public QObject {
public:
  explicit TRecovery(QObject* Parent);
  ~TRecovery() override;

  // The edits changed: the journal is written now, or once a second has passed since the last write.
  void Changed();
  // Writes the journal as the document stands (removes it when nothing is unsaved). Raises on a failed write.
  void WriteNow();
  // The document's edits were saved or dropped, or another image was loaded.
  void Forget();
  // The journal of the document as it is named now.
  std::filesystem::path JournalPath() const;
  int WriteCount() const { return FWrites; }

  enum class TAnswer { Restore, Discard, Keep };
  // Asked when a journal of the ROM just opened exists; BaseChanged: the file is
  // no longer what the edits were made on, and Restore is not offered. A real
  // message box unless replaced (tests do).
  std::function<TAnswer(const std::string& Rom, bool BaseChanged)> Ask;
  // After a load: offers the journal of the file opened, if any. Restore applies
  // it to the document; Discard removes it; Keep leaves it. Returns what was done.
  TAnswer OfferJournal();
  // The newest whole journal left in the recovery folder, and what it was made for.
  struct TLeft {
    std::filesystem::path Path;
    std::string Rom, Patch;
  };
  static std::optional<TLeft> NewestJournal();
  // Called with a failed write's message.
  std::function<void(const std::string&)> OnError;

private:
  QTimer FTimer;
  QElapsedTimer FSinceWrite;
  std::filesystem::path FWritten;  // the journal this run wrote last
  int FWrites = 0;
  int FListener = 0;
};
