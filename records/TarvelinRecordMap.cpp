#include "records/TarvelinRecordMap.h"

#include <algorithm>
#include <cstdio>

const std::map<int, TRecordInfo>& TRecordMap::Records(TRecordKind Kind) const {
  switch (Kind) {
    case TRecordKind::Frame:
      return Frames;
    case TRecordKind::Align:
      return Aligns;
    case TRecordKind::Animation:
      break;
  }
  return Animations;
}

namespace {

void Reach(std::map<int, TRecordInfo>& Records, int Offset, TRecordNumber Number, int Size) {
  auto [at, added] = Records.try_emplace(Offset);
  if (added) at->second.Bank = Number.Bank;
  at->second.Size = std::max(at->second.Size, Size);
  at->second.Numbers.push_back(Number);
}

}  // namespace

TRecordMap WalkRecords(const TPrgData& PrgData) {
  TRecordMap map;
  for (int bank = 0; bank < RecordBankCount; ++bank) {
    const int base = SpriteBanks[static_cast<std::size_t>(bank)];
    for (int n = 0; n < 512; ++n) {
      const int frame = FrameDataOffset(PrgData, base, n);
      map.PatternTable[static_cast<std::size_t>(bank)][static_cast<std::size_t>(n)] = frame;
      Reach(map.Frames, frame, {bank, n}, 3 + 2 * (PrgData[static_cast<std::size_t>(frame + 1)] + 1));
    }
    for (int a = 0; a < 256; ++a) {
      const int align = AlignDataOffset(PrgData, base, a);
      map.AlignTable[static_cast<std::size_t>(bank)][static_cast<std::size_t>(a)] = align;
      Reach(map.Aligns, align, {bank, a}, 0);
    }
    for (int m = 0; m < 256; ++m) {
      const int animation = AnimationDataOffset(PrgData, base, m);
      map.AnimationTable[static_cast<std::size_t>(bank)][static_cast<std::size_t>(m)] = animation;
      Reach(map.Animations, animation, {bank, m}, 3 + (PrgData[static_cast<std::size_t>(animation)] & 0x7F));
    }
  }
  // Each pattern reads 2 x count bytes of the AlignData its alignment number leads to.
  for (int bank = 0; bank < RecordBankCount; ++bank)
    for (const int frame : map.PatternTable[static_cast<std::size_t>(bank)]) {
      const int align = map.AlignTable[static_cast<std::size_t>(bank)][PrgData[static_cast<std::size_t>(frame + 2)]];
      int& size = map.Aligns.at(align).Size;
      size = std::max(size, 2 * (PrgData[static_cast<std::size_t>(frame + 1)] + 1));
    }
  return map;
}

TPrgData PrgOfImage(std::span<const std::uint8_t> Image) {
  TPrgData prg{};
  std::copy_n(Image.begin(), std::min(Image.size(), prg.size()), prg.begin());
  return prg;
}

std::string NumberName(TRecordKind Kind, TRecordNumber Number) {
  return std::string(BankNames[Number.Bank]) + ":" + RecordHex(Number.Number, Kind == TRecordKind::Frame ? 3 : 2);
}

std::string RecordHex(int Value, int Digits) {
  char text[16];
  std::snprintf(text, sizeof text, "$%0*X", Digits, static_cast<unsigned>(Value));
  return text;
}
