#include "app/edit/TarvelinEditRelocate.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QUndoStack>

#include "app/edit/TarvelinEditPanel.h"
#include "app/edit/TarvelinRomCommands.h"
#include "app/window/TarvelinTabAnimation.h"
#include "app/window/tarvelinSprite.h"
#include "host/Application.h"
#include "sprite/tarvelinSpriteGlobals.h"

// The context of the question's texts.
class TSharedEditQuestion {
  Q_DECLARE_TR_FUNCTIONS(TSharedEditQuestion)
};

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

bool PushRelocation(const std::function<TRomPlan(const TFreeMap&)>& Plan, const QString& Text, int Id,
                    int Gesture) {
  try {
    TRomPlan plan = Plan(RomDocument.FreeSpace());
    if (plan.Change.Empty() && plan.FreeAfter == plan.FreeBefore) return false;
    Form1->RomUndoStack->push(new TRelocateCommand(RomDocument, std::move(plan), Text, Resettle, Id, Gesture));
    return true;
  } catch (const Exception& E) {
    Application.ShowException(E);
    return false;
  }
}

std::function<TSharedEdit(int, const QString&, const QString&)> AskSharedEdit = [](int Users, const QString& Noun,
                                                                                   const QString& Only) {
  QMessageBox box(QMessageBox::Question, QString::fromStdString(Application.GetTitle()),
                  TSharedEditQuestion::tr("このデータは %1 個の%2が使っています。").arg(Users).arg(Noun),
                  QMessageBox::Cancel, Form1);
  QPushButton* all =
      box.addButton(TSharedEditQuestion::tr("%1 %2に反映").arg(Users).arg(Noun), QMessageBox::AcceptRole);
  QPushButton* only = box.addButton(Only, QMessageBox::AcceptRole);
  // In the window's language, whatever Qt's own translations say.
  box.button(QMessageBox::Cancel)->setText(TSharedEditQuestion::tr("キャンセル"));
  box.exec();
  return box.clickedButton() == all    ? TSharedEdit::All
         : box.clickedButton() == only ? TSharedEdit::ThisOnly
                                       : TSharedEdit::Cancel;
};

TRomPlan ThenOnTheCopy(const std::function<TRomPlan(const TFreeMap&)>& Detach,
                       const std::function<TRomPlan(const TFreeMap&)>& Edit, const TFreeMap& Free) {
  TRomPlan first = Detach(Free);
  // The edit is planned over the copy, which is taken back before anything is pushed.
  RomDocument.Apply(first.Change);
  TRomPlan second;
  try {
    second = Edit(first.FreeAfter);
  } catch (...) {
    RomDocument.Revert(first.Change);
    throw;
  }
  RomDocument.Revert(first.Change);
  first.Change.Merge(second.Change);
  first.FreeAfter = second.FreeAfter;
  return first;
}

std::optional<TSharedEdit> PushSharedEdit(int Users, const QString& Noun, const QString& Only,
                                          const std::function<TRomPlan(const TFreeMap&)>& Detach,
                                          const std::function<TRomChange()>& Edit, int Id, const QString& Text,
                                          int Gesture, std::optional<TSharedEdit> Answer) {
  if (Users <= 1) {
    PushRomEdit(Edit, Id, Text, Gesture);
    return std::nullopt;
  }
  try {
    if (Edit().Idle()) return std::nullopt;
  } catch (const Exception& E) {
    Application.ShowException(E);
    return TSharedEdit::Cancel;
  }
  const TSharedEdit answer = Answer ? *Answer : AskSharedEdit(Users, Noun, Only);
  switch (answer) {
    case TSharedEdit::Cancel: break;
    case TSharedEdit::All: PushRomEdit(Edit, Id, Text, Gesture); break;
    case TSharedEdit::ThisOnly: {
      const auto plan = [&](const TFreeMap& Free) {
        return ThenOnTheCopy(Detach, [&](const TFreeMap& F) { return TRomPlan{Edit(), F, F}; }, Free);
      };
      if (!PushRelocation(plan, Text + " (" + Only + ")", Id, Gesture != 0 ? Gesture : TRomCommand::NewGesture()))
        return TSharedEdit::Cancel;
      break;
    }
  }
  return answer;
}
