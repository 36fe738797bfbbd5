#pragma once
// An export's output folder: the new files are made in a staging folder and put
// in place all or nothing.

#include <filesystem>
#include <string>
#include <vector>

class TOutputFolder {
public:
  // Follows a symlink at OutDir to its target (made if missing, as the parents it
  // needs), clears the staging folders that killed runs left there, and makes a
  // fresh staging folder: beside a new OUTDIR, so that one rename puts it in
  // place, or inside an existing one. Raises EFCreateError.
  TOutputFolder(const std::string& OutDir, bool Force);
  // Removes the staging folder and, unless committed, every folder it made.
  ~TOutputFolder();
  TOutputFolder(const TOutputFolder&) = delete;
  TOutputFolder& operator=(const TOutputFolder&) = delete;

  const std::filesystem::path& Staging() const { return FStaging; }
  // OUTDIR with its symlinks followed.
  const std::filesystem::path& Target() const { return FTarget; }
  // Whether OUTDIR held anything before this run.
  bool Existed() const { return FExisted; }
  // Text with the staging folder's name put back to the OUTDIR the user gave.
  std::string InUserTerms(const std::string& Text) const;

  // Puts the staged files in place. A new OUTDIR is the staging folder renamed. In an
  // existing one, every file is checked first (a file where a folder goes, a
  // write-protected file without Force), then each old file is set aside and the new
  // one moved in; a failure moves everything back. Raises EFCreateError or EWriteError.
  void Commit();

private:
  void MergeIntoExisting();
  void RemoveMadeFolders() noexcept;

  std::string FUserPath;
  std::filesystem::path FTarget;
  std::filesystem::path FStaging;
  bool FForce;
  bool FExisted = false;
  bool FCommitted = false;
  std::vector<std::filesystem::path> FMadeFolders;  // parents this run made, outermost first
};

// Removes the staging folders of Prefix in Folder whose process is gone: Prefix,
// then the process id, "-" and six characters.
void RemoveStaleStaging(const std::filesystem::path& Folder, const std::string& Prefix);
