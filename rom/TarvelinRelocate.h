#pragma once
// Edits that change a record's length, and copies that give one number a record
// of its own. A record grows in place when the bytes after it are declared free;
// otherwise it moves into declared free space inside the reach of every bank
// whose pointers name it, and those pointers follow. Bytes a record leaves go
// back to the free map only when no pointer of any bank still reaches them.
// Each answers the byte writes and the free map after them, applying nothing;
// an edit the image or the free space cannot take raises ERomEditError.

#include "rom/TarvelinFreeSpace.h"
#include "rom/TarvelinRomDocument.h"
#include "rom/TarvelinRomUsage.h"

// Not enough declared free space: Size bytes were wanted inside every range of
// Reaches (those of the banks whose pointers name the record).
class ENoFreeSpace : public ERomEditError {
public:
  ENoFreeSpace(std::string Message, int Size, std::vector<TFileRange> Reaches)
      : ERomEditError(std::move(Message)), FSize(Size), FReaches(std::move(Reaches)) {}
  int Size() const { return FSize; }
  const std::vector<TFileRange>& Reaches() const { return FReaches; }

private:
  int FSize;
  std::vector<TFileRange> FReaches;
};

struct TRomPlan {
  TRomChange Change;
  TFreeMap FreeBefore;
  TFreeMap FreeAfter;
};

// A sprite's FrameData bytes and its AlignData pair.
struct TSpriteEntry {
  int Tile = 0;
  int Attribute = 0;
  int Y = 0;
  int X = 0;
};

// The pattern's FrameData and AlignData gain (lose) the sprite at Index: the
// patterns sharing those records change with it. A record that another pattern
// reads with a different partner record is refused until detached.
TRomPlan InsertSprite(const TRomDocument& Document, const TFreeMap& Free, TPatternRef Pattern, int Index,
                      TSpriteEntry Sprite);
TRomPlan RemoveSprite(const TRomDocument& Document, const TFreeMap& Free, TPatternRef Pattern, int Index);

// AnimationData frames: a new frame showing PatternLow before Index (0 to count),
// a frame removed, a frame repeated right after itself, a frame moved to To.
TRomPlan InsertAnimationFrame(const TRomDocument& Document, const TFreeMap& Free, TAnimationRef Animation, int Index,
                              int PatternLow);
TRomPlan DeleteAnimationFrame(const TRomDocument& Document, const TFreeMap& Free, TAnimationRef Animation, int Index);
TRomPlan DuplicateAnimationFrame(const TRomDocument& Document, const TFreeMap& Free, TAnimationRef Animation,
                                 int Index);
TRomPlan MoveAnimationFrame(const TRomDocument& Document, const TFreeMap& Free, TAnimationRef Animation, int Index,
                            int To);

// A copy of the record in free space inside the bank's reach, and just this
// number pointed at it: the pattern number (FrameData), the pattern's alignment
// number in its bank (AlignData, as long as that number's longest pattern reads
// it), the animation number (AnimationData).
TRomPlan DetachFrameData(const TRomDocument& Document, const TFreeMap& Free, TPatternRef Pattern);
TRomPlan DetachAlignData(const TRomDocument& Document, const TFreeMap& Free, TPatternRef Pattern);
// この パターンだけ: the pattern's own copy of its FrameData and, when another
// pattern reads its AlignData too, of that under an alignment number no pattern
// of the bank names (written into the copy), so that nothing it shares changes
// with it any more.
TRomPlan DetachPattern(const TRomDocument& Document, const TFreeMap& Free, TPatternRef Pattern);
TRomPlan DetachAnimationData(const TRomDocument& Document, const TFreeMap& Free, TAnimationRef Animation);

// A record given whole, as a text of the records gives it: the table that names
// it, where it starts, how many bytes it has there, and its bytes from now on.
enum class TRecordTable { Frame, Align, Animation };
struct TRecordRewrite {
  TRecordTable Table = TRecordTable::Frame;
  int At = 0;
  int OldSize = 0;
  std::vector<std::uint8_t> Bytes;
};
// First (planned against the document's bytes) applied, then each record
// rewritten: in place when nothing else reads its bytes and any growth lands
// in free space, else moved with every pointer, of any bank, that names it. A
// record no pointer names once First is applied is left as it is.
TRomPlan RewriteRecords(const TRomDocument& Document, const TFreeMap& Free, const TRomChange& First,
                        const std::vector<TRecordRewrite>& Records);
