#include "tools/export/Workers.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <vector>

#include "host/Exception.h"
#include "tools/export/CommandLine.h"

namespace {

volatile std::sig_atomic_t Interrupted = 0;

void NoteSignal(int Signal) { Interrupted = Signal; }

[[noreturn]] void RunChild(const char* Program, int First, int Count, int Step, int Report,
                           const std::function<void(int)>& Work) {
  int status = 0;
  try {
    for (int i = First; i < Count; i += Step) {
      Work(i);
      const char tick = 1;
      while (write(Report, &tick, 1) < 0 && errno == EINTR) {
      }
    }
  } catch (const std::exception& E) {
    PrintError(Program, E.what());
    status = 1;
  }
  // The parent owns every shared resource; the child leaves without running its destructors.
  std::fflush(stdout);
  _exit(status);
}

}  // namespace

TSignalCatcher::TSignalCatcher() {
  struct sigaction action {};
  action.sa_handler = NoteSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &FOldInt);
  sigaction(SIGTERM, &action, &FOldTerm);
  if (FOldInt.sa_handler != NoteSignal) Interrupted = 0;
}

TSignalCatcher::~TSignalCatcher() {
  sigaction(SIGINT, &FOldInt, nullptr);
  sigaction(SIGTERM, &FOldTerm, nullptr);
}

bool RunInWorkers(const char* Program, int Count, int Workers, const std::function<void(int)>& Work,
                  const std::function<void(int)>& Done) {
  if (Count <= 0) return true;
  TSignalCatcher catcher;
  Workers = std::clamp(Workers, 1, Count);
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) throw EOutOfResources(std::string("pipe: ") + std::strerror(errno));
  std::fflush(stdout);
  std::fflush(stderr);
  std::vector<pid_t> children;
  for (int w = 0; w < Workers; ++w) {
    const pid_t pid = fork();
    if (pid == 0) {
      signal(SIGINT, SIG_DFL);
      signal(SIGTERM, SIG_DFL);
      close(pipeEnds[0]);
      RunChild(Program, w, Count, Workers, pipeEnds[1], Work);
    }
    if (pid < 0) break;
    children.push_back(pid);
  }
  close(pipeEnds[1]);
  bool ok = children.size() == static_cast<std::size_t>(Workers);
  if (!ok) PrintError(Program, std::string("fork: ") + std::strerror(errno));
  int finished = 0;
  char ticks[256];
  bool stopped = false;
  for (;;) {
    if (Interrupted && !stopped) {
      for (const pid_t pid : children) kill(pid, SIGTERM);
      stopped = true;
    }
    const ssize_t n = read(pipeEnds[0], ticks, sizeof ticks);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    finished += static_cast<int>(n);
    Done(finished);
  }
  close(pipeEnds[0]);
  for (const pid_t pid : children) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  return ok && finished == Count && !Interrupted;
}

int WasInterrupted() { return Interrupted; }
