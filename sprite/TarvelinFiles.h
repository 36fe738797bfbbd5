#pragma once
// Writing whole files, so that a failure never leaves a half-written one.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

// A file that takes Path's place only when Commit succeeds. Until then the bytes go to
// an unnamed file in the target's folder (O_TMPFILE) where the system offers one, else
// to a short hidden name there that RemoveTemporariesOnSignals also clears. A symlink
// at Path is followed, as cp does, so its target is what gets replaced; a replaced
// file keeps its permission bits and, where allowed, its owner. A write-protected file
// (no write bit at all) or anything but a regular file is refused unless Force is
// given for the former. Raises EFCreateError or EWriteError naming Path and the reason.
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
// Path is either its old self or complete (see TAtomicFile). Raises EFCreateError
// or EWriteError.
void WriteFileAtomically(const std::filesystem::path& Path, std::span<const std::uint8_t> Bytes);
void WriteFileAtomically(const std::filesystem::path& Path, std::span<const std::uint8_t> Bytes, bool Force);

// Creates or truncates Path and writes Bytes, for files in a folder that a
// failure discards whole. Raises EFCreateError or EWriteError.
void WriteNewFile(const std::filesystem::path& Path, std::span<const std::uint8_t> Bytes);

// From now on SIGINT, SIGTERM and SIGHUP first remove the named temporary files of
// unfinished TAtomicFiles, then end the process as the signal would have.
void RemoveTemporariesOnSignals();

// Path with its symlinks followed to the last link's target, which need not exist.
// Raises EFOpenError on a loop.
std::filesystem::path FollowSymlinks(const std::filesystem::path& Path);

// The system's reason for Error, as strerror gives it.
std::string ErrorText(int Error);
