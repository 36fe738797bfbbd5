#include "rom/TarvelinRelocate.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "host/Translate.h"

namespace {


constexpr int BankCount = static_cast<int>(SpriteBanks.size());

void Require(bool Condition, const std::string& Text) {
  if (!Condition) throw ERomEditError(Text);
}

std::string Address(int Offset) {
  return FormatAddress(Offset);
}

// A table entry: the bank and the offsets of its low and high byte from the base.
struct TPointerSlot {
  int Bank;
  int Low;
  int High;
};

TPointerSlot PatternSlot(int Bank, int Number) {
  const int low = (Number < 256 ? 0x000 : 0x100) + (Number & 0xFF);
  return {Bank, low, low + 0x200};
}
TPointerSlot AlignSlot(int Bank, int Number) {
  return {Bank, 0x400 + Number, 0x500 + Number};
}
TPointerSlot AnimationSlot(int Bank, int Number) {
  return {Bank, 0x600 + Number, 0x700 + Number};
}

// The writes of one plan over the document's bytes, and the free map they leave.
class TDraft {
public:
  TDraft(const TRomDocument& Document, const TFreeMap& Free) : FDocument(Document), FFree(Free), FBefore(Free) {}

  int Byte(int Offset) const {
    const auto it = FBytes.find(Offset);
    return it != FBytes.end() ? it->second : FDocument.Byte(Offset);
  }
  std::vector<std::uint8_t> Bytes(int Offset, int Size) const {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < Size; ++i) bytes.push_back(static_cast<std::uint8_t>(Byte(Offset + i)));
    return bytes;
  }
  void Put(int Offset, int Value) {
    FDocument.CheckWritable(Offset);
    FBytes[Offset] = static_cast<std::uint8_t>(Value);
  }
  void Put(int Offset, const std::vector<std::uint8_t>& Bytes) {
    for (std::size_t i = 0; i < Bytes.size(); ++i) Put(Offset + static_cast<int>(i), Bytes[i]);
  }
  void Point(TPointerSlot Slot, int Target) {
    const int base = SpriteBanks[static_cast<std::size_t>(Slot.Bank)];
    const int pointer = Target - base + 0x8000;
    Put(base + Slot.Low, pointer & 0xFF);
    Put(base + Slot.High, pointer >> 8);
  }
  TFreeMap& Free() { return FFree; }
  // The bytes whose pointers Take keeps clear of, when they are not the document's.
  void SetBase(const TPrgData& Prg) { FBase = &Prg; }
  // Bytes a record left; they become free if nothing reaches them once the plan is done.
  void Leave(TFileRange Range) { FLeft.push_back(Range); }

  // Size bytes of free space inside the reach of every bank in Banks; taken from the map.
  int Take(int Size, const std::vector<int>& Banks) {
    TFileRange within{0, 1 << 30};
    std::string reaches;
    std::vector<TFileRange> ranges;
    for (const int bank : Banks) {
      const TFileRange reach = BankReach(bank);
      within = {std::max(within.First, reach.First), std::min(within.End, reach.End)};
      reaches = reaches.empty() ? FormatRange(reach)
                                : FillArgs(Translate("TarvelinRelocate", "%1 と %2"), {reaches, FormatRange(reach)});
      ranges.push_back(reach);
    }
    // Declared space that some pointer reads after all is not used.
    if (FReached.empty()) FReached = ReachedRanges(FBase ? *FBase : FDocument.Prg());
    std::vector<TFileRange> inside;
    for (const TFileRange& range : FFree.Ranges())
      if (range.First < within.End && within.First < range.End) inside.push_back(range);
    TFreeMap usable(std::move(inside));
    for (const TFileRange& range : FReached)
      if (range.First < within.End && within.First < range.End) usable.Remove(range);
    const int at = within.Size() > 0 ? usable.Find(Size, within) : -1;
    if (at < 0)
      throw ENoFreeSpace(FillArgs(Translate("TarvelinRelocate", "空き領域が足りません: %1 バイトが %2 の中に要ります"),
                                  {std::to_string(Size), reaches}),
                         Size, std::move(ranges));
    FFree.Remove({at, at + Size});
    return at;
  }

