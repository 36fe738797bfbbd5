#include "tools/export/OutputFolder.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "sprite/TarvelinFiles.h"
#include "host/Exception.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* StagingMark = ".tarvelin-export-";
// Inside the staging folder: the old files that the new ones replace, until all is in.
constexpr const char* SetAsideName = ".old";

[[noreturn]] void Fail(const std::string& What, const std::string& Path, int Error) {
  throw EFCreateError(What + " " + Path + ": " + ErrorText(Error));
}

bool Exists(const fs::path& Path, struct stat& Info) { return lstat(Path.c_str(), &Info) == 0; }

bool WriteProtected(const fs::path& Path, const struct stat& Info) {
  return S_ISREG(Info.st_mode) && ((Info.st_mode & 0222) == 0 || access(Path.c_str(), W_OK) != 0);
}

// Every entry below Folder, each folder before what it holds.
void ListTree(const fs::path& Folder, const fs::path& Relative, std::vector<std::pair<fs::path, bool>>& Entries) {
  DIR* dir = opendir((Folder / Relative).c_str());
  if (!dir) Fail("cannot read", (Folder / Relative).string(), errno);
  std::vector<std::pair<fs::path, bool>> here;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info {};
    const fs::path relative = Relative / name;
    if (lstat((Folder / relative).c_str(), &info) != 0) continue;
    here.emplace_back(relative, S_ISDIR(info.st_mode));
  }
  closedir(dir);
  for (const auto& [relative, isFolder] : here) {
    Entries.emplace_back(relative, isFolder);
    if (isFolder) ListTree(Folder, relative, Entries);
  }
}

std::string Describe(const fs::path& UserRoot, const fs::path& Relative) { return (UserRoot / Relative).string(); }


}  // namespace

void RemoveStaleStaging(const fs::path& Folder, const std::string& Prefix) {
  DIR* dir = opendir(Folder.empty() ? "." : Folder.c_str());
  if (!dir) return;
  std::vector<std::string> stale;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.rfind(Prefix, 0) != 0) continue;
    char* end = nullptr;
    const long pid = std::strtol(name.c_str() + Prefix.size(), &end, 10);
    if (pid <= 0 || *end != '-' || std::string(end + 1).size() != 6) continue;
    // Gone when no process has that number; one that lives may be another export.
    if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) stale.push_back(name);
  }
  closedir(dir);
  std::error_code ignored;
  for (const auto& name : stale) {
    // A run killed while it moved its files in had set old files aside: they go back.
    const fs::path aside = Folder / name / SetAsideName;
    std::vector<std::pair<fs::path, bool>> entries;
    if (access(aside.c_str(), F_OK) == 0) {
      try {
        ListTree(aside, {}, entries);
      } catch (const Exception&) {
      }
    }
    for (const auto& [relative, isFolder] : entries)
      if (!isFolder) rename((aside / relative).c_str(), (Folder / relative).c_str());
    fs::remove_all(Folder / name, ignored);
  }
}

