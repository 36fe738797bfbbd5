#pragma once
// Work split over the machine's two cores. Only for passes over raw buffers
// and local arrays whose result cannot depend on the split: DIBs, palettes and
// host objects belong to the calling thread.

#include <cstdint>
#include <system_error>
#include <thread>
#include <optional>

// Runs First here and Second on another thread, or here too when no thread
// can be had. Neither may throw.
template <class A, class B>
void RunSideBySide(A&& First, B&& Second) {
  std::optional<std::jthread> other;
  try {
    other.emplace([&] { Second(); });
  } catch (const std::system_error&) {
  }
  First();
  if (other)
    other->join();
  else
    Second();
}

// Work(Begin, End, Part) over [0, Count) in two halves (Part 0 and 1) when
// Count is at least MinCount, else in one.
template <class F>
void SplitInTwo(std::int64_t Count, std::int64_t MinCount, F&& Work) {
  if (Count < MinCount || Count < 2) {
    Work(std::int64_t{0}, Count, 0);
    return;
  }
  const std::int64_t half = Count / 2;
  RunSideBySide([&] { Work(std::int64_t{0}, half, 0); }, [&] { Work(half, Count, 1); });
}
