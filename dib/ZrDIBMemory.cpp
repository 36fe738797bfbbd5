#include <cstdlib>

#include "dib/ZrDIBInternal.h"
#include "host/Kernel.h"

bool DefaultUseFMO = true;

void GetMemory(std::int32_t Size, bool UseFMO, HANDLE& FileMapping, BYTE*& Bits) {
  Assert(Size >= 0, "GetMemory: Size Must not be Negative");
  if (!UseFMO) {
    // calloc hands out zeroed pages without touching them when the block is large.
    void* block = std::calloc(Size == 0 ? 1 : static_cast<std::size_t>(Size), 1);
    if (!block) throw EOutOfMemory("GetMemory: Cannot Allocate Memory");
    FileMapping = {};
    Bits = static_cast<BYTE*>(block);
    return;
  }
  const HANDLE mapping = CreateFileMapping(PAGE_READWRITE, 0, static_cast<DWORD>(Size));
  if (!mapping) throw EOutOfResources("GetMemory: Cannot Make File Mapping Object");
  void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0);
  if (!view) {
    CloseHandle(mapping);
    throw EOutOfResources("GetMemory: Cannot Make View of File Map");
  }
  // A new mapping object reads as zeros already: no fill, and no page touched.
  FileMapping = mapping;
  Bits = static_cast<BYTE*>(view);
}

void ReleaseMemory(HANDLE FileMapping, BYTE* Bits, bool UseFMO) {
  if (!UseFMO) {
    std::free(Bits);
    return;
  }
  Assert(UnmapViewOfFile(Bits), "ReleaseMemory: Failed To Unmap View of File map");
  Assert(CloseHandle(FileMapping), "ReleaseMemory: Failed To Close File Map");
}
