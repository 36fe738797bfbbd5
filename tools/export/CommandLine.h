#pragma once
// What both command-line programs share: messages on stderr, a progress bar
// that only a terminal sees, and (through app/TarvelinFiles.h) files that appear
// whole or not at all.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include <QStringList>

#include "sprite/TarvelinFiles.h"

// Prints "Program: Text" on stderr.
void PrintError(const std::string& Program, const std::string& Text);

// Shows the library's message boxes (the ROM and palette checks) on stderr, prefixed with Program.
void ShowMessagesOnStderr(const std::string& Program);

// A bar redrawn in place on stderr; it draws nothing unless enabled.
class TProgressBar {
public:
  TProgressBar(std::string Label, std::int64_t Total, bool Enabled);
  ~TProgressBar();
  TProgressBar(const TProgressBar&) = delete;
  TProgressBar& operator=(const TProgressBar&) = delete;

  void Update(std::int64_t Done);
  // Ends the bar's line; later updates draw nothing.
  void Finish();

private:
  std::string FLabel;
  std::int64_t FTotal;
  bool FEnabled;
  int FDrawnPercent = -1;
};

// A bar is wanted when not quiet and stderr is a terminal.
bool ProgressWanted(bool Quiet);

// The parser's help text with the program named Name rather than by its path.
std::string HelpText(const class QCommandLineParser& Parser, const std::string& Name);
// Says Text and where help is, on stderr; the exit status of a usage error (2).
int UsageError(const char* Program, const QString& Text);
// Parses Arguments; an exit status when the run ends here (a usage error, or --help printed).
std::optional<int> ParseOrFinish(class QCommandLineParser& Parser, const QStringList& Arguments, const char* Program);

// A hexadecimal number, with or without "$" or "0x"; none when it is no number or above Max.
std::optional<int> ParseHexNumber(const std::string& Text, int Max);
// Decimal digits only (no sign, no spaces) from Min to Max; none otherwise.
std::optional<std::int64_t> ParseDecimal(const std::string& Text, std::int64_t Min, std::int64_t Max);

// The command line as the parser takes it, with every argument's bytes kept: a
// path that is no valid UTF-8 reaches the file system exactly as it was typed.
class TArguments {
public:
  TArguments(int argc, char** argv);
  // Arguments that are no valid UTF-8 stand as a private-use mark the parser passes on.
  const QStringList& Strings() const;
  // The bytes behind one of Strings() (or behind a value the parser took from one).
  std::string Bytes(const QString& Text) const;
  ~TArguments();
  TArguments(const TArguments&) = delete;
  TArguments& operator=(const TArguments&) = delete;

private:
  struct TData;
  std::unique_ptr<TData> FData;
};

// Why Path cannot be read as a file, in words; empty when it can.
std::string WhyNotReadable(const std::string& Path);
