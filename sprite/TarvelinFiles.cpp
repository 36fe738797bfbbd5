#include "sprite/TarvelinFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "host/Exception.h"
#include "host/Translate.h"

namespace fs = std::filesystem;

namespace {

// Named temporaries that a signal must not leave behind. The handler reads the
// slots, so a slot's name is complete before it is marked used.
struct TTemporarySlot {
  char Name[PATH_MAX];
  volatile std::sig_atomic_t Used;
};
std::array<TTemporarySlot, 8> Temporaries{};

int Remember(const std::string& Name) {
  if (Name.size() >= PATH_MAX) return -1;
  for (std::size_t i = 0; i < Temporaries.size(); ++i) {
    if (Temporaries[i].Used) continue;
    std::memcpy(Temporaries[i].Name, Name.c_str(), Name.size() + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    Temporaries[i].Used = 1;
    return static_cast<int>(i);
  }
  return -1;
}

void Forget(int Slot) {
  if (Slot >= 0) Temporaries[static_cast<std::size_t>(Slot)].Used = 0;
}

void RemoveTemporariesAndDie(int Signal) {
  for (auto& slot : Temporaries)
    if (slot.Used) unlink(slot.Name);
  signal(Signal, SIG_DFL);
  raise(Signal);
}

// Writes all of Bytes; the errno of a failure, or 0.
int WriteAll(int Fd, std::span<const std::uint8_t> Bytes) {
  for (std::size_t done = 0; done < Bytes.size();) {
    const ssize_t n = write(Fd, Bytes.data() + done, Bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : ENOSPC;
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

// A hidden name in Folder that is short whatever the target's name, so an output
// name of up to 255 bytes still has room for it.
std::string TemporaryName(const fs::path& Folder) {
  static unsigned counter = 0;
  char name[64];
  std::snprintf(name, sizeof name, ".tarvelin-%ld-%u", static_cast<long>(getpid()), counter++);
  return (Folder / name).string();
}

std::atomic<bool> Synced{true};

int SyncFile(int Fd) {
  if (!Synced) return 0;
  while (fsync(Fd) != 0) {
    if (errno == EINTR) continue;
    // Pipes and some special files cannot be flushed; nothing is lost by that.
    if (errno == EINVAL || errno == EROFS) return 0;
    return errno;
  }
  return 0;
}

// Removes the temporary names (".tarvelin-PID-N") that killed processes left in
// Folder: a kill between naming the new file and renaming it cannot be caught.
void RemoveStaleTemporaries(const fs::path& Folder) {
  DIR* dir = opendir(Folder.c_str());
  if (!dir) return;
  std::vector<std::string> stale;
  constexpr std::string_view Prefix = ".tarvelin-";
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.substr(0, Prefix.size()) != Prefix) continue;
    char* end = nullptr;
    const long pid = std::strtol(name.data() + Prefix.size(), &end, 10);
    if (pid <= 0 || end == name.data() + Prefix.size() || *end != '-') continue;
    const char* counter = end + 1;
    if (!*counter || std::strspn(counter, "0123456789") != std::strlen(counter)) continue;
    // A process of that number that lives may be another save under way.
    if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) stale.emplace_back(name);
  }
  closedir(dir);
  for (const auto& name : stale) unlink((Folder / name).c_str());
}

bool UnnamedFilesWork() {
  // Linking an unnamed file in needs its /proc/self/fd name. The variable lets the
  // named way be tried where every folder offers unnamed files.
  static const bool works = access("/proc/self/fd", X_OK) == 0 && !std::getenv("TARVELIN_NAMED_TEMPORARIES");
  return works;
}

}  // namespace

std::string ErrorText(int Error) { return std::strerror(Error); }

std::string SaveErrorReason(int Error) {
  switch (Error) {
    case EFileError::NotRegularFile: return Translate("TarvelinFiles", "通常のファイルではありません");
    case EFileError::WriteProtected: return Translate("TarvelinFiles", "書き込みが禁止されています");
    case ENOENT: return Translate("TarvelinFiles", "フォルダがありません");
    case ENOTDIR: return Translate("TarvelinFiles", "途中の名前がフォルダではありません");
    case EACCES:
    case EPERM: return Translate("TarvelinFiles", "書き込みが許可されていません");
    case EROFS: return Translate("TarvelinFiles", "読み取り専用のファイルシステムです");
    case ENOSPC:
    case EDQUOT: return Translate("TarvelinFiles", "ディスクの空きが足りません");
    case EFBIG: return Translate("TarvelinFiles", "ファイルが大きすぎます");
    case EISDIR: return Translate("TarvelinFiles", "同じ名前のフォルダがあります");
    case ENAMETOOLONG: return Translate("TarvelinFiles", "名前が長すぎます");
    case EIO: return Translate("TarvelinFiles", "ディスクの読み書きに失敗しました");
    default: return FillArgs(Translate("TarvelinFiles", "システムのエラー番号 %1"), {std::to_string(Error)});
  }
}

void SetWritesSynced(bool Value) { Synced = Value; }

bool WritesSynced() { return Synced; }

bool SyncFolder(const fs::path& Folder) {
  if (!Synced) return true;
  const int fd = open(Folder.empty() ? "." : Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const int error = SyncFile(fd);
  close(fd);
  errno = error;
  return error == 0;
}

fs::path FollowSymlinks(const fs::path& Path) {
  fs::path path = Path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::string target(PATH_MAX, '\0');
    const ssize_t n = readlink(path.c_str(), target.data(), target.size());
    if (n < 0) return path;
    target.resize(static_cast<std::size_t>(n));
    const fs::path next(target);
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  throw EFOpenError(FormatMessage(HostText(SFOpenError), Path.string()) + ": " + ErrorText(ELOOP));
}

TAtomicFile::TAtomicFile(const fs::path& Path, bool Force) : FPath(Path), FTarget(FollowSymlinks(Path)) {
  struct stat info {};
  if (stat(FTarget.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) Fail("cannot replace", EISDIR);
    if (!S_ISREG(info.st_mode))
      throw EFileError(FormatMessage(HostText(SFCreateError), FPath.string()) + ": not a regular file", FPath,
                       EFileError::NotRegularFile);
    // Root may write anything: the missing write bits are what says "keep this".
    if (!Force && ((info.st_mode & 0222) == 0 || access(FTarget.c_str(), W_OK) != 0))
      throw EFileError(FormatMessage(HostText(SFCreateError), FPath.string()) +
                           ": the file is write-protected (--force replaces it)",
                       FPath, EFileError::WriteProtected);
    FReplaces = true;
    FMode = info.st_mode & 07777;
    FOwner = info.st_uid;
    FGroup = info.st_gid;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    FMode = 0666 & ~mask;
  }
  const fs::path folder = FTarget.parent_path().empty() ? fs::path(".") : FTarget.parent_path();
  // The folder's own state is the reason users can act on, before what a
  // temporary file in it would answer (a folder that takes no new names says ENOENT).
  if (stat(folder.c_str(), &info) != 0) Fail("cannot write in its folder", errno);
  if (!S_ISDIR(info.st_mode)) Fail("cannot write in its folder", ENOTDIR);
  RemoveStaleTemporaries(folder);
  if (UnnamedFilesWork()) FFd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  for (int attempt = 0; FFd < 0 && attempt < 100; ++attempt) {
    // No unnamed files here (or no /proc): a named one that the signals remove.
    std::string name = TemporaryName(folder);
    FSlot = Remember(name);
    FFd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (FFd >= 0) {
      FNamed = std::move(name);
      break;
    }
    const int error = errno;
    Forget(FSlot);
    FSlot = -1;
    if (error != EEXIST) Fail("cannot write in its folder", error == ENOENT ? EACCES : error);
  }
  if (FFd < 0) Fail("cannot write in its folder", EEXIST);
}

TAtomicFile::~TAtomicFile() { Discard(); }

void TAtomicFile::Discard() noexcept {
  if (FFd >= 0) close(FFd);
  FFd = -1;
  if (!FNamed.empty()) {
    unlink(FNamed.c_str());
    FNamed.clear();
  }
  Forget(FSlot);
  FSlot = -1;
}

void TAtomicFile::Fail(const char* What, int Error) const {
  throw EFileError(FormatMessage(HostText(SFCreateError), FPath.string()) + ": " + What + ": " + ErrorText(Error),
                   FPath, Error);
}

void TAtomicFile::WriteFailed(int Error) const {
  throw EFileError(FPath.string() + ": " + ErrorText(Error), FPath, Error);
}

void TAtomicFile::Write(std::span<const std::uint8_t> Bytes) {
  Assert(FFd >= 0, "TAtomicFile.Write: File Should be Open");
  if (const int error = WriteAll(FFd, Bytes)) WriteFailed(error);
}

void TAtomicFile::Commit() {
  Assert(FFd >= 0, "TAtomicFile.Commit: File Should be Open");
  // A replaced file keeps who may read it; a new one is as any file the user makes.
  if (fchmod(FFd, FMode) != 0) WriteFailed(errno);
  if (FReplaces && fchown(FFd, FOwner, FGroup) != 0) {
    // Only root may give a file away; a group the user is in may still be kept.
    if (fchown(FFd, static_cast<uid_t>(-1), FGroup) != 0) {
      // Then it has the user's own group, as a file the user makes.
    }
  }
  if (FNamed.empty()) {
    // The unnamed file gets a name only now, for the moment before the rename.
    const std::string self = "/proc/self/fd/" + std::to_string(FFd);
    const fs::path folder = FTarget.parent_path().empty() ? fs::path(".") : FTarget.parent_path();
    for (int attempt = 0; FNamed.empty() && attempt < 100; ++attempt) {
      std::string name = TemporaryName(folder);
      FSlot = Remember(name);
      if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        FNamed = std::move(name);
        break;
      }
      const int error = errno;
      Forget(FSlot);
      FSlot = -1;
      if (error != EEXIST) WriteFailed(error);
    }
    if (FNamed.empty()) WriteFailed(EEXIST);
  }
  // The bytes reach the disk before the name does, so a power cut leaves the old
  // file or the new one, never an empty one.
  if (const int error = SyncFile(FFd)) WriteFailed(error);
  const int fd = FFd;
  FFd = -1;
  if (close(fd) != 0) WriteFailed(errno);
  if (std::rename(FNamed.c_str(), FTarget.c_str()) != 0) WriteFailed(errno);
  FNamed.clear();
  Forget(FSlot);
  FSlot = -1;
  if (!SyncFolder(FTarget.parent_path())) WriteFailed(errno);
}

void WriteNewFile(const fs::path& Path, std::span<const std::uint8_t> Bytes) {
  const int fd = open(Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    const int error = errno;
    throw EFileError(FormatMessage(HostText(SFCreateError), Path.string()) + ": " + ErrorText(error), Path, error);
  }
  int error = WriteAll(fd, Bytes);
  if (close(fd) != 0 && !error) error = errno;
  if (error) throw EFileError(Path.string() + ": " + ErrorText(error), Path, error);
}

void WriteFileAtomically(const fs::path& Path, std::span<const std::uint8_t> Bytes, bool Force) {
  TAtomicFile file(Path, Force);
  file.Write(Bytes);
  file.Commit();
}

void WriteFileAtomically(const fs::path& Path, std::span<const std::uint8_t> Bytes) {
  WriteFileAtomically(Path, Bytes, false);
}

bool SyncFileSystem(const fs::path& Folder) {
  if (!Synced) return true;
  const int fd = open(Folder.empty() ? "." : Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  int error = 0;
  while (syncfs(fd) != 0 && (error = errno) == EINTR) error = 0;
  close(fd);
  errno = error;
  return error == 0;
}

void RemoveTemporariesOnSignals() {
  struct sigaction action {};
  action.sa_handler = RemoveTemporariesAndDie;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, signal);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}
