#pragma once
// Scratch memory of the converters, sized in 64 bits and refused like pixel
// memory when it cannot be had.

#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <span>
#include <string>

#include "host/Exception.h"

template <class T>
class TZrScratch {
public:
  // At most as many bytes as pixel memory may have.
  static constexpr std::int64_t ByteLimit =
      std::numeric_limits<std::int32_t>::max() / static_cast<std::int64_t>(sizeof(T));

  // Count items, not initialised; more than MaxCount are refused.
  TZrScratch(std::int64_t Count, const char* Name, std::int64_t MaxCount = ByteLimit) {
    if (Count < 0 || Count > MaxCount) throw EOutOfMemory(std::string(Name) + ": Image Too Large");
    try {
      FItems = std::make_unique_for_overwrite<T[]>(static_cast<std::size_t>(Count));
    } catch (const std::bad_alloc&) {
      throw EOutOfMemory(std::string(Name) + ": Image Too Large");
    }
    FSize = static_cast<std::size_t>(Count);
  }
  std::span<T> Items() const { return {FItems.get(), FSize}; }

private:
  std::unique_ptr<T[]> FItems;
  std::size_t FSize = 0;
};
