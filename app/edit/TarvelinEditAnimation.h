#pragma once
// The editor panel on the animation page: the AnimationData's pattern-number
// high part, ticks per frame and its frames as pattern numbers with small
// pictures, the frame on screen highlighted.

#include <QWidget>
#include <functional>

#include "rom/TarvelinRelocate.h"

#include "rom/TarvelinRomUsage.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TForm1;

class TEditAnimationPanel : public QWidget {
  Q_OBJECT

public:
  TEditAnimationPanel(TForm1& Form, QWidget* Parent);

  QCheckBox* CheckHigh = nullptr;
  QLineEdit* EditTicks = nullptr;
  // One item per frame: its pattern number and picture.
  QListWidget* Frames = nullptr;
  // The selected frame's pattern-number low byte.
  QLineEdit* EditFrame = nullptr;
  // Under the list: a frame inserted before the selected one (or at the end) showing
  // the pattern in EditFrame, the selected one deleted, repeated, moved up or down,
  // and the animation given a record of its own.
  QPushButton* InsertFrame = nullptr;
  QPushButton* DeleteFrame = nullptr;
  QPushButton* DuplicateFrame = nullptr;
  QPushButton* FrameUp = nullptr;
  QPushButton* FrameDown = nullptr;
  QPushButton* DetachAnimation = nullptr;

  // Rewrites everything from the ROM and the animation page.
  void Refresh();
  // Follows the page: another animation is shown afresh, and the frame on screen is highlighted.
  void Follow();
  // The frame highlighted as the one on screen, or -1.
  int HighlightedFrame() const { return FHighlighted; }

protected:
  void changeEvent(QEvent* Event) override;

private:
  // Writes the static texts in the current language.
  void Retranslate();
  // The shown animation as the undo steps name it, "12-13:$05".
  static QString AnimationName(TAnimationRef Animation);
  void FrameEdited();
  void TicksEdited();
  void OpenPattern(int Frame);
  // One of the buttons under the list; Row is the frame to select afterwards.
  // Edit: it changes the record, so a shared one asks first. Text names the
  // step, the animation's name in place of %1.
  void Relocate(const std::function<TRomPlan(const TFreeMap&, TAnimationRef)>& Plan, const QString& Text, int Row,
                bool Edit = true);
  // Animation numbers of every bank that read the shown record.
  int Users() const;
  // Pushes Edit of the record, asking first when other animation numbers read it.
  void EditRecord(const std::function<TRomChange()>& Edit, const QString& Text);
  void EnableButtons();

  TForm1& FForm;
  QLabel* FHighLabel = nullptr;
  QLabel* FTicksLabel = nullptr;
  QLabel* FFrameLabel = nullptr;
  int FAddress = -1;  // the record shown, to notice another one
  TAnimationRef FAnimation{-1, -1};
  int FHighlighted = -1;
};
