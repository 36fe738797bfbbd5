// Program start: the application object and its title, the main window, the message loop.

#include <QApplication>
#include <memory>

#include "app/tarvelinSprite.h"
#include "host/Application.h"
#include "host/qt/Clipboard.h"
#include "host/qt/MessageBoxes.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  Application.SetTitle(ApplicationTitle);
  Application.SetMessageBoxes(std::make_shared<TQtMessageBoxes>());
  InstallQtClipboard();

  auto window = std::make_unique<TForm1>();
  Form1 = window.get();
  window->show();
  const int result = app.exec();
  Form1 = nullptr;
  return result;
}
