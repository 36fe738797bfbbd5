#pragma once
// Runs the image in an emulator: a command set once ("fceux %f"), remembered in
// the settings, started detached with %f a file holding the current image.

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class TEmulator : public QObject {
  Q_DECLARE_TR_FUNCTIONS(TEmulator)

public:
  explicit TEmulator(QObject* Parent);
  ~TEmulator() override;

  static constexpr const char* SettingsKey = "emulator/command";
  QString Command() const;
  void SetCommand(const QString& Command);
  // The settings dialog: the command to remember, or none when cancelled. A real dialog unless replaced.
  std::function<std::optional<QString>(const QString& Current)> CommandDialog;
  // Asks for the command; false when cancelled.
  bool Configure();
  // Starts the command (asking for it first if none is set) with %f the saved
  // file when nothing is unsaved, else a temporary copy of the image. Raises
  // with the reason when it cannot start; false when the user cancelled.
  bool Run();
  // The file %f stood for in the last run.
  const std::string& LastFile() const { return FLastFile; }
  // Removes the temporary copies.
  void RemoveTemporaries();

private:
  std::string TemporaryCopy();
  std::unique_ptr<QTemporaryDir> FFolder;
  int FCopies = 0;
  std::string FLastFile;
};
