#include "rom/TarvelinRomUsage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

constexpr int PatternCount = 512;
constexpr int AnimationCount = 256;
constexpr int BankCount = static_cast<int>(SpriteBanks.size());

int Prg(const TPrgData& PrgData, int Offset) { return PrgData.at(static_cast<std::size_t>(Offset)); }

// Every pattern for which Uses(FrameData offset) holds.
template <typename TUses>
std::vector<TPatternRef> PatternsWhere(const TPrgData& PrgData, TUses Uses) {
  std::vector<TPatternRef> found;
  for (int bank = 0; bank < BankCount; ++bank)
    for (int n = 0; n < PatternCount; ++n)
      if (Uses(FrameDataOffset(PrgData, SpriteBanks[static_cast<std::size_t>(bank)], n), bank))
        found.push_back({bank, n});
  return found;
}

// Whether a sprite of the FrameData at Frame draws a tile whose ChrData offset
// passes Hit; tiles outside ChrData are not drawn and so not used.
template <typename THit>
bool DrawsTile(const TPrgData& PrgData, int Frame, THit Hit) {
  const int window = Prg(PrgData, Frame) - Prg(PrgData, Frame + 3) / 64;
  const int count = Prg(PrgData, Frame + 1) + 1;
  for (int i = 0; i < count; ++i) {
    const int offset = window * 1024 + Prg(PrgData, Frame + 3 + 2 * i) * 16;
    if (offset >= 0 && offset + 16 <= static_cast<int>(sizeof(TChrData)) && Hit(offset)) return true;
  }
  return false;
}

// Whether Change writes a file offset in [First, Last).
bool Writes(const TRomChange& Change, std::int64_t First, std::int64_t Last) {
  for (const TByteWrite& write : Change.Writes)
    if (write.Offset >= First && write.Offset < Last) return true;
  return false;
}

bool TouchesPattern(const TPrgData& PrgData, int Base, int Number, const TRomChange& Change) {
  const int prg = static_cast<int>(PrgData.size());
  // The pointers as FrameDataOffset and AlignDataOffset read them.
  const int n = Number & 0x1FF, low = (n < 0x100 ? 0x000 : 0x100) + (n & 0xFF);
  if (Writes(Change, Base + low, Base + low + 1) || Writes(Change, Base + low + 0x200, Base + low + 0x201)) return true;
  const int frame = FrameDataOffset(PrgData, Base, n);
  const int count = Prg(PrgData, frame + 1) + 1;
  if (Writes(Change, frame, std::min(frame + 3 + 2 * count, prg))) return true;
  const int a = Prg(PrgData, frame + 2);
  if (Writes(Change, Base + 0x400 + a, Base + 0x401 + a) || Writes(Change, Base + 0x500 + a, Base + 0x501 + a)) return true;
  const int align = AlignDataOffset(PrgData, Base, a);
  if (Writes(Change, align, std::min(align + 2 * count, prg))) return true;
  return DrawsTile(PrgData, frame, [&](int Offset) {
    return Writes(Change, ChrDataFileOffset + Offset, ChrDataFileOffset + Offset + 16);
  });
}

}  // namespace

bool ChangeTouchesPattern(const TPrgData& PrgData, TPatternRef Pattern, const TRomChange& Change) {
  return !Change.Empty() &&
         TouchesPattern(PrgData, SpriteBanks.at(static_cast<std::size_t>(Pattern.BankIndex)), Pattern.Number, Change);
}

bool ChangeTouchesAnimationStart(const TPrgData& PrgData, TAnimationRef Animation, const TRomChange& Change) {
  if (Change.Empty()) return false;
  const int base = AnimationBanks.at(static_cast<std::size_t>(Animation.BankIndex));
  const int m = Animation.Number & 0xFF;
  if (Writes(Change, base + 0x600 + m, base + 0x601 + m) || Writes(Change, base + 0x700 + m, base + 0x701 + m))
    return true;
  const int at = AnimationAddress(PrgData, Animation);
  if (Writes(Change, at, at + 1) || Writes(Change, at + 2, at + 3)) return true;
  const int low = Prg(PrgData, at + 2);
  // A $00 frame shows no pattern.
  return low != 0 && TouchesPattern(PrgData, base, (Prg(PrgData, at) >> 7 << 8) + low, Change);
}

int PatternFrameAddress(const TPrgData& PrgData, TPatternRef Pattern) {
  return FrameDataOffset(PrgData, SpriteBanks.at(static_cast<std::size_t>(Pattern.BankIndex)), Pattern.Number);
}

int PatternAlignAddress(const TPrgData& PrgData, TPatternRef Pattern) {
  const int frame = PatternFrameAddress(PrgData, Pattern);
  return AlignDataOffset(PrgData, SpriteBanks.at(static_cast<std::size_t>(Pattern.BankIndex)), Prg(PrgData, frame + 2));
}

int AnimationAddress(const TPrgData& PrgData, TAnimationRef Animation) {
  return AnimationDataOffset(PrgData, AnimationBanks.at(static_cast<std::size_t>(Animation.BankIndex)),
                             Animation.Number);
}

std::vector<int> TilesDrawnBy(const TPrgData& PrgData, int FrameAddress) {
  std::vector<int> tiles;
  DrawsTile(PrgData, FrameAddress, [&](int Offset) {
    tiles.push_back(Offset);
    return false;
  });
  return tiles;
}

std::vector<TPatternRef> PatternsUsingFrame(const TPrgData& PrgData, int FrameAddress) {
  return PatternsWhere(PrgData, [&](int Frame, int) { return Frame == FrameAddress; });
}

std::vector<TPatternRef> PatternsUsingAlign(const TPrgData& PrgData, int AlignAddress) {
  return PatternsWhere(PrgData, [&](int Frame, int Bank) {
    return AlignDataOffset(PrgData, SpriteBanks[static_cast<std::size_t>(Bank)], Prg(PrgData, Frame + 2)) ==
           AlignAddress;
  });
}

std::vector<TPatternRef> PatternsUsingTile(const TPrgData& PrgData, int ChrOffset) {
  return PatternsWhere(PrgData, [&](int Frame, int) {
    return DrawsTile(PrgData, Frame, [&](int Offset) { return Offset == ChrOffset; });
  });
}

std::vector<TPatternRef> PatternsUsingChrBank(const TPrgData& PrgData, int ChrBank) {
  return PatternsWhere(PrgData, [&](int Frame, int) {
    return DrawsTile(PrgData, Frame, [&](int Offset) { return Offset / 1024 == ChrBank; });
  });
}

std::vector<TAnimationFrameRef> AnimationsShowing(const TPrgData& PrgData, int FrameAddress) {
  std::vector<TAnimationFrameRef> found;
  for (int bank = 0; bank < BankCount; ++bank) {
    const int base = AnimationBanks[static_cast<std::size_t>(bank)];
    for (int m = 0; m < AnimationCount; ++m) {
      const int at = AnimationDataOffset(PrgData, base, m);
      const int high = Prg(PrgData, at) >> 7 << 8;
      const int last = Prg(PrgData, at) & 0x7F;
      for (int k = 0; k <= last; ++k) {
        const int low = Prg(PrgData, at + 2 + k);
        // A $00 frame shows no pattern.
        if (low != 0 && FrameDataOffset(PrgData, base, high + low) == FrameAddress) found.push_back({{bank, m}, k});
      }
    }
  }
  return found;
}
