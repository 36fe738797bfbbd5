#include "app/edit/TarvelinEditRelocate.h"

#include <QUndoStack>

#include "app/edit/TarvelinRomCommands.h"
#include "app/window/TarvelinTabAnimation.h"
#include "app/window/tarvelinSprite.h"
#include "host/Application.h"
#include "sprite/tarvelinSpriteGlobals.h"

namespace {

// The animation page shows the record it located; one that moved is located afresh.
void Resettle() {
  if (!RomDocument.IsLoaded()) return;
  const int bank = std::clamp(Form1->CmbABankSelect->currentIndex(), 0, 2);
  const int at =
      AnimationDataOffset(PrgData, AnimationBanks[static_cast<std::size_t>(bank)], AnimationPage.AnimationNumber);
  if (at == AnimationPage.AnimationAddress) return;
  LocateAnimation();
  ShowAnimationData();
  AnimationPage.DrawnFrame = -1;
}

}  // namespace

void PushRelocation(const std::function<TRomPlan(const TFreeMap&)>& Plan, const QString& Text) {
  try {
    TRomPlan plan = Plan(RomDocument.FreeSpace());
    if (plan.Change.Empty() && plan.FreeAfter == plan.FreeBefore) return;
    Form1->RomUndoStack->push(new TRelocateCommand(RomDocument, std::move(plan), Text, Resettle));
  } catch (const Exception& E) {
    Application.ShowException(E);
  }
}
