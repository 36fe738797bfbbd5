#include "app/edit/TarvelinRomCommands.h"

TRomCommand::TRomCommand(TRomDocument& Document, TRomChange Change, const QString& Text, int Gesture)
    : QUndoCommand(Text), FDocument(Document), FChange(std::move(Change)), FGesture(Gesture) {}

void TRomCommand::redo() { FDocument.Apply(FChange); }

void TRomCommand::undo() { FDocument.Revert(FChange); }

bool TRomCommand::mergeWith(const QUndoCommand* Other) {
  const auto* other = dynamic_cast<const TRomCommand*>(Other);
  if (!other || other->id() != id() || other->FGesture != FGesture) return false;
  FChange.Merge(other->FChange);
  // A gesture that ends where it began leaves no step to undo.
  setObsolete(FChange.Idle());
  return true;
}

int TRomCommand::NewGesture() {
  static int last = 0;
  return ++last;
}

TRelocateCommand::TRelocateCommand(TRomDocument& Document, TRomPlan Plan, const QString& Text,
                                   std::function<void()> Settled, int Id, int Gesture)
    : TRomCommand(Document, std::move(Plan.Change), Text, Gesture != 0 ? Gesture : NewGesture()),
      FDocument(Document), FFreeBefore(std::move(Plan.FreeBefore)), FFreeAfter(std::move(Plan.FreeAfter)),
      FSettled(std::move(Settled)), FId(Id) {}

bool TRelocateCommand::mergeWith(const QUndoCommand* Other) {
  if (FId == RomCommandRelocate || !TRomCommand::mergeWith(Other)) return false;
  // The copy stays, even where the gesture ends as it began.
  setObsolete(Change().Idle() && FFreeAfter == FFreeBefore);
  return true;
}

// The map first, so that listeners hearing of the bytes see the map that goes with them.
void TRelocateCommand::redo() {
  FDocument.SetFreeSpace(FFreeAfter);
  TRomCommand::redo();
  if (FSettled) FSettled();
}

void TRelocateCommand::undo() {
  FDocument.SetFreeSpace(FFreeBefore);
  TRomCommand::undo();
  if (FSettled) FSettled();
}

TFreeSpaceCommand::TFreeSpaceCommand(TRomDocument& Document, TFreeMap After, const QString& Text)
    : QUndoCommand(Text), FDocument(Document), FBefore(Document.FreeSpace()), FAfter(std::move(After)) {}
