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

void* operator new(std::size_t Size) { return Allocate(Size); }
void* operator new[](std::size_t Size) { return Allocate(Size); }
void operator delete(void* P) noexcept { std::free(P); }
void operator delete[](void* P) noexcept { std::free(P); }
void operator delete(void* P, std::size_t) noexcept { std::free(P); }
void operator delete[](void* P, std::size_t) noexcept { std::free(P); }
