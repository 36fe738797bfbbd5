#include "dib/ZrDIBMemory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "dib/ZrDIBInternal.h"
#include "host/Kernel.h"

bool DefaultUseFMO = true;

namespace {

// Making a mapping object and faulting in its pages costs far more than the
// pictures it holds (tens of microseconds for 64 KiB), so released mappings are
// kept for the next picture of the same size, as the heap keeps its blocks.
constexpr std::size_t MaxSpares = 8;
constexpr std::int64_t MaxSpareBytes = 4 << 20;

struct TView {
  HANDLE FileMapping;
  BYTE* Bits;
  std::int32_t Size;
};

struct TPool {
  // Views handed out by GetMemory: only these are taken back as spares, so a
  // foreign address still reaches the unmap and fails its check.
  std::vector<TView> Live;
  std::vector<TView> Spares;
  std::int64_t SpareBytes = 0;
};

// Off until the library starts and again once it ends, when the pool itself may
// be gone: DIBs that outlive the library release their memory at once.
bool PoolOpen = false;

TPool& Pool() {
  static TPool pool;
  return pool;
}

void Unmap(HANDLE FileMapping, BYTE* Bits) {
  Assert(UnmapViewOfFile(Bits), "ReleaseMemory: Failed To Unmap View of File map");
  Assert(CloseHandle(FileMapping), "ReleaseMemory: Failed To Close File Map");
}

bool TakeSpare(std::int32_t Size, HANDLE& FileMapping, BYTE*& Bits) {
  auto& spares = Pool().Spares;
  const auto found = std::find_if(spares.begin(), spares.end(), [&](const TView& s) { return s.Size == Size; });
  if (found == spares.end()) return false;
  FileMapping = found->FileMapping;
  Bits = found->Bits;
  Pool().SpareBytes -= Size;
  spares.erase(found);
  std::memset(Bits, 0, static_cast<std::size_t>(Size));
  return true;
}

void Track(HANDLE FileMapping, BYTE* Bits, std::int32_t Size) {
  try {
    Pool().Live.push_back({FileMapping, Bits, Size});
  } catch (...) {
    Unmap(FileMapping, Bits);
    throw;
  }
}

// Keeps a released view for reuse; false when it is not one of ours.
bool Keep(HANDLE FileMapping, BYTE* Bits) {
  auto& pool = Pool();
  const auto live = std::find_if(pool.Live.begin(), pool.Live.end(), [&](const TView& v) { return v.Bits == Bits; });
  if (live == pool.Live.end()) return false;
  const TView view = *live;
  *live = pool.Live.back();
  pool.Live.pop_back();
  if (view.FileMapping != FileMapping || view.Size > MaxSpareBytes) return false;
  try {
    pool.Spares.push_back(view);
  } catch (...) {
    return false;
  }
  pool.SpareBytes += view.Size;
  // The oldest spares go first when the pool is over its bounds.
  while (pool.Spares.size() > MaxSpares || pool.SpareBytes > MaxSpareBytes) {
    const TView oldest = pool.Spares.front();
    pool.Spares.erase(pool.Spares.begin());
    pool.SpareBytes -= oldest.Size;
    Unmap(oldest.FileMapping, oldest.Bits);
  }
  return true;
}

}  // namespace

void GetMemory(std::int32_t Size, bool UseFMO, HANDLE& FileMapping, BYTE*& Bits) {
  if (!UseFMO) {
    if (Size < 0) throw EOutOfMemory("GetMemory: Cannot Allocate Memory");
    // calloc hands out zeroed pages without touching them when the block is large.
    void* block = std::calloc(Size == 0 ? 1 : static_cast<std::size_t>(Size), 1);
    if (!block) throw EOutOfMemory("GetMemory: Cannot Allocate Memory");
    FileMapping = {};
    Bits = static_cast<BYTE*>(block);
    return;
  }
  HANDLE mapping;
  BYTE* view = nullptr;
  // A mapping object of no bytes cannot be made.
  if (Size <= 0) throw EOutOfResources("GetMemory: Cannot Make File Mapping Object");
  if (!PoolOpen || !TakeSpare(Size, mapping, view)) {
    mapping = CreateFileMapping(PAGE_READWRITE, 0, static_cast<DWORD>(Size));
    if (!mapping) throw EOutOfResources("GetMemory: Cannot Make File Mapping Object");
    view = static_cast<BYTE*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0));
    if (!view) {
      CloseHandle(mapping);
      throw EOutOfResources("GetMemory: Cannot Make View of File Map");
    }
    // A new mapping object reads as zeros already: no fill, and no page touched.
  }
  if (PoolOpen) Track(mapping, view, Size);
  FileMapping = mapping;
  Bits = view;
}

void ReleaseMemory(HANDLE FileMapping, BYTE* Bits, bool UseFMO) {
  if (!UseFMO) {
    std::free(Bits);
    return;
  }
  if (!PoolOpen || !Keep(FileMapping, Bits)) Unmap(FileMapping, Bits);
}

void OpenSpareMemory() {
  // Built now, so both outlive the library's end, which still closes mappings.
  Pool();
  GetFileMappingSize(HANDLE{});
  PoolOpen = true;
}

void FreeSpareMemory() {
  auto& pool = Pool();
  while (!pool.Spares.empty()) {
    const TView spare = pool.Spares.back();
    pool.Spares.pop_back();
    pool.SpareBytes -= spare.Size;
    Unmap(spare.FileMapping, spare.Bits);
  }
}

void CloseSpareMemory() {
  FreeSpareMemory();
  PoolOpen = false;
}

std::size_t SpareMemoryCount() { return Pool().Spares.size(); }

std::size_t LiveMemoryCount() { return Pool().Live.size(); }
