// The free-space file's reader over any bytes: whatever it accepts lies in PRG-ROM,
// sorted and apart, and reads back the same once written.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "rom/TarvelinFreeSpaceFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  try {
    const TFreeMap free = ParseFreeSpace(std::string_view(reinterpret_cast<const char*>(Data), Size));
    int end = 0;
    for (const TFileRange& range : free.Ranges()) {
      if (range.First <= end || range.End <= range.First || range.End > static_cast<int>(sizeof(TPrgData)))
        std::abort();
      end = range.End;
    }
    if (!(ParseFreeSpace(FormatFreeSpace(free)) == free)) std::abort();
  } catch (const EFreeSpaceError&) {
  }
  return 0;
}
