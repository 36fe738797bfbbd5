#pragma once
// Writing whole files, so that a failure never leaves a half-written one.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "host/Exception.h"

// A file that could not be written, with the system's reason, for callers that
// word the message in their own language. Error is an errno value, or one of
// the two refusals below that the system has no number for.
class EFileError : public EFCreateError {
public:
  static constexpr int NotRegularFile = -1;
  static constexpr int WriteProtected = -2;
  EFileError(std::string Message, std::filesystem::path Path, int Error)
      : EFCreateError(std::move(Message)), FPath(std::move(Path)), FError(Error) {}
  const std::filesystem::path& Path() const { return FPath; }
  int Error() const { return FError; }

private:
  std::filesystem::path FPath;
  int FError;
};

// The window's words for why a file could not be written (Error as EFileError
// gives it): the reasons users meet, and the error's number for the rest.
std::string SaveErrorReason(int Error);

// A file that takes Path's place only when Commit succeeds. Until then the bytes go to
// an unnamed file in the target's folder (O_TMPFILE) where the system offers one, else
// to a short hidden name there that RemoveTemporariesOnSignals also clears. A symlink
// at Path is followed, as cp does, so its target is what gets replaced; a replaced
// file keeps its permission bits and, where allowed, its owner. A write-protected file
// (no write bit at all) or anything but a regular file is refused unless Force is
// given for the former. Temporary names that killed runs left in the folder are
// removed as the file is made. Commit flushes the file to the disk, renames it into place
// and flushes its folder, so a success survives a power cut. Raises EFileError
// naming Path and the reason.
class TAtomicFile {
public:
  explicit TAtomicFile(const std::filesystem::path& Path, bool Force = false);
  // Discards the bytes unless committed.
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  void Write(std::span<const std::uint8_t> Bytes);
  void Commit();
  // The file that Commit replaces or makes.
  const std::filesystem::path& Target() const { return FTarget; }

private:
  [[noreturn]] void Fail(const char* What, int Error) const;
  [[noreturn]] void WriteFailed(int Error) const;
  void Discard() noexcept;

  std::filesystem::path FPath;
  std::filesystem::path FTarget;
  std::string FNamed;  // the temporary name; empty while the file has none
  int FSlot = -1;      // its place among the names the signals remove
  int FFd = -1;
  bool FReplaces = false;
  mode_t FMode = 0;
  uid_t FOwner = 0;
  gid_t FGroup = 0;
};

// Writes Bytes to a temporary file beside Path, then renames it into place, so
// Path is either its old self or complete (see TAtomicFile). Raises EFileError.
void WriteFileAtomically(const std::filesystem::path& Path, std::span<const std::uint8_t> Bytes);
void WriteFileAtomically(const std::filesystem::path& Path, std::span<const std::uint8_t> Bytes, bool Force);

// Creates or truncates Path and writes Bytes, for files in a folder that a
// failure discards whole; whoever puts the folder in place flushes it whole
// (SyncFileSystem), which costs far less than a flush per file. Raises EFileError.
void WriteNewFile(const std::filesystem::path& Path, std::span<const std::uint8_t> Bytes);

// Flushes everything written to the file system that holds Folder; false with
// errno set when the system reports a failed write.
bool SyncFileSystem(const std::filesystem::path& Folder);

// Flushes what Folder lists (names made, renamed or removed) to the disk; false
// with errno set when the system refuses. File systems that cannot flush a
// folder count as done.
bool SyncFolder(const std::filesystem::path& Folder);

// Whether writes are flushed to the disk before they count as done: on, unless a
// measurement of what the flushing costs turns it off.
void SetWritesSynced(bool Synced);
bool WritesSynced();

// From now on SIGINT, SIGTERM and SIGHUP first remove the named temporary files of
// unfinished TAtomicFiles, then end the process as the signal would have.
void RemoveTemporariesOnSignals();

// Path with its symlinks followed to the last link's target, which need not exist.
// Raises EFOpenError on a loop.
std::filesystem::path FollowSymlinks(const std::filesystem::path& Path);

// The system's reason for Error, as strerror gives it.
std::string ErrorText(int Error);
