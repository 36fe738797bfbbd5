#pragma once
// Work split over the machine's two cores. Only for passes over raw buffers
// and local arrays whose result cannot depend on the split: DIBs, palettes and
// host objects belong to the calling thread.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <optional>
#include <system_error>
#include <thread>

// Runs First here and Second on another thread, or here too when no thread
// can be had. A failure of either reaches the caller here (First's when both
// fail), once both have ended.
template <class A, class B>
void RunSideBySide(A&& First, B&& Second) {
  std::exception_ptr secondFailure;
  {
    // Declared after the failure it writes: joined before it goes.
    std::optional<std::jthread> other;
    try {
      other.emplace([&] {
        try {
          Second();
        } catch (...) {
          secondFailure = std::current_exception();
        }
      });
    } catch (const std::system_error&) {
    }
    First();
    if (!other) Second();
  }
  if (secondFailure) std::rethrow_exception(secondFailure);
}

// Work(Begin, End, Worker) over [0, Count) in pieces, taken in turn by this
// thread (worker 0) and another (worker 1) while any are left, so that a core
// busy with something else simply does fewer; one piece when Count is below
// MinCount. Which worker gets which piece varies from run to run: Work must
// give the same result whatever the split (disjoint outputs, or exact sums
// merged afterwards). When Work fails, no piece is begun after it and the
// failure reaches the caller.
template <class F>
void SplitInTwo(std::int64_t Count, std::int64_t MinCount, F&& Work) {
  if (Count < MinCount || Count < 2) {
    Work(std::int64_t{0}, Count, 0);
    return;
  }
  const std::int64_t piece = std::max<std::int64_t>(1, Count / 32);
  std::atomic<std::int64_t> next{0};
  const auto take = [&](int Worker) {
    try {
      for (std::int64_t begin; (begin = next.fetch_add(piece)) < Count;)
        Work(begin, std::min(Count, begin + piece), Worker);
    } catch (...) {
      // The other worker takes no more pieces of a split that has failed.
      next = Count;
      throw;
    }
  };
  RunSideBySide([&] { take(0); }, [&] { take(1); });
}
