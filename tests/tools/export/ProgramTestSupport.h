#pragma once
// Runs the built command-line programs in a directory of the test's own.

#include <QProcess>
#include <QStringList>
#include <filesystem>
#include <string>
#include <vector>

namespace program_test {

struct TRun {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

inline TRun RunProgram(const char* Program, const std::vector<std::string>& Arguments, const std::filesystem::path& Directory) {
  QStringList arguments;
  for (const auto& argument : Arguments) arguments << QString::fromStdString(argument);
  QProcess process;
  process.setWorkingDirectory(QString::fromStdString(Directory.string()));
  process.start(QString::fromUtf8(Program), arguments);
  TRun run;
  if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit) return run;
  run.ExitCode = process.exitCode();
  run.Out = process.readAllStandardOutput().toStdString();
  run.Err = process.readAllStandardError().toStdString();
  return run;
}

inline std::size_t FilesIn(const std::filesystem::path& Directory) {
  std::size_t count = 0;
  if (!std::filesystem::exists(Directory)) return 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(Directory)) count += entry.is_regular_file();
  return count;
}

}  // namespace program_test
