#pragma once
// The editor panel on the sprite pattern page: the FrameData's CHR bank and
// alignment number, a table of its sprites, what else shares the data, and the
// composed picture as a place to pick, drag and nudge sprites.

#include <QWidget>
#include <functional>
#include <optional>

#include "app/edit/TarvelinEditRelocate.h"
#include "rom/TarvelinRelocate.h"

#include "rom/TarvelinRomUsage.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class TEditChrPencil;
class TEditTile;
class TSquareOutline;
class TForm1;

class TEditSpritePanel : public QWidget {
  Q_OBJECT

public:
  TEditSpritePanel(TForm1& Form, QWidget* Parent);

  // Columns of the sprite table.
  enum TColumn { ColNumber, ColTile, ColVFlip, ColHFlip, ColGroup, ColY, ColX, ColumnCount };

  QLineEdit* EditChrBank = nullptr;
  QLineEdit* EditAlign = nullptr;
  QTableWidget* Sprites = nullptr;
  // Under the table: a sprite added after the selected one (a copy of it), the
  // selected one removed, and the pattern given records of its own.
  QPushButton* AddSprite = nullptr;
  QPushButton* RemoveSprite = nullptr;
  QPushButton* DetachPattern = nullptr;
  // Under the notice, shown while it names users of the AlignData that reach it
  // through another bank or alignment number: this bank's number gets a copy,
  // the FrameData stays shared.
  QPushButton* DetachAlign = nullptr;
  // Who else uses the alignment record, the selected sprite's tile and the CHR bank.
  QLabel* SharedNotice = nullptr;
  TEditChrPencil* Pencil = nullptr;
  // The tile workbench under the pencil.
  TEditTile* Tile = nullptr;

  // Rewrites everything from the ROM and the sprite page.
  void Refresh();
  // The picture takes clicks, drags and arrow keys only while the panel shows on the sprite page.
  void SetActive(bool Active);
  // The pencil and the workbench beside the records, or under them where the screen is narrow.
  void SetSideBySide(bool SideBySide);
  // The selected table row, or -1.
  int SelectedSprite() const;

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void changeEvent(QEvent* Event) override;

private:
  // Writes the static texts in the current language.
  void Retranslate();
  void ItemChanged(int Row, int Column);
  void HeaderEdited(QLineEdit* Edit);
  void SelectionChanged();
  void ShowNotice();
  // The workbench follows the selected sprite's tile (else keeps its own, or takes the first sprite's).
  void FollowTile(const struct TSpritePattern& Records, int Sprite);
  void AddSpriteClick();
  void RemoveSpriteClick();
  void DetachPatternClick();
  void DetachAlignClick();
  // Pushes Edit of the pattern's FrameData (Align: of its AlignData), asking first
  // when other patterns read that record; see PushSharedEdit.
  std::optional<TSharedEdit> EditRecord(bool Align, const std::function<TRomChange()>& Edit, int Id,
                                        const QString& Text, int Gesture = 0,
                                        std::optional<TSharedEdit> Answer = std::nullopt);
  // Pushes Edit, asking first when another pattern reads the records too.
  void ResizeRecords(const std::function<TRomPlan(const TFreeMap&)>& Edit, const QString& Text);
  // After an edit of the record Column writes: how many other patterns it changed, if any.
  void SayEditShared(int Column);
  // Sets sprite Sprite's (Y, X); Gesture joins it to a drag, Answer is the drag's answer to the question.
  std::optional<TSharedEdit> MoveSprite(int Sprite, int Y, int X, int Gesture,
                                        std::optional<TSharedEdit> Answer = std::nullopt);
  bool PictureEvent(QEvent* Event);
  // Selects sprite Sprite (-1: none) as a click on it would.
  void PickSprite(int Sprite);
  // The page's key legend says what the arrows do while the picture nudges a sprite.
  void ShowNudgeKeys();
  // Line 0 or 1 of the legend as it reads while nudging.
  void ShowNudgeKey(int Line);
  // The legend in the language just chosen, while nudging.
  void RenewNudgeKeys();

  TForm1& FForm;
  QLabel* FChrBankLabel = nullptr;
  QLabel* FAlignLabel = nullptr;
  TSquareOutline* FOutline = nullptr;
  class QBoxLayout* FColumns = nullptr;
  bool FActive = false;
  TPatternRef FPattern{-1, -1};
  // A drag in progress: the sprite, where the press was (client pixels), its (Y, X) then.
  int FDragSprite = -1;
  QPoint FDragFrom;
  int FDragY = 0;
  int FDragX = 0;
  int FDragGesture = 0;
  int FDragIndex = 0;  // the undo stack's index at the press
  // How the drag's first move that changed a shared AlignData was answered: asked once a drag.
  std::optional<TSharedEdit> FDragAnswer;
  // The legend's own texts and widths while it speaks of nudging; empty otherwise.
  QString FLegend[2];
  int FLegendWidth[2] = {0, 0};
  QString FNudge[2];  // what the legend says while nudging
};
