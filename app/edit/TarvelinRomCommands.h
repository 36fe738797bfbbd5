#pragma once
// The undo commands of ROM edits. Each holds the document's change record (the
// file offsets, the old bytes and the new bytes): redo writes the new, undo the
// old, both through the document, which tells the pages. Commands of one
// gesture (a drag of a sprite, a pencil stroke, typing in one field) carry the
// same gesture number and merge, so one undo takes back the whole gesture.

#include <QUndoCommand>
#include <functional>

#include "rom/TarvelinRelocate.h"
#include "rom/TarvelinRomDocument.h"

// One id per kind of command: only commands of one kind merge.
enum TRomCommandId { RomCommandEditField = 1, RomCommandMoveSprite, RomCommandPaintTile, RomCommandRelocate };

class TRomCommand : public QUndoCommand {
public:
  // Change must have been planned against the document's current bytes.
  TRomCommand(TRomDocument& Document, TRomChange Change, const QString& Text, int Gesture);
  void redo() override;
  void undo() override;
  bool mergeWith(const QUndoCommand* Other) override;
  const TRomChange& Change() const { return FChange; }
  int Gesture() const { return FGesture; }

  // A number no earlier gesture had, for the first command of a new gesture.
  static int NewGesture();

private:
  TRomDocument& FDocument;
  TRomChange FChange;
  int FGesture;
};

// A FrameData or AnimationData field: CHR bank, alignment number, a sprite's
// tile, flips or palette group, counts, ticks, a frame's pattern.
class TEditFieldCommand : public TRomCommand {
public:
  using TRomCommand::TRomCommand;
  int id() const override { return RomCommandEditField; }
};

// A sprite's (Y, X) in its AlignData.
class TMoveSpriteCommand : public TRomCommand {
public:
  using TRomCommand::TRomCommand;
  int id() const override { return RomCommandMoveSprite; }
};

// Pixels of CHR tiles.
class TPaintTileCommand : public TRomCommand {
public:
  using TRomCommand::TRomCommand;
  int id() const override { return RomCommandPaintTile; }
};

// A record that grows, shrinks, moves or is copied: its bytes and the free map
// together, one step that merges with nothing. Settled runs after each redo and
// undo, once the document has told its listeners. Given another kind (Id) and a
// gesture, it is a copy made for the first edit of that gesture, and the rest of
// the gesture merges into it.
class TRelocateCommand : public TRomCommand {
public:
  TRelocateCommand(TRomDocument& Document, TRomPlan Plan, const QString& Text, std::function<void()> Settled = {},
                   int Id = RomCommandRelocate, int Gesture = 0);
  int id() const override { return FId; }
  void redo() override;
  void undo() override;
  bool mergeWith(const QUndoCommand* Other) override;

private:
  TRomDocument& FDocument;
  TFreeMap FFreeBefore;
  TFreeMap FFreeAfter;
  std::function<void()> FSettled;
  int FId;
};

// The free map alone, as the 空き領域 dialog edits it.
class TFreeSpaceCommand : public QUndoCommand {
public:
  TFreeSpaceCommand(TRomDocument& Document, TFreeMap After, const QString& Text);
  void redo() override { FDocument.SetFreeSpace(FAfter); }
  void undo() override { FDocument.SetFreeSpace(FBefore); }

private:
  TRomDocument& FDocument;
  TFreeMap FBefore;
  TFreeMap FAfter;
};
