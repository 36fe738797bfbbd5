#include "app/window/TarvelinSaveNames.h"

#include <algorithm>
#include <cctype>

#include <QCoreApplication>

#include "host/Exception.h"
#include "sprite/TarvelinFiles.h"
#include "host/Translate.h"

namespace fs = std::filesystem;

std::string LowerExtension(const fs::path& Path) {
  std::string extension = Path.extension().string();
  std::ranges::transform(extension, extension.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

bool SameFile(const fs::path& A, const fs::path& B) {
  const auto canonical = [](const fs::path& Path) {
    std::error_code ignored;
    // The folder may be resolved even where the file is not there yet.
    const fs::path followed = FollowSymlinks(Path);
    const fs::path folder = fs::weakly_canonical(followed.parent_path().empty() ? fs::path(".") : followed.parent_path(),
                                                 ignored);
    return folder / followed.filename();
  };
  return canonical(A) == canonical(B);
}

fs::path AwayFromOpened(const fs::path& Proposed, const std::vector<std::string>& Opened, const std::string& Tag) {
  const auto opened = [&](const fs::path& Path) {
    return std::ranges::any_of(Opened, [&](const std::string& O) { return !O.empty() && SameFile(Path, O); });
  };
  fs::path path = Proposed;
  std::string stem = Proposed.stem().string();
  stem.append(1, '-').append(Tag);
  for (int n = 1; opened(path); ++n) {
    std::string name = stem;
    if (n > 1) name.append(1, '-').append(std::to_string(n));
    path.replace_filename(name.append(Proposed.extension().string()));
  }
  return path;
}

std::string SaveFailureText(const EFileError& E) {
  return FormatMessage(HostText(SFCreateError), E.Path().string()) + ": " + SaveErrorReason(E.Error());
}

void WriteSavedFile(const fs::path& Path, std::span<const std::uint8_t> Bytes) {
  try {
    WriteFileAtomically(Path, Bytes);
  } catch (const EFileError& E) {
    throw EFCreateError(SaveFailureText(E));
  }
}

void CheckSaveExtension(const fs::path& Path, std::initializer_list<const char*> Allowed, const std::string& Formats) {
  const std::string extension = LowerExtension(Path);
  if (std::ranges::any_of(Allowed, [&](const char* A) { return extension == A; })) return;
  throw EFCreateError(FormatMessage(HostText(SFCreateError), Path.string()) +
                      QCoreApplication::translate("TarvelinSaveNames", ": 拡張子 %1 の形式では保存できません (%2)")
                          .arg(QString::fromStdString(Path.extension().string()), QString::fromStdString(Formats))
                          .toStdString());
}

std::string SavedFileText(const fs::path& Path, std::size_t Size) {
  return QCoreApplication::translate("TarvelinSaveNames", "%1 (%2 バイト)")
      .arg(QString::fromStdString(Path.string()), QString::number(Size))
      .toStdString();
}

std::string ChangedBytesText(const std::vector<std::pair<int, int>>& Ranges) {
  std::size_t bytes = 0;
  for (const auto& [first, end] : Ranges) bytes += static_cast<std::size_t>(end - first);
  return QCoreApplication::translate("TarvelinSaveNames", "%1 バイト (%2 か所)").arg(bytes).arg(Ranges.size()).toStdString();
}