  TRomPlan Plan() {
    auto prg = std::make_unique<TPrgData>(FDocument.Prg());
    for (const auto& [offset, value] : FBytes)
      if (offset < static_cast<int>(prg->size())) (*prg)[static_cast<std::size_t>(offset)] = value;
    const auto reached = ReachedRanges(*prg);
    for (const TFileRange& left : FLeft)
      for (int i = left.First; i < left.End; ++i)
        if (!IsReached(reached, {i, i + 1})) FFree.Add({i, i + 1});
    TRomPlan plan{{}, FBefore, FFree};
    for (const auto& [offset, value] : FBytes)
      if (FDocument.Byte(offset) != value) plan.Change.Writes.push_back({offset, FDocument.Byte(offset), value});
    return plan;
  }

private:
  const TRomDocument& FDocument;
  TFreeMap FFree;
  TFreeMap FBefore;
  std::map<int, std::uint8_t> FBytes;
  std::vector<TFileRange> FLeft;
  std::vector<TFileRange> FReached;  // of the bytes before the plan
  const TPrgData* FBase = nullptr;
};

// The pointer slots of one table kind, in every bank, that name Target.
template <typename TResolve, typename TSlot>
std::vector<TPointerSlot> SlotsNaming(const TPrgData& PrgData, int Target, int Numbers, TResolve Resolve, TSlot Slot) {
  std::vector<TPointerSlot> slots;
  for (int bank = 0; bank < BankCount; ++bank)
    for (int n = 0; n < Numbers; ++n)
      if (Resolve(PrgData, SpriteBanks[static_cast<std::size_t>(bank)], n) == Target) slots.push_back(Slot(bank, n));
  return slots;
}

std::vector<int> BanksOf(const std::vector<TPointerSlot>& Slots) {
  std::vector<int> banks;
  for (const TPointerSlot& slot : Slots)
    if (std::ranges::find(banks, slot.Bank) == banks.end()) banks.push_back(slot.Bank);
  return banks;
}

// The record at At, now OldSize bytes, becomes Bytes: in place when no other
// record reads the bytes it writes and, if it grows, the bytes after it are free;
// else moved with every slot in Users, leaving the old bytes to whoever reads them.
bool FitsInPlace(TDraft& Draft, int At, int OldSize, int Size, const std::vector<TFileRange>& Others) {
  const bool room = Size <= OldSize || Draft.Free().Covers({At + OldSize, At + Size});
  return room && !IsReached(Others, {At, At + Size});
}

void Rewrite(TDraft& Draft, int At, int OldSize, const std::vector<std::uint8_t>& Bytes,
             const std::vector<TPointerSlot>& Users, const std::vector<TFileRange>& Others) {
  const int size = static_cast<int>(Bytes.size());
  if (FitsInPlace(Draft, At, OldSize, size, Others)) {
    Draft.Free().Remove({At + OldSize, At + size});
    Draft.Put(At, Bytes);
    Draft.Leave({At + size, At + OldSize});
    return;
  }
  const int to = Draft.Take(size, BanksOf(Users));
  Draft.Put(to, Bytes);
  for (const TPointerSlot& slot : Users) Draft.Point(slot, to);
  Draft.Leave({At, At + OldSize});
}

// A copy of the record at At in free space of Bank's reach, and Slot pointed at it.
void Copy(TDraft& Draft, int At, int Size, TPointerSlot Slot) {
  const auto bytes = Draft.Bytes(At, Size);
  const int to = Draft.Take(Size, {Slot.Bank});
  Draft.Put(to, bytes);
  Draft.Point(Slot, to);
  Draft.Leave({At, At + Size});
}

void RequireBank(int Bank) {
  Require(Bank >= 0 && Bank < BankCount, Translate("TarvelinRelocate", "バンクの番号が正しくありません"));
}

std::string PatternName(TPatternRef Pattern) {
  char number[8];
  std::snprintf(number, sizeof number, "$%03X", Pattern.Number & 0x1FF);
  return FillArgs(Translate("TarvelinRelocate", "%1 の %2"), {BankNames[Pattern.BankIndex], number});
}

