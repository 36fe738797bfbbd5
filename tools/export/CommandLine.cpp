#include "tools/export/CommandLine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <charconv>
#include <cstdio>
#include <memory>

#include <QCommandLineParser>
#include <QCoreApplication>

#include "host/Application.h"
#include "host/Exception.h"

namespace {

class TStderrMessageBoxes : public IMessageBoxes {
public:
  explicit TStderrMessageBoxes(std::string Program) : FProgram(std::move(Program)) {}
  void Show(const std::string&, const std::string& Text, TMessageKind) override { PrintError(FProgram, Text); }

private:
  std::string FProgram;
};

}  // namespace

void PrintError(const std::string& Program, const std::string& Text) {
  std::fprintf(stderr, "%s: %s\n", Program.c_str(), Text.c_str());
}

void ShowMessagesOnStderr(const std::string& Program) {
  Application.SetTitle(ApplicationTitle);
  Application.SetMessageBoxes(std::make_shared<TStderrMessageBoxes>(Program));
}

TProgressBar::TProgressBar(std::string Label, std::int64_t Total, bool Enabled)
    : FLabel(std::move(Label)), FTotal(Total), FEnabled(Enabled && Total > 0) {
  Update(0);
}

TProgressBar::~TProgressBar() { Finish(); }

void TProgressBar::Update(std::int64_t Done) {
  if (!FEnabled) return;
  const int percent = static_cast<int>(std::clamp<std::int64_t>(Done * 100 / FTotal, 0, 100));
  // Redrawn only when it changes, so a fast loop costs no terminal output.
  if (percent == FDrawnPercent) return;
  FDrawnPercent = percent;
  constexpr int Width = 40;
  const int filled = percent * Width / 100;
  std::fprintf(stderr, "\r%s [%s%s] %3d%%", FLabel.c_str(), std::string(static_cast<std::size_t>(filled), '#').c_str(),
               std::string(static_cast<std::size_t>(Width - filled), ' ').c_str(), percent);
  std::fflush(stderr);
}

void TProgressBar::Finish() {
  if (!FEnabled) return;
  std::fputc('\n', stderr);
  FEnabled = false;
}

bool ProgressWanted(bool Quiet) { return !Quiet && isatty(STDERR_FILENO) == 1; }

std::optional<int> ParseHexNumber(const std::string& Text, int Max) {
  std::string_view digits(Text);
  if (digits.starts_with("$")) digits.remove_prefix(1);
  else if (digits.starts_with("0x") || digits.starts_with("0X")) digits.remove_prefix(2);
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value < 0 || value > Max)
    return std::nullopt;
  return value;
}

std::string HelpText(const QCommandLineParser& Parser, const std::string& Name) {
  std::string text = Parser.helpText().toStdString();
  const std::string path = QCoreApplication::arguments().value(0).toStdString();
  if (const auto at = text.find(path); !path.empty() && at != std::string::npos) text.replace(at, path.size(), Name);
  return text;
}
