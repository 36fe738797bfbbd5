// Program start: the application object and its title, the main window, the message loop.

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/TarvelinViewer.h"
#include "app/window/TarvelinCommandLine.h"
#include "app/window/TarvelinLanguage.h"
#include "app/window/tarvelinSprite.h"
#include "host/Application.h"
#include "host/qt/Clipboard.h"
#include "host/qt/MessageBoxes.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationVersion(TARVELIN_VERSION);
  // Lets the desktop match the window to its menu entry.
  QGuiApplication::setDesktopFileName("org.tarvelin.SpriteViewer");
  QCommandLineParser parser;
  parser.setApplicationDescription("Shows the sprite patterns and animations of a TARVELIN ROM.\n"
                                   "The NES master palette fcpalette.pal is read from the current directory.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("ROM", "The iNES ROM image to open at start, as ファイル > 開く would.", "[ROM]");
  const QCommandLineOption lang("lang",
                                "The window's language for this run: ja (Japanese) or en (English). Without it the "
                                "window speaks the language last chosen in 表示 > 言語 / Language, Japanese at first.",
                                "ja|en");
  parser.addOption(lang);
  parser.process(app);
  if (parser.positionalArguments().size() > 1) {
    std::fputs("Only one ROM can be opened.\n", stderr);
    return 2;
  }
  if (parser.isSet(lang)) {
    const auto language = ParseLanguage(parser.value(lang));
    if (!language) {
      std::fprintf(stderr, "Unknown language '%s': --lang takes ja or en.\n", qPrintable(parser.value(lang)));
      return 2;
    }
    SetLanguageOverride(language);
  }

  Application.SetTitle(ApplicationTitle);
  // Offscreen no one could close a box: its text goes to stderr, where it goes before the window exists.
  if (QGuiApplication::platformName() != "offscreen") Application.SetMessageBoxes(std::make_shared<TQtMessageBoxes>());
  InstallQtClipboard();

  auto window = CreateViewerWindow();
  Form1 = window.get();
  window->show();
  // Once the window is up, so a refusal's message comes over it.
  if (const auto rom = CommandLineRom(parser.positionalArguments())) {
    window->RomOnCommandLine = true;
    QTimer::singleShot(0, window.get(), [&window, path = *rom] { OpenCommandLineRom(*window, path); });
  }
  const int result = app.exec();
  Form1 = nullptr;
  return result;
}
