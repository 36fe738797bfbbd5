#pragma once
// The editor panel: a dock beside the pages, hidden until it is opened, showing
// the record of the current page with controls that change the ROM through
// undo commands. The pages redraw from the ROM when the document reports a change.

#include <QDockWidget>
#include <QString>
#include <functional>

#include "rom/TarvelinRomChange.h"
#include "rom/TarvelinRomUsage.h"

class QStackedWidget;
class TEditSpritePanel;
class TEditAnimationPanel;
class TForm1;

class TEditPanel : public QDockWidget {
  Q_OBJECT

public:
  explicit TEditPanel(TForm1& Form);

  TEditSpritePanel* SpritePanel = nullptr;
  TEditAnimationPanel* AnimationPanel = nullptr;
  // Shows the part for the current page and rewrites it from the ROM.
  void Refresh();
  // Whether the panel is open (docked or floating).
  bool IsOpen() const { return !isHidden(); }

protected:
  void changeEvent(QEvent* Event) override;

private:
  // The title, the menu item's text and the free-space item's, in the current language.
  void Retranslate();
  // Follows the window: its page, its redraws, its timer and every change of the ROM.
  void Follow();
  // Docked, the panel opens beside the pages, which keep their size, and takes its width back when closed.
  void Resize(bool Visible);
  void LetGo();
  // Makes room in the docked panel for texts that grew with the language; Again: times to look once more.
  void Widen(int Again);

  static constexpr const char* Title = QT_TR_NOOP("編集パネル");

  TForm1& FForm;
  QStackedWidget* FParts = nullptr;
  int FListener = -1;
  int FGrowth = 0;  // the width the window took on for the docked panel
  bool FDocked = false;
  bool FGone = false;  // the window is being destroyed
};

// Puts the panel over Form: a dock on its right, hidden, and 編集(E) > 編集パネル(P) (Ctrl+D).
void InstallEditPanel(TForm1& Form);

// Plans an edit against the current bytes and pushes it as an undo step of the
// kind Id (TRomCommandId); commands of one Gesture merge into one step (0: a new
// gesture). An edit the image cannot take is reported and nothing changes.
void PushRomEdit(const std::function<TRomChange()>& Plan, int Id, const QString& Text, int Gesture = 0);

// The sprite page's pattern and the animation page's animation, as the boxes select them.
TPatternRef CurrentPattern();
TAnimationRef CurrentAnimation();
// A pattern as the panel names it: the bank box item and the number, "12-13:$005".
QString PatternName(TPatternRef Pattern);
// A number typed in hex (one or two digits, any case); -1 when it is not one.
int ParseHexByte(const QString& Text);
