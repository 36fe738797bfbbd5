// ファイル(F) > 最近使ったファイル(R): the last ROMs opened, each with the patch it
// was opened with; 開く on Ctrl+O; ROMs (and a patch) dropped on the window.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>
#include <utility>

#include "app/window/tarvelinSprite.h"
#include "rom/TarvelinRomDocument.h"
#include "sprite/tarvelinSpriteGlobals.h"

namespace {

constexpr int RecentCount = 8;

// Read afresh each time, so the place follows XDG_CONFIG_HOME.
QString RecentFilesPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/tarvelin-sprite-viewer/recent.ini";
}

using TRecent = std::pair<QString, QString>;  // the ROM, the patch (empty: none)

std::vector<TRecent> ReadRecent() {
  QSettings settings(RecentFilesPath(), QSettings::IniFormat);
  std::vector<TRecent> recent;
  const int count = settings.beginReadArray("recent");
  for (int i = 0; i < std::min(count, RecentCount); ++i) {
    settings.setArrayIndex(i);
    const QString rom = settings.value("rom").toString();
    if (!rom.isEmpty()) recent.emplace_back(rom, settings.value("patch").toString());
  }
  settings.endArray();
  return recent;
}

void WriteRecent(const std::vector<TRecent>& Recent) {
  QSettings settings(RecentFilesPath(), QSettings::IniFormat);
  settings.remove("recent");
  settings.beginWriteArray("recent", static_cast<int>(Recent.size()));
  for (std::size_t i = 0; i < Recent.size(); ++i) {
    settings.setArrayIndex(static_cast<int>(i));
    settings.setValue("rom", Recent[i].first);
    if (!Recent[i].second.isEmpty()) settings.setValue("patch", Recent[i].second);
  }
  settings.endArray();
}

bool IsPatch(const QString& Path) {
  const QString suffix = QFileInfo(Path).suffix().toLower();
  return suffix == "ips" || suffix == "bps";
}

// What a drop names: one ROM, or one ROM and one patch; anything else is no drop of ours.
std::optional<TRecent> DroppedFiles(const QMimeData* Data) {
  if (!Data || !Data->hasUrls()) return std::nullopt;
  QString rom, patch;
  const auto urls = Data->urls();
  if (urls.size() > 2) return std::nullopt;
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) return std::nullopt;
    QString& slot = IsPatch(url.toLocalFile()) ? patch : rom;
    if (!slot.isEmpty()) return std::nullopt;
    slot = url.toLocalFile();
  }
  if (rom.isEmpty() || QFileInfo(rom).suffix().toLower() != "nes") return std::nullopt;
  return TRecent{rom, patch};
}

// Drops on the window open what they name, as the menu's commands would.
class TDropOpener : public QObject {
public:
  explicit TDropOpener(TForm1& Form) : QObject(&Form), FForm(Form) {
    Form.setAcceptDrops(true);
    Form.installEventFilter(this);
  }

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Watched != &FForm) return false;
    if (Event->type() == QEvent::DragEnter) {
      auto* enter = static_cast<QDragEnterEvent*>(Event);
      if (DroppedFiles(enter->mimeData())) enter->acceptProposedAction();
      return true;
    }
    if (Event->type() == QEvent::Drop) {
      auto* drop = static_cast<QDropEvent*>(Event);
      if (const auto files = DroppedFiles(drop->mimeData())) {
        drop->acceptProposedAction();
        FForm.OpenFiles(files->first.toStdString(), files->second.toStdString());
      }
      return true;
    }
    return false;
  }

private:
  TForm1& FForm;
};

}  // namespace

void TForm1::CreateRecentItems() {
  Open1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  Recent1 = new QMenu(File1);
  const auto items = File1->actions();
  File1->insertMenu(items.at(items.indexOf(OpenPatched1) + 1), Recent1);
  connect(Recent1, &QMenu::aboutToShow, this, [this] { ShowRecentItems(); });
  ShowRecentItems();
  new TDropOpener(*this);
}

void TForm1::ShowRecentItems() {
  Recent1->clear();
  const auto recent = ReadRecent();
  for (std::size_t i = 0; i < recent.size(); ++i) {
    const auto& [rom, patch] = recent[i];
    QString text = QString("&%1 %2").arg(i + 1).arg(rom);
    if (!patch.isEmpty()) text += " + " + QFileInfo(patch).fileName();
    QAction* item = Recent1->addAction(text);
    connect(item, &QAction::triggered, this,
            [this, rom = rom, patch = patch] { OpenFiles(rom.toStdString(), patch.toStdString()); });
  }
  Recent1->setEnabled(!recent.empty());
}

void TForm1::RememberRecentRom() {
  const QString rom = QString::fromStdString(RomDocument.GetFileName());
  const QString patch = QString::fromStdString(RomDocument.GetPatchName());
  if (rom.isEmpty()) return;
  auto recent = ReadRecent();
  std::erase(recent, TRecent{rom, patch});
  recent.insert(recent.begin(), {rom, patch});
  if (recent.size() > RecentCount) recent.resize(RecentCount);
  WriteRecent(recent);
}

void TForm1::OpenFiles(const std::string& Rom, const std::string& Patch) {
  // The menu items' own routes, their dialogs answered with the files.
  auto rom = std::exchange(ROMOpenDialog, [Rom]() -> std::optional<std::string> { return Rom; });
  if (Patch.empty()) {
    Open1->trigger();
  } else {
    auto patch = std::exchange(PatchOpenDialog, [Patch]() -> std::optional<std::string> { return Patch; });
    OpenPatched1->trigger();
    PatchOpenDialog = std::move(patch);
  }
  ROMOpenDialog = std::move(rom);
}
