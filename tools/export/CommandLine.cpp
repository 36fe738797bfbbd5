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

namespace {

// Writes and closes Fd; the errno of the first failure, or 0.
int WriteAndClose(int Fd, std::span<const std::uint8_t> Bytes) {
  int error = 0;
  for (std::size_t done = 0; done < Bytes.size() && !error;) {
    const ssize_t n = write(Fd, Bytes.data() + done, Bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      error = n < 0 ? errno : ENOSPC;
    else
      done += static_cast<std::size_t>(n);
  }
  if (close(Fd) != 0 && !error) error = errno;
  return error;
}

}  // namespace

void WriteNewFile(const std::filesystem::path& Path, std::span<const std::uint8_t> Bytes) {
  const int fd = open(Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw EFCreateError(FormatMessage(SFCreateError, Path.string()) + ": " + std::strerror(errno));
  if (const int error = WriteAndClose(fd, Bytes)) throw EWriteError(Path.string() + ": " + std::strerror(error));
}

void WriteFileAtomically(const std::filesystem::path& Path, std::span<const std::uint8_t> Bytes) {
  std::string temporary = Path.string() + ".tmp-XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) throw EFCreateError(FormatMessage(SFCreateError, Path.string()) + ": " + std::strerror(errno));
  // mkstemp makes the file 0600; the result is as readable as any other file the user makes.
  const mode_t mask = umask(0);
  umask(mask);
  int error = fchmod(fd, 0666 & ~mask) != 0 ? errno : 0;
  if (const int written = WriteAndClose(fd, Bytes); !error) error = written;
  if (!error && std::rename(temporary.c_str(), Path.c_str()) != 0) error = errno;
  if (error) {
    unlink(temporary.c_str());
    throw EWriteError(Path.string() + ": " + std::strerror(error));
  }
}

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