namespace {

// "out/" names the folder "out": without the slashes a new one can be renamed into place.
fs::path WithoutTrailingSlashes(const std::string& Path) {
  std::string path = Path;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

TOutputFolder::TOutputFolder(const std::string& OutDir, bool Force)
    : FUserPath(OutDir), FTarget(FollowSymlinks(WithoutTrailingSlashes(OutDir))), FForce(Force) {
  struct stat info {};
  if (stat(FTarget.c_str(), &info) == 0) {
    if (!S_ISDIR(info.st_mode)) Fail("cannot export into", FUserPath, ENOTDIR);
    FExisted = true;
  } else if (errno != ENOENT) {
    Fail("cannot export into", FUserPath, errno);
  }
  const std::string pid = std::to_string(getpid());
  std::string pattern;
  if (FExisted) {
    RemoveStaleStaging(FTarget, StagingMark);
    pattern = (FTarget / (StagingMark + pid + "-XXXXXX")).string();
  } else {
    // The parents that are missing, made here and taken away again on failure.
    fs::path parent = FTarget.lexically_normal().parent_path();
    std::vector<fs::path> missing;
    for (fs::path p = parent; !p.empty() && lstat(p.c_str(), &info) != 0; p = p.parent_path()) {
      if (errno != ENOENT) Fail("cannot make folder", p.string(), errno);
      missing.insert(missing.begin(), p);
      if (p == p.parent_path()) break;
    }
    for (const auto& p : missing) {
      if (mkdir(p.c_str(), 0777) != 0) {
        const int error = errno;
        RemoveMadeFolders();
        Fail("cannot make folder", p.string(), error);
      }
      FMadeFolders.push_back(p);
    }
    const std::string name = FTarget.lexically_normal().filename().string();
    const std::string prefix = "." + name + StagingMark;
    RemoveStaleStaging(parent, prefix);
    pattern = ((parent.empty() ? fs::path(".") : parent) / (prefix + pid + "-XXXXXX")).string();
  }
  if (!mkdtemp(pattern.data())) {
    const int error = errno;
    RemoveMadeFolders();
    Fail("cannot write in", FExisted ? FUserPath : FTarget.parent_path().string(), error);
  }
  FStaging = pattern;
}

void TOutputFolder::RemoveMadeFolders() noexcept {
  for (auto p = FMadeFolders.rbegin(); p != FMadeFolders.rend(); ++p) rmdir(p->c_str());
  FMadeFolders.clear();
}

TOutputFolder::~TOutputFolder() {
  std::error_code ignored;
  fs::remove_all(FStaging, ignored);
  if (!FCommitted) RemoveMadeFolders();
}

std::string TOutputFolder::InUserTerms(const std::string& Text) const {
  std::string text = Text;
  const std::string staging = FStaging.string();
  for (std::size_t at; !staging.empty() && (at = text.find(staging)) != std::string::npos;)
    text.replace(at, staging.size(), FUserPath);
  return text;
}

void TOutputFolder::Commit() {
  if (!FExisted) {
    // mkdtemp made it private; the folder is as open as any other the user makes.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(FStaging.c_str(), 0777 & ~mask);
    // Every file and name reaches the disk before the folder takes its place:
    // one flush of the file system, where one per file would cost thousands.
    if (!SyncFileSystem(FStaging)) Fail("cannot flush", FUserPath, errno);
    if (rename(FStaging.c_str(), FTarget.c_str()) != 0) Fail("cannot put in place", FUserPath, errno);
    FCommitted = true;
    const fs::path parent = FTarget.lexically_normal().parent_path();
    if (!SyncFolder(parent)) Fail("cannot flush", parent.empty() ? "." : parent.string(), errno);
  } else {
    // The new files are on the disk before any old one is set aside.
    if (!SyncFileSystem(FStaging)) Fail("cannot flush", FUserPath, errno);
    MergeIntoExisting();
    FCommitted = true;
    if (!SyncFileSystem(FTarget)) Fail("cannot flush", FUserPath, errno);
  }
}

void TOutputFolder::MergeIntoExisting() {
  std::vector<std::pair<fs::path, bool>> entries;
  ListTree(FStaging, {}, entries);
  // Refused before anything moves.
  for (const auto& [relative, isFolder] : entries) {
    struct stat info {};
    const fs::path target = FTarget / relative;
    if (!Exists(target, info)) continue;
    if (S_ISDIR(info.st_mode) != isFolder)
      throw EFCreateError(FormatMessage(SFCreateError, Describe(FUserPath, relative)) +
                          (isFolder ? ": a file stands where a folder goes" : ": a folder stands where a file goes"));
    if (!isFolder && !FForce && WriteProtected(target, info))
      throw EFCreateError(FormatMessage(SFCreateError, Describe(FUserPath, relative)) +
                          ": the file is write-protected (--force replaces it)");
  }

  // What was done, to be undone in reverse on a failure.
  struct TStep {
    fs::path Relative;
    bool Folder;    // a folder made
    bool SetAside;  // the old file moved to the side
    bool MovedIn;   // the new file moved in
  };
  std::vector<TStep> steps;
  const fs::path aside = FStaging / SetAsideName;
  const auto undo = [&] {
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
      const fs::path target = FTarget / step->Relative;
      bool ok = true;
      if (step->Folder) ok = rmdir(target.c_str()) == 0;
      if (step->MovedIn) ok = rename(target.c_str(), (FStaging / step->Relative).c_str()) == 0;
      if (step->SetAside) ok = ok && rename((aside / step->Relative).c_str(), target.c_str()) == 0;
      if (!ok)
        std::fprintf(stderr, "%s: could not restore: %s\n", Describe(FUserPath, step->Relative).c_str(),
                     ErrorText(errno).c_str());
    }
  };
  try {
    if (mkdir(aside.c_str(), 0700) != 0) Fail("cannot write in", FUserPath, errno);
    for (const auto& [relative, isFolder] : entries) {
      const fs::path target = FTarget / relative;
      struct stat info {};
      const bool exists = Exists(target, info);
      if (isFolder) {
        if (mkdir((aside / relative).c_str(), 0700) != 0) Fail("cannot write in", FUserPath, errno);
        if (exists) continue;
        if (mkdir(target.c_str(), 0777) != 0) Fail("cannot make folder", Describe(FUserPath, relative), errno);
        steps.push_back({relative, true, false, false});
        continue;
      }
      steps.push_back({relative, false, false, false});
      if (exists) {
        if (rename(target.c_str(), (aside / relative).c_str()) != 0)
          Fail("cannot replace", Describe(FUserPath, relative), errno);
        steps.back().SetAside = true;
      }
      if (rename((FStaging / relative).c_str(), target.c_str()) != 0)
        Fail("cannot write", Describe(FUserPath, relative), errno);
      steps.back().MovedIn = true;
    }
  } catch (...) {
    undo();
    std::error_code ignored;
    fs::remove_all(aside, ignored);
    throw;
  }
  std::error_code ignored;
  fs::remove_all(aside, ignored);
}
