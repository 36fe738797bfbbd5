#include "tests/dib/AllocationHook.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> FailingSize{0};
std::atomic<std::size_t> ProbedSize{0};

void* Allocate(std::size_t Size) {
  if (Size != 0 && Size == FailingSize.load()) throw std::bad_alloc();
  const std::size_t probed = ProbedSize.load();
  if (probed != 0 && Size >= probed) throw TLargeAllocation{Size};
  if (void* p = std::malloc(Size ? Size : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

TFailingSizeScope::TFailingSizeScope(std::size_t Size) { FailingSize = Size; }
TFailingSizeScope::~TFailingSizeScope() { FailingSize = 0; }
TLargeAllocationProbe::TLargeAllocationProbe(std::size_t Size) { ProbedSize = Size; }
TLargeAllocationProbe::~TLargeAllocationProbe() { ProbedSize = 0; }

// Every form that pairs with the plain deletes below, so no block is freed by
// an allocator other than the one that gave it.
void* operator new(std::size_t Size) { return Allocate(Size); }
void* operator new[](std::size_t Size) { return Allocate(Size); }
void operator delete(void* P) noexcept { std::free(P); }
void operator delete[](void* P) noexcept { std::free(P); }
void operator delete(void* P, std::size_t) noexcept { std::free(P); }
void operator delete[](void* P, std::size_t) noexcept { std::free(P); }
void* operator new(std::size_t Size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(Size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t Size, const std::nothrow_t& Tag) noexcept { return operator new(Size, Tag); }
void operator delete(void* P, const std::nothrow_t&) noexcept { std::free(P); }
void operator delete[](void* P, const std::nothrow_t&) noexcept { std::free(P); }
