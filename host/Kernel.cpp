#include "host/Kernel.h"

#include "host/Immortal.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <unordered_map>

namespace {

// A mapping object holds no file descriptor: the memory lives in one shared
// mapping of its own, and views are duplicates of those pages (mremap with an
// old size of 0), so thousands of live objects do not run out of descriptors.
struct TMapping {
  void* Base = nullptr;  // the whole object, read and write
  std::size_t Length = 0;
  std::uint64_t Size = 0;
  bool Lent = false;  // Base is also handed out as a view
};

struct TView {
  void* Base = nullptr;  // page-aligned start of the mmap
  std::size_t Length = 0;
  std::uintptr_t LentBy = 0;  // the mapping whose own Base this view is, 0 for a duplicate
};

struct TKernelTable {
  std::unordered_map<std::uintptr_t, TMapping> Mappings;
  std::unordered_map<const void*, TView> Views;  // keyed by the address handed out
  std::uintptr_t Next = 0x100;
};

TKernelTable& Kernel() {
  static TImmortal<TKernelTable> table;
  return table.Get();
}

struct TGlobalBlock {
  std::unique_ptr<std::uint8_t[]> Data;
  std::size_t Size = 0;
  int Locks = 0;
};

std::unordered_map<std::uintptr_t, TGlobalBlock>& GlobalBlocks() {
  static TImmortal<std::unordered_map<std::uintptr_t, TGlobalBlock>> blocks;
  return blocks.Get();
}
std::uintptr_t NextGlobal = 0x10;

}  // namespace

HANDLE CreateFileMapping(DWORD Protect, DWORD MaximumSizeHigh, DWORD MaximumSizeLow) {
  const std::uint64_t size = (static_cast<std::uint64_t>(MaximumSizeHigh) << 32) | MaximumSizeLow;
  if (size == 0 || size > std::numeric_limits<std::size_t>::max() / 2 ||
      (Protect != PAGE_READWRITE && Protect != PAGE_READONLY))
    return {};
  const int fd = ::memfd_create("dib", MFD_CLOEXEC);
  if (fd < 0) return {};
  // A fresh memfd reads as zeros up to its length, like page-file-backed memory.
  void* base = MAP_FAILED;
  if (::ftruncate(fd, static_cast<off_t>(size)) == 0)
    base = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  // The mapping keeps the memory; the descriptor is no longer needed.
  ::close(fd);
  if (base == MAP_FAILED) return {};
  auto& kernel = Kernel();
  const auto id = kernel.Next++;
  kernel.Mappings.emplace(id, TMapping{base, static_cast<std::size_t>(size), size, false});
  return HANDLE{{id}};
}

void* MapViewOfFile(HANDLE FileMapping, DWORD DesiredAccess, std::uint64_t Offset, std::size_t Bytes) {
  auto& kernel = Kernel();
  const auto found = kernel.Mappings.find(FileMapping.Value);
  if (found == kernel.Mappings.end() || Offset >= found->second.Size) return nullptr;
  auto& mapping = found->second;
  const std::uint64_t length = Bytes == 0 ? mapping.Size - Offset : Bytes;
  if (length > mapping.Size - Offset) return nullptr;
  const bool write = (DesiredAccess & FILE_MAP_WRITE) != 0;
  // The first writable view from the start is the object's own mapping.
  if (write && Offset == 0 && !mapping.Lent) {
    mapping.Lent = true;
    kernel.Views.emplace(mapping.Base, TView{mapping.Base, mapping.Length, FileMapping.Value});
    return mapping.Base;
  }
  // Views start on a page; hand out the address of Offset within it.
  const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
  const std::uint64_t aligned = Offset - Offset % page;
  const std::size_t mapLength = static_cast<std::size_t>(length + (Offset - aligned));
  void* base = ::mremap(static_cast<std::uint8_t*>(mapping.Base) + aligned, 0, mapLength, MREMAP_MAYMOVE);
  if (base == MAP_FAILED) return nullptr;
  if (!write && ::mprotect(base, mapLength, PROT_READ) != 0) {
    ::munmap(base, mapLength);
    return nullptr;
  }
  void* view = static_cast<std::uint8_t*>(base) + (Offset - aligned);
  kernel.Views.emplace(view, TView{base, mapLength, 0});
  return view;
}

BOOL UnmapViewOfFile(const void* BaseAddress) {
  auto& kernel = Kernel();
  const auto found = kernel.Views.find(BaseAddress);
  if (found == kernel.Views.end()) return false;
  const TView view = found->second;
  kernel.Views.erase(found);
  // The object's own mapping stays while its handle is open.
  const auto owner = kernel.Mappings.find(view.LentBy);
  if (view.LentBy != 0 && owner != kernel.Mappings.end()) {
    owner->second.Lent = false;
    return true;
  }
  return ::munmap(view.Base, view.Length) == 0;
}

BOOL CloseHandle(HANDLE Object) {
  auto& mappings = Kernel().Mappings;
  const auto found = mappings.find(Object.Value);
  if (found == mappings.end()) return false;
  // Views keep the memory alive after the handle is closed, as mmap does.
  const TMapping mapping = found->second;
  mappings.erase(found);
  return mapping.Lent || ::munmap(mapping.Base, mapping.Length) == 0;
}

std::uint64_t GetFileMappingSize(HANDLE FileMapping) {
  const auto& mappings = Kernel().Mappings;
  const auto found = mappings.find(FileMapping.Value);
  return found == mappings.end() ? 0 : found->second.Size;
}

// ---------------------------------------------------------------------------

HGLOBAL GlobalAlloc(UINT Flags, std::size_t Bytes) {
  std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[Bytes == 0 ? 1 : Bytes]);
  if (!data) return {};
  if (Flags & GMEM_ZEROINIT) std::memset(data.get(), 0, Bytes);
  const auto id = NextGlobal++;
  GlobalBlocks().emplace(id, TGlobalBlock{std::move(data), Bytes, 0});
  return HGLOBAL{{id}};
}

void* GlobalLock(HGLOBAL Memory) {
  auto& blocks = GlobalBlocks();
  const auto found = blocks.find(Memory.Value);
  if (found == blocks.end()) return nullptr;
  ++found->second.Locks;
  return found->second.Data.get();
}

BOOL GlobalUnlock(HGLOBAL Memory) {
  auto& blocks = GlobalBlocks();
  const auto found = blocks.find(Memory.Value);
  if (found == blocks.end() || found->second.Locks == 0) return false;
  return --found->second.Locks > 0;
}

std::size_t GlobalSize(HGLOBAL Memory) {
  const auto& blocks = GlobalBlocks();
  const auto found = blocks.find(Memory.Value);
  return found == blocks.end() ? 0 : found->second.Size;
}

HGLOBAL GlobalFree(HGLOBAL Memory) { return GlobalBlocks().erase(Memory.Value) != 0 ? HGLOBAL{} : Memory; }
