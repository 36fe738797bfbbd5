#include "app/window/TarvelinCommandLine.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

#include "app/window/tarvelinSprite.h"

std::optional<std::string> CommandLineRom(const QStringList& Positional) {
  if (Positional.isEmpty()) return std::nullopt;
  return QDir::cleanPath(QFileInfo(Positional.first()).absoluteFilePath()).toStdString();
}

void OpenCommandLineRom(TForm1& Window, const std::string& Path) {
  auto dialog = std::exchange(Window.ROMOpenDialog, [Path]() -> std::optional<std::string> { return Path; });
  // The menu item's own route, so an unreadable file reaches the general error handler.
  Window.Open1->trigger();
  Window.ROMOpenDialog = std::move(dialog);
}
