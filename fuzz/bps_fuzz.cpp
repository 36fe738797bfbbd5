// The BPS reader over any bytes, applied to a fixed 64-byte file.
//
// Input: first byte even: the rest is the patch as it stands. First byte odd:
// the rest with its source CRC and its own CRC made right, so mutations reach
// the actions past the checksums (the target CRC is left as it comes).

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz/PatchFuzzSupport.h"
#include "rom/TarvelinBpsPatch.h"

namespace {

void PutLe32(std::uint8_t* At, std::uint32_t Value) {
  for (int i = 0; i < 4; ++i) At[i] = static_cast<std::uint8_t>(Value >> (8 * i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0) return 0;
  std::vector<std::uint8_t> patch(Data + 1, Data + Size);
  if (Data[0] % 2 == 1 && patch.size() >= 12) {
    const std::size_t footer = patch.size() - 12;
    PutLe32(patch.data() + footer, Crc32(FuzzSource()));
    PutLe32(patch.data() + footer + 8, Crc32(std::span<const std::uint8_t>(patch).first(footer + 8)));
  }
  try {
    CheckRoundTrip(ApplyBpsPatch(FuzzSource(), patch, FuzzMaxSize));
  } catch (const EPatchError&) {
  }
  return 0;
}
