#pragma once
// 編集(E) > 取り込み(I): pictures saved by the viewer (or edited since in a paint
// program), pictures on the clipboard and raw CHR banks, back into the ROM as
// one undo step each after a preview; and raw CHR banks out as a file.

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QAction;
class QMenu;
class TForm1;

class TImportItems : public QObject {
  Q_OBJECT

public:
  explicit TImportItems(TForm1& Form);

  QMenu* Import1 = nullptr;
  QAction* ImportPatternTable1 = nullptr;
  QAction* ImportSprite1 = nullptr;
  QAction* PastePatternTable1 = nullptr;
  QAction* PasteSprite1 = nullptr;
  QAction* ImportChr1 = nullptr;
  QAction* ExportChr1 = nullptr;
  QAction* Nearest1 = nullptr;  // RGB pixels of no colour shown take the nearest

  // Where the file names and the CHR banks come from: real dialogs unless replaced (tests put answers here).
  // Filter is in the window's form ("description|pattern").
  std::function<std::optional<std::string>(const std::string& Filter)> OpenDialog;
  // Banks typed in hex ("0A" or "0A-0B"), Proposed offered first.
  std::function<std::optional<QString>(const QString& Prompt, const QString& Proposed)> BankDialog;

  // Translated where they are used.
  static constexpr const char* PictureFilter = QT_TR_NOOP("PNG/BMP画像(*.png *.bmp)|*.png *.bmp");
  static constexpr const char* ChrFilter = "CHR(*.chr)|*.chr";

  void ImportPatternTable1Click();
  void ImportSprite1Click();
  void PastePatternTable1Click();
  void PasteSprite1Click();
  void ImportChr1Click();
  void ExportChr1Click();

protected:
  // The items' texts follow the language, which the window passes on to its children.
  bool event(QEvent* Event) override;

private:
  void Retranslate();

  TForm1& FForm;
};

// Puts the items over Form, at the end of 編集(E).
void InstallImportItems(TForm1& Form);
