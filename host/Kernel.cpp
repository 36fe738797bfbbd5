#include "host/Kernel.h"

#include "host/Immortal.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>

namespace {

struct TMapping {
  int Fd = -1;
  std::uint64_t Size = 0;
};

struct TView {
  void* Base = nullptr;  // page-aligned start of the mmap
  std::size_t Length = 0;
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
  if (size == 0 || (Protect != PAGE_READWRITE && Protect != PAGE_READONLY)) return {};
  const int fd = ::memfd_create("dib", MFD_CLOEXEC);
  if (fd < 0) return {};
  // A fresh memfd reads as zeros up to its length, like page-file-backed memory.
  if (::ftruncate(fd, static_cast<off_t>(size)) != 0) {
    ::close(fd);
    return {};
  }
  auto& kernel = Kernel();
  const auto id = kernel.Next++;
  kernel.Mappings.emplace(id, TMapping{fd, size});
  return HANDLE{{id}};
}

void* MapViewOfFile(HANDLE FileMapping, DWORD DesiredAccess, std::uint64_t Offset, std::size_t Bytes) {
  auto& kernel = Kernel();
  const auto found = kernel.Mappings.find(FileMapping.Value);
  if (found == kernel.Mappings.end() || Offset >= found->second.Size) return nullptr;
  const auto& mapping = found->second;
  const std::uint64_t length = Bytes == 0 ? mapping.Size - Offset : Bytes;
  if (length > mapping.Size - Offset) return nullptr;
  // mmap wants a page-aligned file offset; hand out the address of Offset within it.
  const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
  const std::uint64_t aligned = Offset - Offset % page;
  const std::size_t mapLength = static_cast<std::size_t>(length + (Offset - aligned));
  const int prot = (DesiredAccess & FILE_MAP_WRITE) ? PROT_READ | PROT_WRITE : PROT_READ;
  void* base = ::mmap(nullptr, mapLength, prot, MAP_SHARED, mapping.Fd, static_cast<off_t>(aligned));
  if (base == MAP_FAILED) return nullptr;
  void* view = static_cast<std::uint8_t*>(base) + (Offset - aligned);
  kernel.Views.emplace(view, TView{base, mapLength});
  return view;
}

BOOL UnmapViewOfFile(const void* BaseAddress) {
  auto& views = Kernel().Views;
  const auto found = views.find(BaseAddress);
  if (found == views.end()) return false;
  const bool ok = ::munmap(found->second.Base, found->second.Length) == 0;
  views.erase(found);
  return ok;
}

BOOL CloseHandle(HANDLE Object) {
  auto& mappings = Kernel().Mappings;
  const auto found = mappings.find(Object.Value);
  if (found == mappings.end()) return false;
  // Views keep the memory alive after the handle is closed, as mmap does.
  const bool ok = ::close(found->second.Fd) == 0;
  mappings.erase(found);
  return ok;
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
