#include "rom/TarvelinRomCompare.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace {

constexpr int BankCount = static_cast<int>(SpriteBanks.size());
constexpr int TileSize = 16;
constexpr int TilesPerBank = 0x400 / TileSize;

// Bytes [At, At + Length) of PrgData, those past its end reading as 0 (only a
// bank base no box gives reaches there).
bool SameBytes(const TPrgData& A, int AtA, const TPrgData& B, int AtB, int Length) {
  const auto byte = [](const TPrgData& P, int At) {
    return At >= 0 && At < static_cast<int>(P.size()) ? P[static_cast<std::size_t>(At)] : std::uint8_t{0};
  };
  for (int i = 0; i < Length; ++i)
    if (byte(A, AtA + i) != byte(B, AtB + i)) return false;
  return true;
}

int ByteAt(const TPrgData& P, int At) {
  return At >= 0 && At < static_cast<int>(P.size()) ? P[static_cast<std::size_t>(At)] : 0;
}

int FrameLength(const TPrgData& P, int Frame) { return 3 + 2 * (ByteAt(P, Frame + 1) + 1); }
int AnimationLength(const TPrgData& P, int At) { return 3 + (ByteAt(P, At) & 0x7F); }

void ComparePatterns(TRomImageRef Old, TRomImageRef New, int Bank, std::vector<TRomDifference>& Out) {
  const int base = SpriteBanks[static_cast<std::size_t>(Bank)];
  for (int n = 0; n < 512; ++n) {
    const int a = FrameDataOffset(Old.Prg, base, n), b = FrameDataOffset(New.Prg, base, n);
    const int length = FrameLength(Old.Prg, a);
    if (a != b || length != FrameLength(New.Prg, b) || !SameBytes(Old.Prg, a, New.Prg, b, length))
      Out.push_back({TDifferenceKind::Pattern, Bank, n, a, b});
  }
}

void CompareAlignments(TRomImageRef Old, TRomImageRef New, int Bank, std::vector<TRomDifference>& Out) {
  const int base = SpriteBanks[static_cast<std::size_t>(Bank)];
  std::array<int, 256> length{};
  for (const TPrgData* prg : {&Old.Prg, &New.Prg})
    for (int n = 0; n < 512; ++n) {
      const int frame = FrameDataOffset(*prg, base, n);
      int& longest = length[static_cast<std::size_t>(ByteAt(*prg, frame + 2))];
      longest = std::max(longest, 2 * (ByteAt(*prg, frame + 1) + 1));
    }
  for (int n = 0; n < 256; ++n) {
    const int a = AlignDataOffset(Old.Prg, base, n), b = AlignDataOffset(New.Prg, base, n);
    if (a != b || !SameBytes(Old.Prg, a, New.Prg, b, length[static_cast<std::size_t>(n)]))
      Out.push_back({TDifferenceKind::Alignment, Bank, n, a, b});
  }
}

void CompareAnimations(TRomImageRef Old, TRomImageRef New, int Bank, std::vector<TRomDifference>& Out) {
  const int base = AnimationBanks[static_cast<std::size_t>(Bank)];
  for (int n = 0; n < 256; ++n) {
    const int a = AnimationDataOffset(Old.Prg, base, n), b = AnimationDataOffset(New.Prg, base, n);
    const int length = AnimationLength(Old.Prg, a);
    if (a != b || length != AnimationLength(New.Prg, b) || !SameBytes(Old.Prg, a, New.Prg, b, length))
      Out.push_back({TDifferenceKind::Animation, Bank, n, a, b});
  }
}

void CompareTiles(TRomImageRef Old, TRomImageRef New, std::vector<TRomDifference>& Out) {
  for (std::size_t at = 0; at < Old.Chr.size(); at += TileSize)
    if (std::memcmp(Old.Chr.data() + at, New.Chr.data() + at, TileSize) != 0) {
      const int tile = static_cast<int>(at) / TileSize;
      const int address = static_cast<int>(at) + ChrDataFileOffset;
      Out.push_back({TDifferenceKind::Tile, tile / TilesPerBank, tile % TilesPerBank, address, address});
    }
}

