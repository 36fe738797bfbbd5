// Saving what the pages show: the pictures as PNG or BMP, the animation as a GIF
// with its frame list, written by the exporter's own encoders.

#include <QFileDialog>
#include <QFileInfo>
#include <QStatusBar>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/window/TarvelinSaveNames.h"
#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinPictureFiles.h"
#include "sprite/TarvelinPictureLook.h"
#include "app/window/TarvelinTabAnimation.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"
#include "host/Translate.h"

namespace fs = std::filesystem;

namespace {

std::string Hex(int Value, int Digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", Digits, static_cast<unsigned>(Value));
  return text;
}

// The chosen name, with Extension added when it has none.
fs::path WithExtension(const std::string& Chosen, const char* Extension) {
  fs::path path(Chosen);
  if (!path.has_extension()) path += Extension;
  return path;
}

// The file's bytes, as SavedFileText names them.
std::string WritePicture(TZrDIB& Picture, int Scale, bool Bmp, const fs::path& Path, bool Transparent = false) {
  std::unique_ptr<TZrDIB> scaled = Scale == 1 ? nullptr : ScaledPicture(Picture, Scale);
  TZrDIB& picture = scaled ? *scaled : Picture;
  const auto bytes = Bmp ? EncodeBmp(picture) : EncodePng(PictureImage(picture, Transparent));
  WriteSavedFile(Path, bytes);
  return SavedFileText(Path, bytes.size());
}

// A second file of one save that would land on the first (a name, or a symlink
// to it) is refused before anything is written.
void CheckDistinct(const fs::path& First, const fs::path& Second) {
  if (SameFile(First, Second))
    throw EFCreateError(FormatMessage(HostText(SFCreateError), Second.string()) +
                        QCoreApplication::translate("TForm1", ": 同じ保存で書いた %1 を上書きしてしまいます")
                            .arg(QString::fromStdString(First.string()))
                            .toStdString());
}

// The status bar's report of a save.
QString SavedText(const std::vector<std::string>& Files) {
  QString files;
  for (std::size_t i = 0; i < Files.size(); ++i)
    files += (i ? QCoreApplication::translate("TForm1", "、") : QString()) + QString::fromStdString(Files[i]);
  return QCoreApplication::translate("TForm1", "保存しました: %1").arg(files);
}

}  // namespace

void TForm1::CreateSaveItems() {
  SaveImage1 = new QAction(this);
  SaveImage1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  SaveAnimation1 = new QAction(this);
  SaveAnimation1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
  File1->insertActions(Exit1, {SaveImage1, SaveAnimation1});
  for (QAction* item : {SaveImage1, SaveAnimation1}) item->setEnabled(false);
  connect(SaveImage1, &QAction::triggered, this, [this] { Handle([this] { SaveImage1Click(); }); });
  connect(SaveAnimation1, &QAction::triggered, this, [this] { Handle([this] { SaveAnimation1Click(); }); });
  SaveDialog = [this](const std::string& Filter, const std::string& Proposed) {
    return ExecuteSaveDialog(Filter, Proposed);
  };
}

