#include "app/edit/TarvelinEditPanel.h"

#include <QScrollArea>
#include <QStackedWidget>
#include <QUndoStack>
#include <algorithm>
#include <memory>

#include "app/edit/TarvelinEditAnimation.h"
#include "app/edit/TarvelinEditSprite.h"
#include "app/edit/TarvelinRomCommands.h"
#include "app/window/TarvelinTabAnimation.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "host/Application.h"

TEditPanel::TEditPanel(TForm1& Form) : QDockWidget("編集パネル", &Form), FForm(Form) {
  setObjectName("EditPanel");
  FParts = new QStackedWidget(this);
  SpritePanel = new TEditSpritePanel(Form, FParts);
  AnimationPanel = new TEditAnimationPanel(Form, FParts);
  FParts->addWidget(AnimationPanel);
  FParts->addWidget(SpritePanel);
  // Scrolled rather than taller than the pages.
  auto* area = new QScrollArea(this);
  area->setWidgetResizable(true);
  area->setWidget(FParts);
  setWidget(area);
}

void TEditPanel::Refresh() {
  const bool sprite = FForm.PageControl1->currentWidget() == FForm.TabSprite;
  FParts->setCurrentWidget(sprite ? static_cast<QWidget*>(SpritePanel) : AnimationPanel);
  SpritePanel->SetActive(IsOpen() && sprite);
  if (!IsOpen()) return;
  if (sprite)
    SpritePanel->Refresh();
  else
    AnimationPanel->Refresh();
}

void PushRomEdit(const std::function<TRomChange()>& Plan, int Id, const QString& Text, int Gesture) {
  try {
    TRomChange change = Plan();
    if (change.Idle()) return;
    if (Gesture == 0) Gesture = TRomCommand::NewGesture();
    std::unique_ptr<TRomCommand> command;
    switch (Id) {
      case RomCommandMoveSprite:
        command = std::make_unique<TMoveSpriteCommand>(RomDocument, std::move(change), Text, Gesture);
        break;
      case RomCommandPaintTile:
        command = std::make_unique<TPaintTileCommand>(RomDocument, std::move(change), Text, Gesture);
        break;
      default:
        command = std::make_unique<TEditFieldCommand>(RomDocument, std::move(change), Text, Gesture);
        break;
    }
    Form1->RomUndoStack->push(command.release());
  } catch (const Exception& E) {
    Application.ShowException(E);
  }
}

TPatternRef CurrentPattern() {
  return {std::clamp(Form1->CmbSBankSelect->currentIndex(), 0, 2),
          256 * std::clamp(Form1->CmbSSpriteNumHigh->currentIndex(), 0, 1) + SpritePage.SpriteNumLow};
}

TAnimationRef CurrentAnimation() {
  return {std::clamp(Form1->CmbABankSelect->currentIndex(), 0, 2), AnimationPage.AnimationNumber};
}

QString PatternName(TPatternRef Pattern) {
  return QString("%1:$%2")
      .arg(BankNames[static_cast<std::size_t>(Pattern.BankIndex)])
      .arg(Pattern.Number, 3, 16, QChar('0'))
      .toUpper();
}

int ParseHexByte(const QString& Text) {
  bool ok = false;
  const QString text = Text.trimmed();
  const int value = text.toInt(&ok, 16);
  return ok && text.size() <= 2 && !text.startsWith('-') && !text.startsWith('+') ? value : -1;
}