// The pattern's two records with their sprite entries changed by Edit, which
// works on the sprite list (two bytes each) of both at once.
template <typename TEdit>
TRomPlan EditSprites(const TRomDocument& Document, const TFreeMap& Free, TPatternRef Pattern, TEdit Edit) {
  RequireBank(Pattern.BankIndex);
  const TPrgData& prg = Document.Prg();
  const int frame = PatternFrameAddress(prg, Pattern);
  const int align = PatternAlignAddress(prg, Pattern);
  // Every pattern that reads either record must read both, or the other's bytes would shift under it.
  for (int bank = 0; bank < BankCount; ++bank)
    for (int n = 0; n < 512; ++n) {
      const TPatternRef other{bank, n};
      const bool sharesFrame = PatternFrameAddress(prg, other) == frame;
      const bool sharesAlign = PatternAlignAddress(prg, other) == align;
      Require(sharesFrame == sharesAlign,
              FillArgs(sharesFrame
                           ? Translate("TarvelinRelocate", "パターン %1 が スプライト定義 %2 だけを共有しています。先に切り離してください")
                           : Translate("TarvelinRelocate", "パターン %1 が 配置データ %2 だけを共有しています。先に切り離してください"),
                       {PatternName(other), Address(sharesFrame ? frame : align)}));
    }
  const int count = Document.Byte(frame + 1) + 1;
  TDraft draft(Document, Free);
  auto sprites = draft.Bytes(frame + 3, 2 * count);
  auto pairs = draft.Bytes(align, 2 * count);
  Edit(sprites, pairs);
  const int newCount = static_cast<int>(sprites.size()) / 2;
  auto frameBytes = draft.Bytes(frame, 3);
  frameBytes[1] = static_cast<std::uint8_t>(newCount - 1);
  frameBytes.insert(frameBytes.end(), sprites.begin(), sprites.end());
  const auto others = ReachedRanges(prg, {frame, align, -1});
  Rewrite(draft, frame, 3 + 2 * count, frameBytes, SlotsNaming(prg, frame, 512, FrameDataOffset, PatternSlot), others);
  Rewrite(draft, align, 2 * count, pairs, SlotsNaming(prg, align, 256, AlignDataOffset, AlignSlot), others);
  return draft.Plan();
}

// The animation's frame list changed by Edit.
template <typename TEdit>
TRomPlan EditFrames(const TRomDocument& Document, const TFreeMap& Free, TAnimationRef Animation, TEdit Edit) {
  RequireBank(Animation.BankIndex);
  const int at = AnimationAddress(Document.Prg(), Animation);
  const int count = (Document.Byte(at) & 0x7F) + 1;
  TDraft draft(Document, Free);
  auto frames = draft.Bytes(at + 2, count);
  Edit(frames, count);
  const int newCount = static_cast<int>(frames.size());
  auto bytes = draft.Bytes(at, 2);
  bytes[0] = static_cast<std::uint8_t>((bytes[0] & 0x80) | (newCount - 1));
  bytes.insert(bytes.end(), frames.begin(), frames.end());
  Rewrite(draft, at, 2 + count, bytes, SlotsNaming(Document.Prg(), at, 256, AnimationDataOffset, AnimationSlot),
          ReachedRanges(Document.Prg(), {-1, -1, at}));
  return draft.Plan();
}

void RequireFrame(int Index, int Count) {
  Require(Index >= 0 && Index < Count, FillArgs(Translate("TarvelinRelocate", "フレーム %1 はありません (%2 枚)"),
                                                {std::to_string(Index), std::to_string(Count)}));
}

void RequireMoreFrames(int Count) {
  Require(Count < 128, Translate("TarvelinRelocate", "フレームは 128 枚までです"));
}

template <typename T>
auto At(std::vector<T>& Items, int Index) {
  return Items.begin() + static_cast<std::ptrdiff_t>(Index);
}

}  // namespace

TRomPlan InsertSprite(const TRomDocument& Document, const TFreeMap& Free, TPatternRef Pattern, int Index,
                      TSpriteEntry Sprite) {
  return EditSprites(
      Document, Free, Pattern, [&](std::vector<std::uint8_t>& Sprites, std::vector<std::uint8_t>& Pairs) {
        const int count = static_cast<int>(Sprites.size()) / 2;
        Require(count < 256, Translate("TarvelinRelocate", "スプライトは 256 個までです"));
        Require(Index >= 0 && Index <= count,
                FillArgs(Translate("TarvelinRelocate", "スプライト %1 の前には入れられません"), {std::to_string(Index)}));
        Sprites.insert(At(Sprites, 2 * Index),
                       {static_cast<std::uint8_t>(Sprite.Tile), static_cast<std::uint8_t>(Sprite.Attribute)});
        Pairs.insert(At(Pairs, 2 * Index), {static_cast<std::uint8_t>(Sprite.Y), static_cast<std::uint8_t>(Sprite.X)});
      });
}

