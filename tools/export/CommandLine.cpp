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
#include <QStringList>

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
  if (digits.empty() || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos ||
      error != std::errc() || end != digits.data() + digits.size() || value < 0 || value > Max)
    return std::nullopt;
  return value;
}

std::optional<std::int64_t> ParseDecimal(const std::string& Text, std::int64_t Min, std::int64_t Max) {
  std::int64_t value = 0;
  const char* end = Text.data() + Text.size();
  const auto [at, error] = std::from_chars(Text.data(), end, value, 10);
  // from_chars takes a minus sign, so digits are checked first.
  if (Text.empty() || Text.find_first_not_of("0123456789") != std::string::npos || error != std::errc() || at != end ||
      value < Min || value > Max)
    return std::nullopt;
  return value;
}

namespace {

constexpr char16_t MarkStart = 0xE000, MarkEnd = 0xE001;

QString Mark(std::size_t Index) { return QChar(MarkStart) + QString::number(Index) + QChar(MarkEnd); }

bool KeepsBytes(const QByteArray& Bytes) {
  const QString text = QString::fromUtf8(Bytes);
  return text.toUtf8() == Bytes && !text.startsWith(QChar(MarkStart));
}

}  // namespace

struct TArguments::TData {
  QStringList Strings;
  std::vector<std::string> Raw;
};

TArguments::TArguments(int argc, char** argv) : FData(std::make_unique<TData>()) {
  for (int i = 0; i < argc; ++i) {
    const QByteArray bytes(argv[i]);
    if (KeepsBytes(bytes)) {
      FData->Strings << QString::fromUtf8(bytes);
      continue;
    }
    // "--option=value": the option's name stays readable, its value keeps its bytes.
    const qsizetype equals = bytes.indexOf('=');
    QString prefix;
    std::string value(argv[i]);
    if (bytes.startsWith("--") && equals > 2 && KeepsBytes(bytes.left(equals))) {
      prefix = QString::fromUtf8(bytes.left(equals + 1));
      value = std::string(bytes.constData() + equals + 1);
    }
    FData->Raw.push_back(value);
    FData->Strings << prefix + Mark(FData->Raw.size() - 1);
  }
}

TArguments::~TArguments() = default;

const QStringList& TArguments::Strings() const { return FData->Strings; }

std::string TArguments::Bytes(const QString& Text) const {
  if (Text.size() > 2 && Text.front() == QChar(MarkStart) && Text.back() == QChar(MarkEnd)) {
    bool ok = false;
    const auto index = Text.mid(1, Text.size() - 2).toULongLong(&ok);
    if (ok && index < FData->Raw.size()) return FData->Raw[index];
  }
  return Text.toUtf8().toStdString();
}

std::string WhyNotReadable(const std::string& Path) {
  struct stat info {};
  if (stat(Path.c_str(), &info) != 0) return std::strerror(errno);
  if (S_ISDIR(info.st_mode)) return "is a directory, not a file";
  if (S_ISFIFO(info.st_mode)) return "is a FIFO, not a file";
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "is a device, not a file";
  if (!S_ISREG(info.st_mode)) return "is not a regular file";
  if (access(Path.c_str(), R_OK) != 0) return std::strerror(errno);
  return {};
}

std::string HelpText(const QCommandLineParser& Parser, const std::string& Name) {
  std::string text = Parser.helpText().toStdString();
  const std::string path = QCoreApplication::arguments().value(0).toStdString();
  if (const auto at = text.find(path); !path.empty() && at != std::string::npos) text.replace(at, path.size(), Name);
  return text;
}

int UsageError(const char* Program, const QString& Text) {
  PrintError(Program, Text.toStdString());
  std::fprintf(stderr, "Try '%s --help'.\n", Program);
  return 2;
}

std::optional<int> ParseOrFinish(QCommandLineParser& Parser, const QStringList& Arguments, const char* Program) {
  if (!Parser.parse(Arguments)) return UsageError(Program, Parser.errorText());
  if (!Parser.isSet("help")) return std::nullopt;
  std::fputs(HelpText(Parser, Program).c_str(), stdout);
  return 0;
}
