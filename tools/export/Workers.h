#pragma once
// Work spread over child processes: the image library keeps process-wide
// handle tables that are not thread-safe, so each worker is a process of its own.

#include <signal.h>

#include <functional>

// Catches SIGINT and SIGTERM for as long as it lives, without restarting reads: the
// signal is only noted (WasInterrupted), for the program to stop at a point where it
// can clean up. Scopes nest; the outermost one starts with no signal noted.
class TSignalCatcher {
public:
  TSignalCatcher();
  ~TSignalCatcher();
  TSignalCatcher(const TSignalCatcher&) = delete;
  TSignalCatcher& operator=(const TSignalCatcher&) = delete;

private:
  struct sigaction FOldInt {};
  struct sigaction FOldTerm {};
};

// Runs Work(i) for every i in 0..Count-1 in up to Workers forked children, child
// w taking i = w, w + Workers, ...; a child stops at the first exception, prints
// it as Program's error and fails. Done(n) reports in the parent how many items
// are finished. True when every child succeeded.
// While it runs, SIGINT and SIGTERM stop the children and make it return false;
// WasInterrupted then says so, for the caller to clean up and exit accordingly.
// The children take the signals' default actions.
bool RunInWorkers(const char* Program, int Count, int Workers, const std::function<void(int)>& Work,
                  const std::function<void(int)>& Done);

// The signal that the outermost TSignalCatcher alive (or last alive) noted, or 0.
int WasInterrupted();