std::optional<std::string> TForm1::ExecuteSaveDialog(const std::string& Filter, const std::string& Proposed) {
  // "description|pattern|..." as the toolkit writes it: "description (pattern);;...".
  const QStringList parts = tr(Filter.c_str()).split('|');
  QStringList entries, suffixes;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    entries.push_back(parts[i] + " (" + parts[i + 1] + ")");
    // "*.png" (the first pattern of the entry) gives "png".
    suffixes.push_back(parts[i + 1].section(' ', 0, 0).section('.', 1));
  }
  QFileDialog dialog(this, QString(), QString::fromStdString(Proposed), entries.join(";;"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // Each description already names its pattern.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  // A name typed without an extension gets the chosen entry's, before the dialog
  // asks whether to replace a file of that name.
  // (The dialog gives the entry as shown, its patterns hidden.)
  const auto follow = [&dialog, entries, suffixes] {
    const QString shown = dialog.selectedNameFilter();
    qsizetype at = 0;
    for (qsizetype i = 0; i < entries.size(); ++i)
      if (entries[i] == shown || entries[i].startsWith(shown + " (")) at = i;
    dialog.setDefaultSuffix(suffixes.value(at));
  };
  const QString proposedSuffix = QFileInfo(QString::fromStdString(Proposed)).suffix().toLower();
  if (const auto at = suffixes.indexOf(proposedSuffix); at > 0) dialog.selectNameFilter(entries[at]);
  follow();
  connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString name = dialog.selectedFiles().first();
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

std::string TForm1::ProposedPath(const std::string& Name) const {
  return FSaveFolder.empty() ? Name : (fs::path(FSaveFolder) / Name).string();
}

void TForm1::SaveImage1Click() {
  const bool spritePage = PageControl1->currentWidget() == TabSprite;
  TZrDIB* picture = spritePage ? SpritePage.SpriteDIB.get() : AnimationPage.AnimationDIB.get();
  if (!picture) return;  // nothing shown yet
  std::string name;
  if (spritePage) {
    const int number = 256 * CmbSSpriteNumHigh->currentIndex() + SpritePage.SpriteNumLow;
    name = std::string("sprite-") + BankNames[std::clamp(CmbSBankSelect->currentIndex(), 0, 2)] + "-" + Hex(number, 3);
  } else {
    name = std::string("animation-") + BankNames[std::clamp(CmbABankSelect->currentIndex(), 0, 2)] + "-" +
           Hex(AnimationPage.AnimationNumber, 2) + "-" + LblACurrentFrame->text().toStdString();
  }
  const auto chosen = SaveDialog(SaveImageFilter, ProposedPath(name + ".png"));
  if (!chosen) return;
  const fs::path path = WithExtension(*chosen, ".png");
  // A name of another format would hold bytes its extension does not promise.
  CheckSaveExtension(path, {".png", ".bmp"}, tr(".png か .bmp にしてください").toStdString());
  const bool bmp = LowerExtension(path) == ".bmp";
  fs::path table = path;
  table.replace_filename(path.stem().string() + "-patterntable" + path.extension().string());
  const bool withTable = spritePage && SpritePage.PatternTableDIB;
  if (withTable) CheckDistinct(path, table);
  std::vector<std::string> written{WritePicture(*picture, FZoom, bmp, path, ViewOptions.Transparent)};
  if (withTable) written.push_back(WritePicture(*SpritePage.PatternTableDIB, FZoom, bmp, table));
  statusBar()->showMessage(SavedText(written));
  // Only a folder that took the files is offered again: a failed one may be one
  // the dialog cannot even list.
  FSaveFolder = path.parent_path().string();
}

void TForm1::SaveAnimation1Click() {
  if (!SpriteDrawer) return;
  const int bank = std::clamp(CmbABankSelect->currentIndex(), 0, 2);
  const std::string name = std::string("animation-") + BankNames[bank] + "-" + Hex(AnimationPage.AnimationNumber, 2);
  const auto chosen = SaveDialog(SaveAnimationFilter, ProposedPath(name + ".gif"));
  if (!chosen) return;
  const fs::path path = WithExtension(*chosen, ".gif");
  // A .png (or .apng) name asks for an APNG, whose delays keep the NES timing;
  // the frame list's own .txt is no name for the animation.
  CheckSaveExtension(path, {".gif", ".png", ".apng"}, tr(".gif か .png (APNG) にしてください").toStdString());
  const std::string extension = LowerExtension(path);
  fs::path list = path;
  list.replace_extension(".txt");
  CheckDistinct(path, list);
  TAnimationLook look;
  look.Format = extension == ".png" || extension == ".apng" ? TAnimationFormat::Apng : TAnimationFormat::Gif;
  look.Background = ViewOptions.Background;
  look.Transparent = ViewOptions.Transparent;
  const TAnimationFiles files =
      EncodeAnimation(*SpriteDrawer, PrgData, AnimationBanks[static_cast<std::size_t>(bank)],
                      AnimationPage.AnimationAddress, FZoom, look);
  const auto& animation = look.Format == TAnimationFormat::Apng ? files.Apng : files.Gif;
  WriteSavedFile(path, animation);
  const std::span<const std::uint8_t> text(reinterpret_cast<const std::uint8_t*>(files.FrameList.data()),
                                           files.FrameList.size());
  WriteSavedFile(list, text);
  statusBar()->showMessage(SavedText({SavedFileText(path, animation.size()), SavedFileText(list, text.size())}));
  FSaveFolder = path.parent_path().string();
}
