#pragma once
// What the patch readers' fuzz targets share: the ROM they patch, and a check
// that whatever a reader accepts, the writers make a patch that gives it back.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "rom/TarvelinPatch.h"

// 64 bytes 0x00..0x3F; the seeds are patches of it.
inline const std::vector<std::uint8_t>& FuzzSource() {
  static const std::vector<std::uint8_t> source = [] {
    std::vector<std::uint8_t> bytes(64);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
  }();
  return source;
}

// Small, so a patch reaching past it is met often.
inline constexpr std::size_t FuzzMaxSize = 4096;

inline void CheckRoundTrip(const std::vector<std::uint8_t>& Result) {
  if (Result.size() > FuzzMaxSize) std::abort();
  const auto& source = FuzzSource();
  if (ApplyPatch(source, CreatePatch(TPatchFormat::Bps, source, Result), FuzzMaxSize) != Result) std::abort();
  if (Result.size() >= source.size() &&
      ApplyPatch(source, CreatePatch(TPatchFormat::Ips, source, Result), FuzzMaxSize) != Result)
    std::abort();
}
