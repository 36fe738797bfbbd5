#include "rom/TarvelinFreeSpaceFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "host/Translate.h"

namespace {

constexpr std::string_view Header = "TARVELIN free space 1";
constexpr int FirstFreeOffset = 16;
constexpr int PrgEnd = static_cast<int>(sizeof(TPrgData));

[[noreturn]] void Fail(int Line, const std::string& Why, const std::string& English) {
  throw EFreeSpaceError(
      FillArgs(Translate("TarvelinFreeSpaceFile", "空き領域ファイルの %1 行目: %2"), {std::to_string(Line), Why}),
      "line " + std::to_string(Line) + ": " + English);
}

std::string_view Trimmed(std::string_view Text) {
  while (!Text.empty() && (Text.front() == ' ' || Text.front() == '\t')) Text.remove_prefix(1);
  while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\t' || Text.back() == '\r')) Text.remove_suffix(1);
  return Text;
}

// "$2A000" or "2A000": at most six hex digits.
int Offset(std::string_view Word, int Line) {
  if (!Word.empty() && Word.front() == '$') Word.remove_prefix(1);
  if (Word.empty() || Word.size() > 6)
    Fail(Line, Translate("TarvelinFreeSpaceFile", "16 進のファイル位置が要ります"), "a file offset in hex is needed");
  int value = 0;
  for (const char c : Word) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else
      Fail(Line, Translate("TarvelinFreeSpaceFile", "16 進のファイル位置が要ります"), "a file offset in hex is needed");
    value = value * 16 + digit;
  }
  return value;
}

}  // namespace

std::string FreeSpaceFileName(const std::string& RomFileName) {
  return RomFileName + FreeSpaceFileSuffix;
}

std::string FormatFreeSpace(const TFreeMap& Free) {
  std::string text(Header);
  text += "\n# first and last file offset of each free range\n";
  char line[32];
  for (const TFileRange& range : Free.Ranges()) {
    std::snprintf(line, sizeof line, "$%05X $%05X\n", static_cast<unsigned>(range.First),
                  static_cast<unsigned>(range.End - 1));
    text += line;
  }
  return text;
}

TFreeMap ParseFreeSpace(std::string_view Text) {
  if (Text.size() > MaxFreeSpaceFileSize)
    throw EFreeSpaceError(Translate("TarvelinFreeSpaceFile", "空き領域ファイルが大きすぎます"), "the free-space file is too large");
  std::vector<TFileRange> ranges;
  bool headed = false;
  int number = 0;
  while (!Text.empty()) {
    const std::size_t end = Text.find('\n');
    const std::string_view line = Trimmed(Text.substr(0, end));
    Text.remove_prefix(end == std::string_view::npos ? Text.size() : end + 1);
    ++number;
    if (line.empty() || line.front() == '#') continue;
    if (!headed) {
      if (line != Header)
        Fail(number,
             FillArgs(Translate("TarvelinFreeSpaceFile", "\"%1\" で始まる空き領域ファイルではありません"),
                      {std::string(Header)}),
             "not a free-space file, which starts \"" + std::string(Header) + "\"");
      headed = true;
      continue;
    }
    const std::size_t space = line.find_first_of(" \t");
    if (space == std::string_view::npos)
      Fail(number, Translate("TarvelinFreeSpaceFile", "最初と最後のファイル位置が要ります"),
           "the first and the last file offset are needed");
    const int first = Offset(line.substr(0, space), number);
    const int last = Offset(Trimmed(line.substr(space)), number);
    if (first > last)
      Fail(number, Translate("TarvelinFreeSpaceFile", "最初の位置が最後の位置より後ろです"), "the first offset is after the last");
    if (first < FirstFreeOffset || last >= PrgEnd)
      Fail(number, Translate("TarvelinFreeSpaceFile", "PRG-ROM ($00010-$4000F) の外です"),
           "outside the PRG-ROM ($00010-$4000F)");
    ranges.push_back({first, last + 1});
  }
  if (!headed)
    throw EFreeSpaceError(Translate("TarvelinFreeSpaceFile", "空き領域ファイルが空です"), "the free-space file is empty");
  return TFreeMap(std::move(ranges));
}

std::optional<TFreeMap> ReadFreeSpaceFile(const std::string& RomFileName) {
  const std::string name = FreeSpaceFileName(RomFileName);
  std::error_code error;
  if (!std::filesystem::exists(name, error) && !error) return std::nullopt;
  std::ifstream file(name, std::ios::binary);
  if (!file)
    throw EFreeSpaceError(FillArgs(Translate("TarvelinFreeSpaceFile", "空き領域ファイル %1 は開けません"), {name}),
                          name + " cannot be opened");
  std::string text;
  text.resize(MaxFreeSpaceFileSize + 1);
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (file.bad())
    throw EFreeSpaceError(FillArgs(Translate("TarvelinFreeSpaceFile", "空き領域ファイル %1 が読めません"), {name}),
                          name + " cannot be read");
  text.resize(static_cast<std::size_t>(file.gcount()));
  return ParseFreeSpace(text);
}
