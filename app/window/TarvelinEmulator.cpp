#include "app/window/TarvelinEmulator.h"

#include <QFileInfo>
#include <QInputDialog>
#include <QProcess>
#include <QSettings>
#include <QWidget>
#include <filesystem>

#include "app/window/TarvelinLanguage.h"
#include "host/Exception.h"
#include "host/Classes.h"
#include "sprite/TarvelinFiles.h"
#include "sprite/tarvelinSpriteGlobals.h"

TEmulator::TEmulator(QObject* Parent) : QObject(Parent) {
  CommandDialog = [Parent](const QString& Current) -> std::optional<QString> {
    bool ok = false;
    const QString text = QInputDialog::getText(qobject_cast<QWidget*>(Parent), tr("エミュレータの設定"),
                                               tr("エミュレータのコマンド (%f は ROM ファイル):"), QLineEdit::Normal,
                                               Current.isEmpty() ? "fceux %f" : Current, &ok);
    if (!ok) return std::nullopt;
    return text.trimmed();
  };
}

TEmulator::~TEmulator() = default;

QString TEmulator::Command() const { return ViewerSettings().value(SettingsKey).toString(); }

void TEmulator::SetCommand(const QString& Command) { ViewerSettings().setValue(SettingsKey, Command); }

bool TEmulator::Configure() {
  const auto command = CommandDialog(Command());
  if (!command || command->isEmpty()) return false;
  SetCommand(*command);
  return true;
}

std::string TEmulator::TemporaryCopy() {
  if (!FFolder || !FFolder->isValid()) {
    FFolder = std::make_unique<QTemporaryDir>();
    if (!FFolder->isValid()) throw EFCreateError(tr("一時フォルダを作れません: %1").arg(FFolder->errorString()).toStdString());
  }
  // A new name each run: the emulator may still hold the last one.
  const std::string stem = std::filesystem::path(RomDocument.GetFileName()).stem().string();
  const std::string path =
      FFolder->filePath(QString::fromStdString(stem + "-" + std::to_string(++FCopies) + ".nes")).toStdString();
  WriteFileAtomically(path, RomDocument.Image());
  return path;
}

bool TEmulator::Run() {
  if (!RomDocument.IsLoaded()) return false;
  if (Command().isEmpty() && !Configure()) return false;
  QStringList words = QProcess::splitCommand(Command());
  if (words.isEmpty()) throw Exception(tr("エミュレータのコマンドが空です").toStdString());
  // Only a file as it is on disk can be handed over as it is.
  const bool asSaved = !RomDocument.IsModified() && RomDocument.GetPatchName().empty();
  FLastFile = asSaved ? RomDocument.GetFileName() : TemporaryCopy();
  const QString file = QString::fromStdString(FLastFile);
  bool named = false;
  for (QString& word : words)
    if (word.contains("%f")) {
      word.replace("%f", file);
      named = true;
    }
  if (!named) words << file;
  const QString program = words.takeFirst();
  if (!QProcess::startDetached(program, words))
    throw Exception(tr("エミュレータを起動できません: %1").arg(Command()).toStdString());
  return true;
}

void TEmulator::RemoveTemporaries() {
  FFolder.reset();
  FCopies = 0;
}
