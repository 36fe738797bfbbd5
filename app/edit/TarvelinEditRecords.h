#pragma once
// ファイル(F) > 記録をテキストで書き出す(T)... writes the ROM's sprite records as
// JSON, ca65 or asm6 source; 記録をテキストから読み込む(I)... takes a records.json
// back as one undo step. Both usable while a ROM is loaded.

#include <QObject>
#include <functional>
#include <optional>
#include <string>

class QAction;
class TForm1;

class TRecordItems : public QObject {
  Q_OBJECT

 public:
  explicit TRecordItems(TForm1& Form);

  // In the window's form ("description|pattern"), translated where they are used.
  static constexpr const char* SaveFilter =
      QT_TR_NOOP("JSON(*.json)|*.json|ca65アセンブリ(*.s)|*.s|asm6アセンブリ(*.asm)|*.asm");
  static constexpr const char* OpenFilter = "JSON(*.json)|*.json";
  QAction* ExportRecords1 = nullptr;
  QAction* ImportRecords1 = nullptr;
  // Where the import gets its file name; a real file dialog unless replaced (tests put a name here).
  std::function<std::optional<std::string>()> OpenDialog;

  // The format follows the chosen name's extension: .s ca65, .asm asm6, anything else JSON.
  void ExportRecords1Click();
  // A file the image cannot take is reported with the JSON path of its fault and changes nothing.
  void ImportRecords1Click();

 protected:
  // The items' texts follow the language, which the window passes on to its children.
  bool event(QEvent* Event) override;

 private:
  void Retranslate();
  TForm1& FForm;
  int FListener = 0;
};

// Puts the two items in the window's ファイル(F) menu, before 終了(X).
void InstallRecordItems(TForm1& Form);
