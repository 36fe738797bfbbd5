#include <algorithm>
#include <unordered_map>

#include "import/TarvelinImport.h"
#include "import/TarvelinImportTiles.h"

namespace {

constexpr int BankBytes = 1024;
constexpr int ChrBanks = 256;

}  // namespace

TImportResult ImportChr(const TChrData& ChrData, int FirstBank, std::span<const std::uint8_t> Bytes) {
  TImportResult result;
  TImportProblem problem;
  problem.Width = static_cast<int>(std::min<std::size_t>(Bytes.size(), 0x7FFFFFFF));
  problem.Place.Tile = FirstBank;
  if (Bytes.empty() || Bytes.size() % BankBytes != 0) {
    problem.Kind = TImportProblemKind::ChrSize;
    result.Problem = problem;
    return result;
  }
  if (FirstBank < 0 || FirstBank >= ChrBanks || Bytes.size() / BankBytes > static_cast<std::size_t>(ChrBanks - FirstBank)) {
    problem.Kind = TImportProblemKind::ChrPastEnd;
    result.Problem = problem;
    return result;
  }
  TNewTiles tiles;
  for (std::size_t at = 0; at < Bytes.size(); at += 16) {
    std::array<std::uint8_t, 16> tile{};
    std::copy_n(Bytes.begin() + static_cast<std::ptrdiff_t>(at), 16, tile.begin());
    tiles.emplace(FirstBank * BankBytes + static_cast<int>(at), tile);
  }
  PlanTileWrites(ChrData, tiles, result);
  return result;
}

std::vector<std::uint8_t> ExportChr(const TChrData& ChrData, int FirstBank, int Count) {
  const int first = std::clamp(FirstBank, 0, ChrBanks), last = std::clamp(FirstBank + Count, first, ChrBanks);
  return {ChrData.begin() + first * BankBytes, ChrData.begin() + last * BankBytes};
}

std::vector<TPatternRef> PatternsSharingTiles(const TPrgData& PrgData, const std::vector<int>& Tiles,
                                              const TPatternRef& Except) {
  std::vector<TPatternRef> found;
  if (Tiles.empty()) return found;
  std::vector<bool> changed(ChrBanks * BankBytes / 16);
  for (const int offset : Tiles) changed[static_cast<std::size_t>(offset / 16)] = true;
  // Many numbers lead to one record: each FrameData is read once.
  std::unordered_map<int, bool> byFrame;
  for (int bank = 0; bank < static_cast<int>(SpriteBanks.size()); ++bank)
    for (int n = 0; n < 512; ++n) {
      const TPatternRef pattern{bank, n};
      if (pattern == Except) continue;
      const int frame = FrameDataOffset(PrgData, SpriteBanks[static_cast<std::size_t>(bank)], n);
      auto [known, fresh] = byFrame.try_emplace(frame, false);
      if (fresh) {
        const auto at = [&](int Offset) { return Offset < static_cast<int>(PrgData.size()) ? PrgData[static_cast<std::size_t>(Offset)] : 0; };
        const int window = at(frame) - at(frame + 3) / 64;
        for (int i = 0, count = at(frame + 1) + 1; i < count && !known->second; ++i) {
          const std::int64_t offset = std::int64_t{window} * BankBytes + at(frame + 3 + 2 * i) * 16;
          known->second = offset >= 0 && offset < ChrBanks * BankBytes && changed[static_cast<std::size_t>(offset / 16)];
        }
      }
      if (known->second) found.push_back(pattern);
    }
  return found;
}
