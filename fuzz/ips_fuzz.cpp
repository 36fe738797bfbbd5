// The IPS reader over any bytes, applied to a fixed 64-byte file.

#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz/PatchFuzzSupport.h"
#include "rom/TarvelinIpsPatch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  try {
    CheckRoundTrip(ApplyIpsPatch(FuzzSource(), std::span<const std::uint8_t>(Data, Size), FuzzMaxSize));
  } catch (const EPatchError&) {
  }
  return 0;
}
