#include "rom/TarvelinPatch.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <string_view>

#include "host/Translate.h"
#include "rom/TarvelinBpsPatch.h"
#include "rom/TarvelinIpsPatch.h"

std::uint32_t Crc32(std::span<const std::uint8_t> Bytes) {
  uLong crc = crc32(0L, Z_NULL, 0);
  // zlib takes at most a uInt at a time.
  for (std::size_t done = 0; done < Bytes.size();) {
    const std::size_t part = std::min<std::size_t>(Bytes.size() - done, std::numeric_limits<uInt>::max());
    crc = crc32(crc, Bytes.data() + done, static_cast<uInt>(part));
    done += part;
  }
  return static_cast<std::uint32_t>(crc);
}

std::vector<std::uint8_t> ApplyPatch(std::span<const std::uint8_t> Source, std::span<const std::uint8_t> Patch,
                                     std::size_t MaxSize) {
  const auto startsWith = [&](std::string_view Text) {
    return Patch.size() >= Text.size() && std::equal(Text.begin(), Text.end(), Patch.begin());
  };
  if (startsWith("PATCH")) return ApplyIpsPatch(Source, Patch, MaxSize);
  if (startsWith("BPS1")) return ApplyBpsPatch(Source, Patch, MaxSize);
  throw EPatchError(Translate("TarvelinPatch", "IPSパッチでもBPSパッチでもありません"));
}

std::vector<std::uint8_t> CreatePatch(TPatchFormat Format, std::span<const std::uint8_t> Source,
                                      std::span<const std::uint8_t> Target) {
  return Format == TPatchFormat::Ips ? CreateIpsPatch(Source, Target) : CreateBpsPatch(Source, Target);
}
