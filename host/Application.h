#pragma once
// The application object: its title, and the modal message boxes captioned with it.

#include <memory>
#include <string>
#include <vector>

class Exception;

enum class TMessageKind { Information, Error };

// Where message boxes go: a real dialog in the viewer, a record in tests.
class IMessageBoxes {
public:
  virtual ~IMessageBoxes() = default;
  // Shows a modal box with one OK button and returns when the user closed it.
  virtual void Show(const std::string& Caption, const std::string& Text, TMessageKind Kind) = 0;
};

// Keeps every box it is asked to show, for tests to read.
class TRecordingMessageBoxes : public IMessageBoxes {
public:
  struct TShown {
    std::string Caption;
    std::string Text;
    TMessageKind Kind;
  };
  void Show(const std::string& Caption, const std::string& Text, TMessageKind Kind) override {
    Shown.push_back({Caption, Text, Kind});
  }
  std::vector<TShown> Shown;
};

class TApplication {
public:
  TApplication();
  const std::string& GetTitle() const { return FTitle; }
  void SetTitle(std::string Title) { FTitle = std::move(Title); }

  // Installs where boxes go and returns the previous sink (the console one at start).
  std::shared_ptr<IMessageBoxes> SetMessageBoxes(std::shared_ptr<IMessageBoxes> Boxes);

  // A modal box with one OK button, captioned with the title.
  void MessageBox(const std::string& Text);
  // The general error handler: shows the exception's message in an error box.
  void ShowException(const Exception& E);

private:
  std::string FTitle;
  std::shared_ptr<IMessageBoxes> FBoxes;
};

extern TApplication Application;

inline constexpr const char* ApplicationTitle = "TARVELIN Sprite Viewer";

// The usual short form: Application.MessageBox(Text).
void ShowMessage(const std::string& Text);
