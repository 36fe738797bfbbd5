// The records.json reader: any text is planned against the demo ROM or refused
// with a message; a plan writes each offset once, inside the image, from the
// byte the image holds.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <span>
#include <vector>

#include "records/TarvelinRecords.h"
#include "tools/DemoRom.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  static const std::vector<std::uint8_t> demo = MakeDemoRom();
  // A first byte below $20 shortens the image, so changes past its end are met as well.
  std::span<const std::uint8_t> image(demo);
  if (Size > 0 && Data[0] < 0x20) image = image.first(0x24010 + Data[0] * 0x400);
  try {
    const TRomChange change = PlanRecordsImport(image, std::span(reinterpret_cast<const char*>(Data), Size));
    std::set<int> offsets;
    for (const TByteWrite& write : change.Writes) {
      if (write.Offset < 16 || static_cast<std::size_t>(write.Offset) >= image.size()) std::abort();
      if (write.Old != image[static_cast<std::size_t>(write.Offset)] || write.Old == write.New) std::abort();
      if (!offsets.insert(write.Offset).second) std::abort();
    }
  } catch (const ERecordsError& E) {
    if (E.Message().empty()) std::abort();
  }
  return 0;
}