TRomPlan RemoveSprite(const TRomDocument& Document, const TFreeMap& Free, TPatternRef Pattern, int Index) {
  return EditSprites(
      Document, Free, Pattern, [&](std::vector<std::uint8_t>& Sprites, std::vector<std::uint8_t>& Pairs) {
        const int count = static_cast<int>(Sprites.size()) / 2;
        Require(count > 1, Translate("TarvelinRelocate", "最後のスプライトは消せません"));
        Require(Index >= 0 && Index < count,
                FillArgs(Translate("TarvelinRelocate", "スプライト %1 はありません (%2 個)"),
                         {std::to_string(Index), std::to_string(count)}));
        Sprites.erase(At(Sprites, 2 * Index), At(Sprites, 2 * Index + 2));
        Pairs.erase(At(Pairs, 2 * Index), At(Pairs, 2 * Index + 2));
      });
}

TRomPlan InsertAnimationFrame(const TRomDocument& Document, const TFreeMap& Free, TAnimationRef Animation, int Index,
                              int PatternLow) {
  return EditFrames(Document, Free, Animation, [&](std::vector<std::uint8_t>& Frames, int Count) {
    RequireMoreFrames(Count);
    Require(Index >= 0 && Index <= Count,
            FillArgs(Translate("TarvelinRelocate", "フレーム %1 の前には入れられません"), {std::to_string(Index)}));
    Frames.insert(At(Frames, Index), static_cast<std::uint8_t>(PatternLow));
  });
}

TRomPlan DeleteAnimationFrame(const TRomDocument& Document, const TFreeMap& Free, TAnimationRef Animation, int Index) {
  return EditFrames(Document, Free, Animation, [&](std::vector<std::uint8_t>& Frames, int Count) {
    Require(Count > 1, Translate("TarvelinRelocate", "最後のフレームは消せません"));
    RequireFrame(Index, Count);
    Frames.erase(At(Frames, Index));
  });
}

TRomPlan DuplicateAnimationFrame(const TRomDocument& Document, const TFreeMap& Free, TAnimationRef Animation,
                                 int Index) {
  return EditFrames(Document, Free, Animation, [&](std::vector<std::uint8_t>& Frames, int Count) {
    RequireMoreFrames(Count);
    RequireFrame(Index, Count);
    const std::uint8_t frame = Frames[static_cast<std::size_t>(Index)];
    Frames.insert(At(Frames, Index + 1), frame);
  });
}

TRomPlan MoveAnimationFrame(const TRomDocument& Document, const TFreeMap& Free, TAnimationRef Animation, int Index,
                            int To) {
  return EditFrames(Document, Free, Animation, [&](std::vector<std::uint8_t>& Frames, int Count) {
    RequireFrame(Index, Count);
    RequireFrame(To, Count);
    const std::uint8_t frame = Frames[static_cast<std::size_t>(Index)];
    Frames.erase(At(Frames, Index));
    Frames.insert(At(Frames, To), frame);
  });
}

TRomPlan DetachFrameData(const TRomDocument& Document, const TFreeMap& Free, TPatternRef Pattern) {
  RequireBank(Pattern.BankIndex);
  const int frame = PatternFrameAddress(Document.Prg(), Pattern);
  TDraft draft(Document, Free);
  Copy(draft, frame, 3 + 2 * (Document.Byte(frame + 1) + 1), PatternSlot(Pattern.BankIndex, Pattern.Number & 0x1FF));
  return draft.Plan();
}

TRomPlan DetachAlignData(const TRomDocument& Document, const TFreeMap& Free, TPatternRef Pattern) {
  RequireBank(Pattern.BankIndex);
  const TPrgData& prg = Document.Prg();
  const int base = SpriteBanks[static_cast<std::size_t>(Pattern.BankIndex)];
  const int number = Document.Byte(PatternFrameAddress(prg, Pattern) + 2);
  // Every pattern of the bank that names the number reads the copy.
  int size = 2;
  for (int n = 0; n < 512; ++n) {
    const int frame = FrameDataOffset(prg, base, n);
    if (Document.Byte(frame + 2) == number) size = std::max(size, 2 * (Document.Byte(frame + 1) + 1));
  }
  TDraft draft(Document, Free);
  Copy(draft, AlignDataOffset(prg, base, number), size, AlignSlot(Pattern.BankIndex, number));
  return draft.Plan();
}

