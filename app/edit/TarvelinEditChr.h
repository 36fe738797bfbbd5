#pragma once
// A pencil over the pattern table: paints CHR tile pixels with one of the four
// colour numbers, each stroke one undo step.

#include <QWidget>
#include <array>

class QToolButton;
class TForm1;

class TEditChrPencil : public QWidget {
  Q_OBJECT

public:
  TEditChrPencil(TForm1& Form, QWidget* Parent);

  QToolButton* PencilButton = nullptr;
  // Colour numbers 0-3, shown in the colours of the pattern's palette group.
  std::array<QToolButton*, 4> ColourButtons{};

  int Colour() const;
  // The palette group the colour buttons show.
  void SetGroup(int Group);
  // The pattern table takes strokes only while the panel shows on the sprite page.
  void SetActive(bool Active);

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void changeEvent(QEvent* Event) override;

private:
  void Retranslate();
  // Paints the pixel under client point At; false where the table shows no loaded bank.
  void Paint(QPoint At);

  TForm1& FForm;
  bool FActive = false;
  int FStroke = 0;  // the gesture of the stroke in progress, 0 when none
};