std::string Hex(int Value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(Value));
  return text;
}

}  // namespace

std::vector<TRomDifference> CompareRomImages(TRomImageRef Old, TRomImageRef New) {
  std::vector<TRomDifference> found;
  for (int bank = 0; bank < BankCount; ++bank) ComparePatterns(Old, New, bank, found);
  for (int bank = 0; bank < BankCount; ++bank) CompareAlignments(Old, New, bank, found);
  for (int bank = 0; bank < BankCount; ++bank) CompareAnimations(Old, New, bank, found);
  CompareTiles(Old, New, found);
  return found;
}

const char* DifferenceKindName(TDifferenceKind Kind) {
  switch (Kind) {
    case TDifferenceKind::Pattern: return "pattern";
    case TDifferenceKind::Alignment: return "alignment";
    case TDifferenceKind::Animation: return "animation";
    case TDifferenceKind::Tile: return "tile";
  }
  return "";
}

std::string DifferenceCsvHeader() { return "kind,bank,number,old_address,new_address\n"; }

std::string DifferenceCsvRow(const TRomDifference& D) {
  const std::string bank = D.Kind == TDifferenceKind::Tile ? Hex(D.Bank) : BankNames[D.Bank];
  return std::string(DifferenceKindName(D.Kind)) + "," + bank + "," + Hex(D.Number) + "," + Hex(D.OldAddress) + "," +
         Hex(D.NewAddress) + "\n";
}

TChangedPictures PicturesChangedBy(const TPrgData& New, const std::vector<TRomDifference>& Differences) {
  std::vector<bool> pattern(BankCount * 512), align(BankCount * 256), animation(BankCount * 256),
      tile(sizeof(TChrData) / TileSize);
  for (const auto& d : Differences) {
    const auto at = static_cast<std::size_t>(d.Bank * (d.Kind == TDifferenceKind::Pattern ? 512 : 256) + d.Number);
    switch (d.Kind) {
      case TDifferenceKind::Pattern: pattern[at] = true; break;
      case TDifferenceKind::Alignment: align[at] = true; break;
      case TDifferenceKind::Animation: animation[at] = true; break;
      case TDifferenceKind::Tile: tile[static_cast<std::size_t>(d.Bank * TilesPerBank + d.Number)] = true; break;
    }
  }
  TChangedPictures changed;
  for (int bank = 0; bank < BankCount; ++bank) {
    const int base = SpriteBanks[static_cast<std::size_t>(bank)];
    for (int n = 0; n < 512; ++n) {
      const int frame = FrameDataOffset(New, base, n);
      auto&& mark = pattern[static_cast<std::size_t>(bank * 512 + n)];
      if (align[static_cast<std::size_t>(bank * 256 + ByteAt(New, frame + 2))]) mark = true;
      for (const int offset : TilesDrawnBy(New, frame))
        if (tile[static_cast<std::size_t>(offset / TileSize)]) mark = true;
      if (mark) changed.Patterns.push_back({bank, n});
    }
  }
  for (int bank = 0; bank < BankCount; ++bank) {
    const int base = AnimationBanks[static_cast<std::size_t>(bank)];
    for (int m = 0; m < 256; ++m) {
      const int at = AnimationDataOffset(New, base, m);
      bool shows = animation[static_cast<std::size_t>(bank * 256 + m)];
      const int high = ByteAt(New, at) >> 7 << 8;
      for (int k = 0; k <= (ByteAt(New, at) & 0x7F) && !shows; ++k) {
        const int low = ByteAt(New, at + 2 + k);
        // A $00 frame shows no pattern.
        shows = low != 0 && pattern[static_cast<std::size_t>(bank * 512 + high + low)];
      }
      if (shows) changed.Animations.push_back({bank, m});
    }
  }
  return changed;
}
