// The ROM as a document: opening it with a patch, saving it, exporting the edits
// as a patch, and asking before unsaved edits would be lost.

#include <QFileDialog>
#include <QKeySequence>
#include <QMessageBox>
#include <QUndoStack>
#include <cctype>
#include <filesystem>

#include "sprite/TarvelinFiles.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "host/Application.h"

namespace fs = std::filesystem;

void TForm1::CreateRomItems() {
  RomUndoStack = new QUndoStack(this);
  OpenPatched1 = new QAction("パッチを当てて開く(&P)...", this);
  const auto items = File1->actions();
  File1->insertAction(items.at(items.indexOf(Open1) + 1), OpenPatched1);
  SaveRom1 = new QAction("ROMを上書き保存(&R)", this);
  SaveRomAs1 = new QAction("ROMに名前を付けて保存(&M)...", this);
  // Once the ROM itself can be saved, Ctrl+S saves it; the pictures take Ctrl+E.
  SaveRom1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  SaveRomAs1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  ExportPatch1 = new QAction("パッチを書き出す(&E)...", this);
  File1->insertActions(Exit1, {SaveRom1, SaveRomAs1, ExportPatch1});
  for (QAction* item : {SaveRom1, SaveRomAs1, ExportPatch1}) item->setEnabled(false);
  connect(OpenPatched1, &QAction::triggered, this, [this] { Handle([this] { OpenPatched1Click(); }); });
  connect(SaveRom1, &QAction::triggered, this, [this] { Handle([this] { SaveRom1Click(); }); });
  connect(SaveRomAs1, &QAction::triggered, this, [this] { Handle([this] { SaveRomAs1Click(); }); });
  connect(ExportPatch1, &QAction::triggered, this, [this] { Handle([this] { ExportPatch1Click(); }); });

  // Another image makes the history meaningless.
  FRomListener = RomDocument.Subscribe([this](const TRomChange& Change) {
    if (!Change.Empty()) return;
    RomUndoStack->clear();
    for (QAction* item : {SaveRom1, SaveRomAs1, ExportPatch1}) item->setEnabled(RomDocument.IsLoaded());
  });

  const QString title = QString::fromStdString(ApplicationTitle);
  UnsavedEditsDialog = [this, title] {
    const auto answer = QMessageBox::question(this, title, "ROMの変更が保存されていません。保存しますか?",
                                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                              QMessageBox::Save);
    return answer == QMessageBox::Save      ? TUnsavedEdits::Save
           : answer == QMessageBox::Discard ? TUnsavedEdits::Discard
                                            : TUnsavedEdits::Cancel;
  };
  OverwriteRomDialog = [this, title](const std::string& Path) {
    const QString text = QString::fromStdString(Path) + " を上書きします。よろしいですか?";
    return QMessageBox::question(this, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
  };
  PatchOpenDialog = [this]() -> std::optional<std::string> {
    const QString filter = QString::fromUtf8(PatchOpenFilter);
    const auto bar = filter.indexOf('|');
    const QString name = QFileDialog::getOpenFileName(this, "当てるパッチを開く", QString(),
                                                      filter.left(bar) + " (" + filter.mid(bar + 1) + ")", nullptr,
                                                      QFileDialog::HideNameFilterDetails);
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
  };
}

void TForm1::ShowRomCaption() {
  std::string caption = Application.GetTitle() + " - " + RomDocument.GetFileName();
  if (!RomDocument.GetPatchName().empty())
    caption += " + " + fs::path(RomDocument.GetPatchName()).filename().string();
  setWindowTitle(QString::fromStdString(caption));
}

void TForm1::OpenPatched1Click() {
  if (!AskUnsavedEdits()) return;
  FRomDialogTitle = "パッチを当てるROMを開く";
  const auto fileName = ROMOpenDialog();
  FRomDialogTitle.clear();
  if (!fileName) return;
  const auto patchName = PatchOpenDialog();
  if (!patchName) return;
  // A patch that does not fit raises before anything is loaded.
  if (!RomDocument.LoadPatched(*fileName, *patchName)) {
    ClearPrgData(PrgData);
    ClearChrData(ChrData);
    return;
  }
  RomLoaded();
}

bool TForm1::SaveRom1Click() {
  if (!RomDocument.IsLoaded()) return false;
  // Saved over its file, a patched ROM would lose the unpatched one.
  if (!RomDocument.GetPatchName().empty()) return SaveRomAs1Click();
  const std::string path = RomDocument.GetFileName();
  if (!OverwriteRomDialog(path)) return false;
  WriteFileAtomically(path, RomDocument.Image());
  RomDocument.Saved(path);
  return true;
}

bool TForm1::SaveRomAs1Click() {
  if (!RomDocument.IsLoaded()) return false;
  const auto chosen = SaveDialog(ROMOpenDialogFilter, RomDocument.GetFileName());
  if (!chosen) return false;
  fs::path path(*chosen);
  if (!path.has_extension()) path += ".nes";
  WriteFileAtomically(path, RomDocument.Image());
  RomDocument.Saved(path.string());
  ShowRomCaption();
  return true;
}

void TForm1::ExportPatch1Click() {
  if (!RomDocument.IsLoaded()) return;
  fs::path proposed(RomDocument.GetFileName());
  proposed.replace_extension(".ips");
  const auto chosen = SaveDialog(PatchSaveFilter, proposed.string());
  if (!chosen) return;
  fs::path path(*chosen);
  if (!path.has_extension()) path += ".ips";
  std::string extension = path.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  WriteFileAtomically(path, RomDocument.CreatePatch(extension == ".bps" ? TPatchFormat::Bps : TPatchFormat::Ips));
}

bool TForm1::AskUnsavedEdits() {
  if (!RomDocument.IsModified()) return true;
  switch (UnsavedEditsDialog()) {
    case TUnsavedEdits::Save: return SaveRom1Click();
    case TUnsavedEdits::Discard: return true;
    case TUnsavedEdits::Cancel: break;
  }
  return false;
}
