#pragma once
// Notices when the opened ROM (or its patch) changes on disk: rewritten in
// place, or replaced by rename as editors and build tools do. The watcher loses
// a replaced file, so the paths are added again after every signal, and a file
// counts as changed only when its size, time or inode differs from what was
// loaded or saved.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

class TRomWatch : public QObject {
public:
  explicit TRomWatch(QObject* Parent);

  // Watches these files from now on, as they are now.
  void Watch(const std::vector<std::string>& Paths);
  void Stop();
  const std::vector<std::string>& Paths() const { return FPaths; }
  // The files as they are now are what the window holds (after a save, or a kept edit).
  void Accept();
  // Called once the files have settled after a change.
  std::function<void()> OnChanged;

private:
  struct TStamp {
    bool Exists = false;
    long long Size = 0, Seconds = 0, Nanoseconds = 0;
    unsigned long long Inode = 0, Device = 0;
    friend bool operator==(const TStamp&, const TStamp&) = default;
  };
  static TStamp StampOf(const std::string& Path);
  void Rearm();
  void Settled();

  QFileSystemWatcher FWatcher;
  QTimer FSettle;
  std::vector<std::string> FPaths;
  std::vector<TStamp> FStamps;
};
