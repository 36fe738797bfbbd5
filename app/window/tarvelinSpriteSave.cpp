// Saving what the pages show: the pictures as PNG or BMP, the animation as a GIF
// with its frame list, written by the exporter's own encoders.

#include <QFileDialog>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinFiles.h"
#include "sprite/TarvelinPictureFiles.h"
#include "sprite/TarvelinPictureLook.h"
#include "app/window/TarvelinTabAnimation.h"
#include "app/window/TarvelinTabSprite.h"
#include "app/window/tarvelinSprite.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"

namespace fs = std::filesystem;

namespace {

std::string Hex(int Value, int Digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", Digits, static_cast<unsigned>(Value));
  return text;
}

std::string Lower(std::string Text) {
  std::ranges::transform(Text, Text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return Text;
}

// The chosen name, with Extension added when it has none.
fs::path WithExtension(const std::string& Chosen, const char* Extension) {
  fs::path path(Chosen);
  if (!path.has_extension()) path += Extension;
  return path;
}

void WritePicture(TZrDIB& Picture, int Scale, bool Bmp, const fs::path& Path, bool Transparent = false) {
  std::unique_ptr<TZrDIB> scaled = Scale == 1 ? nullptr : ScaledPicture(Picture, Scale);
  TZrDIB& picture = scaled ? *scaled : Picture;
  WriteFileAtomically(Path, Bmp ? EncodeBmp(picture) : EncodePng(PictureImage(picture, Transparent)));
}

}  // namespace

void TForm1::CreateSaveItems() {
  SaveImage1 = new QAction("画像を保存(&S)...", this);
  SaveImage1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  SaveAnimation1 = new QAction("アニメーションを保存(&A)...", this);
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
  const QStringList parts = QString::fromStdString(Filter).split('|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) entries.push_back(parts[i] + " (" + parts[i + 1] + ")");
  // Each description already names its pattern.
  const QString name = QFileDialog::getSaveFileName(this, QString(), QString::fromStdString(Proposed), entries.join(";;"),
                                                    nullptr, QFileDialog::HideNameFilterDetails);
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
  const bool bmp = Lower(path.extension().string()) == ".bmp";
  WritePicture(*picture, FZoom, bmp, path, ViewOptions.Transparent);
  if (spritePage && SpritePage.PatternTableDIB) {
    fs::path table = path;
    table.replace_filename(path.stem().string() + "-patterntable" + path.extension().string());
    WritePicture(*SpritePage.PatternTableDIB, FZoom, bmp, table);
  }
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
  // A .png (or .apng) name asks for an APNG, whose delays keep the NES timing.
  const std::string extension = Lower(path.extension().string());
  TAnimationLook look;
  look.Format = extension == ".png" || extension == ".apng" ? TAnimationFormat::Apng : TAnimationFormat::Gif;
  look.Background = ViewOptions.Background;
  look.Transparent = ViewOptions.Transparent;
  const TAnimationFiles files =
      EncodeAnimation(*SpriteDrawer, PrgData, AnimationBanks[static_cast<std::size_t>(bank)],
                      AnimationPage.AnimationAddress, FZoom, look);
  WriteFileAtomically(path, look.Format == TAnimationFormat::Apng ? files.Apng : files.Gif);
  fs::path list = path;
  list.replace_extension(".txt");
  const std::span<const std::uint8_t> text(reinterpret_cast<const std::uint8_t*>(files.FrameList.data()),
                                           files.FrameList.size());
  WriteFileAtomically(list, text);
  FSaveFolder = path.parent_path().string();
}
