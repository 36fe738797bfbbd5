#pragma once
// Kernel memory objects: anonymous shared-memory file mappings and movable
// global memory blocks. Failures return a null handle or pointer, never throw.

#include <cstddef>
#include <cstdint>

#include "host/Windows.h"

inline constexpr DWORD PAGE_READONLY = 0x02;
inline constexpr DWORD PAGE_READWRITE = 0x04;
inline constexpr DWORD FILE_MAP_WRITE = 0x0002;
inline constexpr DWORD FILE_MAP_READ = 0x0004;

// An unnamed mapping object of MaximumSize bytes backed by anonymous shared
// memory, zero-filled. Every view of it sees the same bytes.
HANDLE CreateFileMapping(DWORD Protect, DWORD MaximumSizeHigh, DWORD MaximumSizeLow);
// A page-aligned view of Bytes bytes from Offset (0 bytes: to the end of the object).
void* MapViewOfFile(HANDLE FileMapping, DWORD DesiredAccess, std::uint64_t Offset, std::size_t Bytes);
BOOL UnmapViewOfFile(const void* BaseAddress);
BOOL CloseHandle(HANDLE Object);
// The size of a mapping object, 0 for a handle that names none.
std::uint64_t GetFileMappingSize(HANDLE FileMapping);

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

HGLOBAL GlobalAlloc(UINT Flags, std::size_t Bytes);
void* GlobalLock(HGLOBAL Memory);
BOOL GlobalUnlock(HGLOBAL Memory);
std::size_t GlobalSize(HGLOBAL Memory);
// Returns a null handle on success, the handle itself on failure.
HGLOBAL GlobalFree(HGLOBAL Memory);
