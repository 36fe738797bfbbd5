#pragma once
// The pool behind GetMemory and ReleaseMemory: released mapping objects kept
// for reuse while the library runs.

#include <cstddef>

// At library start: released mappings are kept from now on.
void OpenSpareMemory();
// Closes the mappings kept for reuse.
void FreeSpareMemory();
// At library end: frees the pool; later blocks are released at once.
void CloseSpareMemory();
// The number of mappings waiting for reuse.
std::size_t SpareMemoryCount();
// The number of mappings handed out and not yet released: lets tests see leaks.
std::size_t LiveMemoryCount();
