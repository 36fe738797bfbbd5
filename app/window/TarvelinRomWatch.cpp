#include "app/window/TarvelinRomWatch.h"

#include <sys/stat.h>

#include <QFileInfo>

namespace {

// A tool writes in steps; the file is looked at once it has been quiet this long.
constexpr int SettleMs = 150;

}  // namespace

TRomWatch::TRomWatch(QObject* Parent) : QObject(Parent) {
  FSettle.setSingleShot(true);
  FSettle.setInterval(SettleMs);
  connect(&FSettle, &QTimer::timeout, this, [this] { Settled(); });
  connect(&FWatcher, &QFileSystemWatcher::fileChanged, this, [this] { FSettle.start(); });
  // The folder tells of a file put back under the name after a delete.
  connect(&FWatcher, &QFileSystemWatcher::directoryChanged, this, [this] { FSettle.start(); });
}

TRomWatch::TStamp TRomWatch::StampOf(const std::string& Path) {
  struct stat info {};
  if (stat(Path.c_str(), &info) != 0) return {};
  return {true,
          static_cast<long long>(info.st_size),
          static_cast<long long>(info.st_mtim.tv_sec),
          static_cast<long long>(info.st_mtim.tv_nsec),
          static_cast<unsigned long long>(info.st_ino),
          static_cast<unsigned long long>(info.st_dev)};
}

void TRomWatch::Watch(const std::vector<std::string>& Paths) {
  Stop();
  FPaths = Paths;
  Accept();
  Rearm();
}

void TRomWatch::Stop() {
  FSettle.stop();
  if (!FWatcher.files().isEmpty()) FWatcher.removePaths(FWatcher.files());
  if (!FWatcher.directories().isEmpty()) FWatcher.removePaths(FWatcher.directories());
  FPaths.clear();
  FStamps.clear();
}

void TRomWatch::Accept() {
  FStamps.clear();
  for (const auto& path : FPaths) FStamps.push_back(StampOf(path));
}

void TRomWatch::Rearm() {
  for (const auto& path : FPaths) {
    const QString name = QString::fromStdString(path);
    if (!FWatcher.files().contains(name) && QFileInfo::exists(name)) FWatcher.addPath(name);
    const QString folder = QFileInfo(name).absolutePath();
    if (!FWatcher.directories().contains(folder)) FWatcher.addPath(folder);
  }
}

void TRomWatch::Settled() {
  Rearm();
  for (std::size_t i = 0; i < FPaths.size(); ++i) {
    const TStamp now = StampOf(FPaths[i]);
    // Gone for now: a replacement is on its way, or the user will save it back.
    if (!now.Exists) continue;
    if (now != FStamps[i]) {
      if (OnChanged) OnChanged();
      return;
    }
  }
}
