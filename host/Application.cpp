#include "host/Application.h"

#include <cstdio>

#include "host/Exception.h"

namespace {

// Before the GUI installs its dialogs there is no window to show a box in.
class TConsoleMessageBoxes : public IMessageBoxes {
public:
  void Show(const std::string& Caption, const std::string& Text, TMessageKind) override {
    std::fprintf(stderr, "[%s] %s\n", Caption.c_str(), Text.c_str());
  }
};

}  // namespace

TApplication Application;

TApplication::TApplication() : FBoxes(std::make_shared<TConsoleMessageBoxes>()) {}

std::shared_ptr<IMessageBoxes> TApplication::SetMessageBoxes(std::shared_ptr<IMessageBoxes> Boxes) {
  auto previous = std::move(FBoxes);
  FBoxes = Boxes ? std::move(Boxes) : std::make_shared<TConsoleMessageBoxes>();
  return previous;
}

void TApplication::MessageBox(const std::string& Text) { FBoxes->Show(FTitle, Text, TMessageKind::Information); }

void TApplication::ShowException(const Exception& E) { FBoxes->Show(FTitle, E.Message(), TMessageKind::Error); }

void ShowMessage(const std::string& Text) { Application.MessageBox(Text); }
