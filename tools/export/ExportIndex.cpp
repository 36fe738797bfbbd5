#include "tools/export/ExportIndex.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>

#include "sprite/TarvelinSpritePattern.h"
#include "sprite/tarvelinSpriteGlobals.h"

namespace {

std::string Hex(int Value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(Value));
  return text;
}

std::string Bytes(std::span<const std::uint8_t> Bytes) {
  std::string text;
  for (const std::uint8_t b : Bytes) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X", b);
    text.append(text.empty() ? "" : " ").append(pair);
  }
  return text;
}

std::string FileName(const TIndexItem& Item, const std::string& Extension) {
  char name[16];
  std::snprintf(name, sizeof name, Item.Animation ? "%02X" : "%03X", static_cast<unsigned>(Item.Number));
  return std::string(Item.Animation ? "animation/" : "sprite/") + BankNames[Item.BankIndex] + "/" + name + Extension;
}

// kind, bank and number: what a row describes.
std::string Key(const std::string& Row) {
  std::size_t at = 0;
  for (int comma = 0; comma < 3 && at != std::string::npos; ++comma) at = Row.find(',', at + (comma ? 1 : 0));
  return Row.substr(0, at);
}

std::string Field(const std::string& Row, int Index) {
  std::stringstream fields(Row);
  std::string field;
  for (int i = 0; i <= Index && std::getline(fields, field, ','); ++i) {
  }
  return field;
}

// The row with its file field (the fourth) replaced by File.
std::string WithFile(const std::string& Row, const std::string& File) {
  std::size_t start = 0;
  for (int comma = 0; comma < 3; ++comma) {
    const std::size_t at = Row.find(',', start);
    if (at == std::string::npos) return Row;
    start = at + 1;
  }
  const std::size_t end = Row.find(',', start);
  if (end == std::string::npos) return Row;
  return Row.substr(0, start) + File + Row.substr(end);
}

// The row of an earlier run, naming the file of its kind and number that Folder
// holds in any format the exporter writes; nothing when none is there.
std::optional<std::string> Kept(const std::string& Row, const std::filesystem::path& Folder) {
  std::error_code error;
  const std::string file = Field(Row, 3);
  if (std::filesystem::exists(Folder / file, error)) return Row;
  const bool animation = Field(Row, 0) == "animation";
  const auto dot = file.rfind('.');
  if (file.empty() || dot == std::string::npos) return std::nullopt;
  const std::array<std::string, 2> extensions =
      animation ? std::array<std::string, 2>{".gif", ".png"} : std::array<std::string, 2>{".png", ".bmp"};
  for (const std::string& extension : extensions) {
    const std::string other = file.substr(0, dot) + extension;
    if (other != file && std::filesystem::exists(Folder / other, error)) return WithFile(Row, other);
  }
  return std::nullopt;
}

}  // namespace

std::string IndexHeader() {
  return "kind,bank,number,file,frame_address,sprite_count,align_number,align_address,chr_bank,chr_bank_address,"
         "load_offset,frame_data,align_data,animation_address";
}

std::string IndexRow(const TPrgData& PrgData, const TIndexItem& Item, const std::string& Extension,
                     const std::string& AnimationExtension) {
  const std::string bank = BankNames[Item.BankIndex];
  std::string row = std::string(Item.Animation ? "animation" : "sprite") + "," + bank + "," + Hex(Item.Number) + "," +
                    FileName(Item, Item.Animation ? AnimationExtension : Extension);
  if (Item.Animation) {
    const int base = AnimationBanks[static_cast<std::size_t>(Item.BankIndex)];
    return row + ",,,,,,,,,," + Hex(AnimationDataOffset(PrgData, base, Item.Number));
  }
  const auto p = LocateSpritePattern(PrgData, SpriteBanks[static_cast<std::size_t>(Item.BankIndex)], Item.Number);
  const auto count = static_cast<std::size_t>(p.SpriteCount());
  for (const std::string& field :
       {Hex(p.FrameAddress), std::to_string(count), Hex(p.AlignNumber()), Hex(p.AlignAddress), Hex(p.CHRBank()),
        Hex(p.CHRBank() * 0x400 + 0x40010), Hex(p.CHRLoadOffset), Bytes(p.Frame.first(3 + 2 * count)),
        Bytes(p.Align.first(2 * count))})
    row.append(",").append(field);
  return row + ",";
}

std::string MergeIndex(const std::string& Old, const std::vector<std::string>& NewRows, const std::filesystem::path& Folder) {
  std::set<std::string> replaced;
  for (const auto& row : NewRows) replaced.insert(Key(row));
  std::vector<std::string> rows = NewRows;
  std::stringstream old(Old);
  std::string line;
  if (std::getline(old, line) && line == IndexHeader()) {
    while (std::getline(old, line)) {
      if (line.empty() || replaced.count(Key(line))) continue;
      if (auto kept = Kept(line, Folder)) rows.push_back(std::move(*kept));
    }
  }
  // Kind, bank, then number as a number.
  std::sort(rows.begin(), rows.end(), [](const std::string& a, const std::string& b) {
    const auto key = [](const std::string& row) {
      return std::make_tuple(Field(row, 0), Field(row, 1), std::strtol(Field(row, 2).c_str(), nullptr, 16));
    };
    return key(a) < key(b);
  });
  std::string csv = IndexHeader() + "\n";
  for (const auto& row : rows) csv.append(row).append("\n");
  return csv;
}
