#include "rom/TarvelinRecoveryJournal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rom/TarvelinBpsPatch.h"
#include "rom/TarvelinFileIO.h"
#include "rom/TarvelinPatch.h"

namespace {

constexpr char Signature[] = "tarvelin-recovery\n";
constexpr std::size_t FooterSize = 12;

std::uint32_t Le32(const std::uint8_t* At) {
  return static_cast<std::uint32_t>(At[0]) | static_cast<std::uint32_t>(At[1]) << 8 |
         static_cast<std::uint32_t>(At[2]) << 16 | static_cast<std::uint32_t>(At[3]) << 24;
}

// A BPS number at At, advancing it; none when cut short or larger than any ROM needs.
std::optional<std::uint64_t> Number(std::span<const std::uint8_t> Bytes, std::size_t& At) {
  std::uint64_t value = 0, shift = 1;
  while (At < Bytes.size()) {
    const std::uint8_t x = Bytes[At++];
    value += (x & 0x7Fu) * shift;
    if (x & 0x80) return value;
    shift <<= 7;
    value += shift;
    if (shift > (std::uint64_t{1} << 35)) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::uint8_t> CreateRecoveryJournal(std::span<const std::uint8_t> Base,
                                                std::span<const std::uint8_t> Edited, const std::string& Rom,
                                                const std::string& Patch) {
  // Paths cannot hold a NUL, so one separates them.
  return CreateBpsPatch(Base, Edited, std::string(Signature) + Rom + '\0' + Patch);
}

std::optional<TRecoveryJournalInfo> ReadRecoveryJournalInfo(std::span<const std::uint8_t> Journal) {
  if (Journal.size() < 4 + FooterSize || std::memcmp(Journal.data(), "BPS1", 4) != 0) return std::nullopt;
  const std::size_t body = Journal.size() - 4;
  if (Crc32(Journal.first(body)) != Le32(Journal.data() + body)) return std::nullopt;
  std::size_t at = 4;
  const auto sourceSize = Number(Journal, at);
  const auto targetSize = Number(Journal, at);
  const auto metadataSize = Number(Journal, at);
  if (!sourceSize || !targetSize || !metadataSize || at > Journal.size() - FooterSize ||
      *metadataSize > Journal.size() - FooterSize - at)
    return std::nullopt;
  const std::string metadata(reinterpret_cast<const char*>(Journal.data() + at), static_cast<std::size_t>(*metadataSize));
  const std::size_t signature = std::strlen(Signature);
  const auto nul = metadata.find('\0', signature);
  if (metadata.compare(0, signature, Signature) != 0 || nul == std::string::npos) return std::nullopt;
  TRecoveryJournalInfo info;
  info.Rom = metadata.substr(signature, nul - signature);
  info.Patch = metadata.substr(nul + 1);
  info.BaseSize = *sourceSize;
  info.BaseCrc = Le32(Journal.data() + Journal.size() - FooterSize);
  return info;
}

bool RecoveryJournalFits(const TRecoveryJournalInfo& Info, std::span<const std::uint8_t> Base) {
  return Info.BaseSize == Base.size() && Info.BaseCrc == Crc32(Base);
}

std::vector<std::uint8_t> ApplyRecoveryJournal(std::span<const std::uint8_t> Base,
                                               std::span<const std::uint8_t> Journal) {
  return ApplyBpsPatch(Base, Journal, RomImageSize);
}

std::filesystem::path RecoveryFolder() {
  std::filesystem::path state;
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && *xdg == '/') state = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home) state = std::filesystem::path(home) / ".local/state";
  else state = "/tmp";
  return state / "tarvelin-sprite-viewer" / "recovery";
}

std::filesystem::path RecoveryJournalPath(const std::filesystem::path& Folder, const std::string& Rom,
                                          const std::string& Patch) {
  const std::string key = Rom + '\0' + Patch;
  const std::uint32_t crc = Crc32({reinterpret_cast<const std::uint8_t*>(key.data()), key.size()});
  char name[32];
  std::snprintf(name, sizeof name, "%08X-%zu.bps", static_cast<unsigned>(crc), key.size());
  return Folder / name;
}
