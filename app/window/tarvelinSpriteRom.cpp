// The ROM as a document: opening it with a patch, saving it, exporting the edits
// as a patch, and asking before unsaved edits would be lost.

#include <QFileDialog>
#include <QKeySequence>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QUndoStack>
#include <cstdio>
#include <filesystem>

#include "app/window/TarvelinSaveNames.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "host/Application.h"

namespace fs = std::filesystem;

void TForm1::CreateRomItems() {
  RomUndoStack = new QUndoStack(this);
  OpenPatched1 = new QAction(this);
  const auto items = File1->actions();
  File1->insertAction(items.at(items.indexOf(Open1) + 1), OpenPatched1);
  SaveRom1 = new QAction(this);
  SaveRomAs1 = new QAction(this);
  // Once the ROM itself can be saved, Ctrl+S saves it; the pictures take Ctrl+E.
  SaveRom1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  SaveRomAs1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  ExportPatch1 = new QAction(this);
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
    FOverwriteConfirmed.clear();
    for (QAction* item : {SaveRom1, SaveRomAs1, ExportPatch1}) item->setEnabled(RomDocument.IsLoaded());
  });

  const QString title = QString::fromStdString(ApplicationTitle);
  UnsavedEditsDialog = [this, title] {
    const auto answer = QMessageBox::question(this, title, tr("ROMの変更が保存されていません。保存しますか?"),
                                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                              QMessageBox::Save);
    return answer == QMessageBox::Save      ? TUnsavedEdits::Save
           : answer == QMessageBox::Discard ? TUnsavedEdits::Discard
                                            : TUnsavedEdits::Cancel;
  };
  OverwriteRomDialog = [this, title](const std::string& Path) {
    const QString text = tr("%1 を上書きします。よろしいですか?").arg(QString::fromStdString(Path));
    return QMessageBox::question(this, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
  };
  ChangedOnDiskDialog = [this, title](const std::string& Path) {
    QMessageBox box(QMessageBox::Warning, title,
                    tr("%1 は読み込んだ後(または保存した後)にほかのプログラムで変更されています。").arg(QString::fromStdString(Path)),
                    QMessageBox::NoButton, this);
    QPushButton* overwrite = box.addButton(tr("上書き保存"), QMessageBox::DestructiveRole);
    QPushButton* saveAs = box.addButton(tr("名前を付けて保存..."), QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(saveAs);
    box.exec();
    return box.clickedButton() == overwrite ? TChangedOnDisk::Overwrite
           : box.clickedButton() == saveAs  ? TChangedOnDisk::SaveAs
                                            : TChangedOnDisk::Cancel;
  };
  EmptyPatchDialog = [this, title](const std::string& Base) {
    const QString text = tr("開いたときの %1 から変わったバイトがありません。何も変えないパッチを書き出しますか?")
                             .arg(QString::fromStdString(Base));
    return QMessageBox::question(this, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
  };
  PatchOpenDialog = [this]() -> std::optional<std::string> {
    const QString filter = tr(PatchOpenFilter);
    const auto bar = filter.indexOf('|');
    const QString name = QFileDialog::getOpenFileName(this, tr("当てるパッチを開く"), QString(),
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
  FRomDialogTitle = tr("パッチを当てるROMを開く");
  const auto fileName = ROMOpenDialog();
  FRomDialogTitle.clear();
  if (!fileName) return;
  const auto patchName = PatchOpenDialog();
  if (!patchName) return;
  // A patch that does not fit raises before anything is loaded; which patch it
  // was matters when several lie beside one ROM.
  bool loaded = false;
  try {
    loaded = RomDocument.LoadPatched(*fileName, *patchName);
  } catch (const EPatchError& E) {
    throw EPatchError(
        tr("パッチ %1: %2").arg(QString::fromStdString(*patchName), QString::fromStdString(E.Message())).toStdString());
  }
  if (!loaded) {
    ClearPrgData(PrgData);
    ClearChrData(ChrData);
    return;
  }
  RomLoaded();
}

namespace {

std::string Crc32Text(std::span<const std::uint8_t> Bytes) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(Crc32(Bytes)));
  return text;
}

// What the window opened from: the ROM, its patch, and the file the image now belongs to.
std::vector<std::string> OpenedFiles() {
  return {RomDocument.GetBaseName(), RomDocument.GetPatchName(), RomDocument.GetFileName()};
}

// The ROM's folder and name, without its extension; after a patch, the patch's name joined to it.
fs::path ProposedStem() {
  fs::path stem(RomDocument.GetFileName());
  stem.replace_extension();
  if (!RomDocument.GetPatchName().empty()) stem += std::string(1, '-').append(fs::path(RomDocument.GetPatchName()).stem().string());
  return stem;
}

}  // namespace

bool TForm1::SaveRom1Click() {
  if (!RomDocument.IsLoaded()) return false;
  // Saved over its file, a patched ROM would lose the unpatched one.
  if (!RomDocument.GetPatchName().empty()) return SaveRomAs1Click();
  const std::string path = RomDocument.GetFileName();
  if (RomDocument.ChangedOnDisk()) {
    switch (ChangedOnDiskDialog(path)) {
      case TChangedOnDisk::Overwrite: break;
      case TChangedOnDisk::SaveAs: return SaveRomAs1Click();
      case TChangedOnDisk::Cancel: return false;
    }
  } else if (path != FOverwriteConfirmed && !OverwriteRomDialog(path)) {
    return false;
  }
  FOverwriteConfirmed = path;
  return WriteRom(path);
}

bool TForm1::SaveRomAs1Click() {
  if (!RomDocument.IsLoaded()) return false;
  const fs::path proposed = AwayFromOpened(fs::path(ProposedStem()) += ".nes",
                                           {RomDocument.GetBaseName(), RomDocument.GetPatchName()}, "edited");
  const auto chosen = SaveDialog(ROMOpenDialogFilter, proposed.string());
  if (!chosen) return false;
  fs::path path(*chosen);
  if (!path.has_extension()) path += ".nes";
  if (!WriteRom(path.string())) return false;
  // The dialog asked before replacing it.
  FOverwriteConfirmed = path.string();
  ShowRomCaption();
  return true;
}

bool TForm1::WriteRom(const std::string& Path) {
  const auto image = RomDocument.Image();
  const auto changed = RomDocument.ChangedRanges();
  WriteSavedFile(Path, image);
  RomDocument.Saved(Path);
  statusBar()->showMessage(tr("ROMを保存しました: %1、前回の保存から変わったのは %2")
                               .arg(QString::fromStdString(SavedFileText(Path, image.size())),
                                    QString::fromStdString(ChangedBytesText(changed))));
  return true;
}

void TForm1::ExportPatch1Click() {
  if (!RomDocument.IsLoaded()) return;
  const fs::path proposed = AwayFromOpened(fs::path(ProposedStem()) += ".ips", OpenedFiles(), "edited");
  const auto chosen = SaveDialog(PatchSaveFilter, proposed.string());
  if (!chosen) return;
  fs::path path(*chosen);
  if (!path.has_extension()) path += ".ips";
  CheckSaveExtension(path, {".ips", ".bps"}, tr(".ips か .bps にしてください").toStdString());
  const fs::path base(RomDocument.GetBaseName());
  const auto ranges = RomDocument.RangesFromOriginal();
  if (ranges.empty() && !EmptyPatchDialog(base.filename().string())) return;
  const bool bps = LowerExtension(path) == ".bps";
  const auto patch = RomDocument.CreatePatch(bps ? TPatchFormat::Bps : TPatchFormat::Ips);
  WriteSavedFile(path, patch);
  statusBar()->showMessage(tr("%1パッチを書き出しました: %2、元のROM %3 (CRC32 %4) との違いは %5")
                               .arg(bps ? "BPS" : "IPS", QString::fromStdString(SavedFileText(path, patch.size())),
                                    QString::fromStdString(base.filename().string()),
                                    QString::fromStdString(Crc32Text(RomDocument.Original())),
                                    QString::fromStdString(ChangedBytesText(ranges))));
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