TRomPlan DetachAnimationData(const TRomDocument& Document, const TFreeMap& Free, TAnimationRef Animation) {
  RequireBank(Animation.BankIndex);
  const int at = AnimationAddress(Document.Prg(), Animation);
  TDraft draft(Document, Free);
  Copy(draft, at, 3 + (Document.Byte(at) & 0x7F), AnimationSlot(Animation.BankIndex, Animation.Number & 0xFF));
  return draft.Plan();
}

TRomPlan DetachPattern(const TRomDocument& Document, const TFreeMap& Free, TPatternRef Pattern) {
  RequireBank(Pattern.BankIndex);
  const TPrgData& prg = Document.Prg();
  const int base = SpriteBanks[static_cast<std::size_t>(Pattern.BankIndex)];
  const int frame = PatternFrameAddress(prg, Pattern);
  const int align = PatternAlignAddress(prg, Pattern);
  const int count = Document.Byte(frame + 1) + 1;
  auto users = PatternsUsingAlign(prg, align);
  std::erase(users, Pattern);
  TDraft draft(Document, Free);
  auto bytes = draft.Bytes(frame, 3 + 2 * count);
  int number = -1;
  if (!users.empty()) {
    std::array<bool, 256> named{};
    for (int n = 0; n < 512; ++n) named[Document.Byte(FrameDataOffset(prg, base, n) + 2)] = true;
    for (int a = 0; a < 256 && number < 0; ++a)
      if (!named[static_cast<std::size_t>(a)]) number = a;
    Require(number >= 0,
            FillArgs(Translate("TarvelinRelocate", "バンク %1 の配置データ番号はすべて使われています"),
                     {BankNames[Pattern.BankIndex]}));

    bytes[2] = static_cast<std::uint8_t>(number);
  }
  const int to = draft.Take(static_cast<int>(bytes.size()), {Pattern.BankIndex});
  draft.Put(to, bytes);
  draft.Point(PatternSlot(Pattern.BankIndex, Pattern.Number & 0x1FF), to);
  draft.Leave({frame, frame + static_cast<int>(bytes.size())});
  if (number >= 0) {
    const auto pairs = draft.Bytes(align, 2 * count);
    const int pairsTo = draft.Take(2 * count, {Pattern.BankIndex});
    draft.Put(pairsTo, pairs);
    draft.Point(AlignSlot(Pattern.BankIndex, number), pairsTo);
  }
  return draft.Plan();
}

TRomPlan RewriteRecords(const TRomDocument& Document, const TFreeMap& Free, const TRomChange& First,
                        const std::vector<TRecordRewrite>& Records) {
  auto prg = std::make_unique<TPrgData>(Document.Prg());
  TDraft draft(Document, Free);
  for (const TByteWrite& write : First.Writes) {
    draft.Put(write.Offset, write.New);
    if (static_cast<std::size_t>(write.Offset) < prg->size()) (*prg)[static_cast<std::size_t>(write.Offset)] = write.New;
  }
  draft.SetBase(*prg);
  struct TPending {
    const TRecordRewrite* Record;
    std::vector<TPointerSlot> Users;
    std::vector<TFileRange> Others;
    bool Done = false;
  };
  std::vector<TPending> pending;
  for (const TRecordRewrite& record : Records) {
    const int at = record.At;
    std::vector<TPointerSlot> users;
    TRecordStarts self;
    switch (record.Table) {
      case TRecordTable::Frame:
        users = SlotsNaming(*prg, at, 512, FrameDataOffset, PatternSlot);
        self.Frame = at;
        break;
      case TRecordTable::Align:
        users = SlotsNaming(*prg, at, 256, AlignDataOffset, AlignSlot);
        self.Align = at;
        break;
      case TRecordTable::Animation:
        users = SlotsNaming(*prg, at, 256, AnimationDataOffset, AnimationSlot);
        self.Animation = at;
        break;
    }
    if (!users.empty()) pending.push_back({&record, std::move(users), ReachedRanges(*prg, self)});
  }
  // Those that stay where they are first, so that no record moving takes the free bytes one of them grows into.
  for (const bool inPlace : {true, false})
    for (TPending& record : pending) {
      const TRecordRewrite& r = *record.Record;
      if (record.Done ||
          (inPlace && !FitsInPlace(draft, r.At, r.OldSize, static_cast<int>(r.Bytes.size()), record.Others)))
        continue;
      Rewrite(draft, r.At, r.OldSize, r.Bytes, record.Users, record.Others);
      record.Done = true;
    }
  return draft.Plan();
}
