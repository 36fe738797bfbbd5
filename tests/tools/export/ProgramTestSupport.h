#pragma once
// Runs the built command-line programs in a directory of the test's own.

#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Runs Program with Arguments passed as bytes, exactly (QProcess would re-encode
// them as text). With Signal set, sends it AfterMs milliseconds after the start;
// with MemoryLimit set, the program gets that many bytes of address space.
// ExitCode is 128 + the signal for a program a signal ended.
inline TRun RunRaw(const char* Program, const std::vector<std::string>& Arguments, const std::filesystem::path& Directory,
                   int Signal = 0, int AfterMs = 0, rlim_t MemoryLimit = 0) {
  const int out = memfd_create("stdout", 0), err = memfd_create("stderr", 0);
  TRun run;
  if (out < 0 || err < 0) return run;
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv{const_cast<char*>(Program)};
    for (const auto& argument : Arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    if (chdir(Directory.c_str()) != 0) _exit(126);
    const rlimit limit{MemoryLimit, MemoryLimit};
    if (MemoryLimit != 0 && setrlimit(RLIMIT_AS, &limit) != 0) _exit(125);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    execv(Program, argv.data());
    _exit(127);
  }
  if (Signal != 0 && pid > 0) {
    usleep(static_cast<useconds_t>(AfterMs) * 1000);
    kill(pid, Signal);
  }
  int status = 0;
  while (pid > 0 && waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  for (const auto& [fd, text] : {std::pair{out, &run.Out}, std::pair{err, &run.Err}}) {
    char buffer[4096];
    for (off_t at = 0;;) {
      const ssize_t n = pread(fd, buffer, sizeof buffer, at);
      if (n <= 0) break;
      text->append(buffer, static_cast<std::size_t>(n));
      at += n;
    }
    close(fd);
  }
  return run;
}

inline std::size_t FilesIn(const std::filesystem::path& Directory) {
  std::size_t count = 0;
  if (!std::filesystem::exists(Directory)) return 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(Directory)) count += entry.is_regular_file();
  return count;
}

}  // namespace program_test
