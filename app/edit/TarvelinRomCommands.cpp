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
