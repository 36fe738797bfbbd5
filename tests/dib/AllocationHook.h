#pragma once
// The dib test program's own operator new, so that a test can make one
// allocation fail or notice that it was asked for.

#include <cstddef>

// Allocations of exactly Size bytes raise std::bad_alloc for as long as it lives.
class TFailingSizeScope {
 public:
  explicit TFailingSizeScope(std::size_t Size);
  ~TFailingSizeScope();
  TFailingSizeScope(const TFailingSizeScope&) = delete;
  TFailingSizeScope& operator=(const TFailingSizeScope&) = delete;
};

// Raised instead of allocating Size bytes or more while a TLargeAllocationProbe lives.
struct TLargeAllocation {
  std::size_t Size;
};
class TLargeAllocationProbe {
 public:
  explicit TLargeAllocationProbe(std::size_t Size);
  ~TLargeAllocationProbe();
  TLargeAllocationProbe(const TLargeAllocationProbe&) = delete;
  TLargeAllocationProbe& operator=(const TLargeAllocationProbe&) = delete;
};
