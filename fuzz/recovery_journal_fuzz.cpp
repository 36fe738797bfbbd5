// The recovery journal's reader over any bytes: with its own CRC made right
// (first byte odd), mutations reach the metadata; a journal it accepts is then
// applied to a fixed base, which it must refuse or patch without fault.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz/PatchFuzzSupport.h"
#include "host/Exception.h"
#include "rom/TarvelinPatch.h"
#include "rom/TarvelinRecoveryJournal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0) return 0;
  std::vector<std::uint8_t> journal(Data + 1, Data + Size);
  if (Data[0] % 2 == 1 && journal.size() >= 4) {
    const std::size_t body = journal.size() - 4;
    const std::uint32_t crc = Crc32(std::span<const std::uint8_t>(journal).first(body));
    for (int i = 0; i < 4; ++i) journal[body + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (8 * i));
  }
  const auto info = ReadRecoveryJournalInfo(journal);
  if (!info) return 0;
  if (!RecoveryJournalFits(*info, FuzzSource())) return 0;
  try {
    static_cast<void>(ApplyRecoveryJournal(FuzzSource(), journal));
  } catch (const Exception&) {
  }
  return 0;
}
