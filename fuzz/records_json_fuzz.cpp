// The records.json reader: any text is planned against the demo ROM or refused
// with a message; a plan writes each offset once, inside the image, from the
// byte the image holds. With a free map, counts may change: the records that
// move go only into the map, whose bytes the plan takes from it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <span>
#include <vector>

#include "records/TarvelinRecords.h"
#include "tools/DemoRom.h"

namespace {

// The demo ROM loaded into a document of its own, with $27000-$270FF declared free.
const TRomDocument& Document() {
  static auto prg = std::make_unique<TPrgData>();
  static auto chr = std::make_unique<TChrData>();
  static const auto document = [] {
    auto loaded = std::make_unique<TRomDocument>(*prg, *chr);
    const auto path = std::filesystem::temp_directory_path() / "records_json_fuzz.nes";
    const std::vector<std::uint8_t> demo = MakeDemoRom();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(demo.data()), static_cast<std::streamsize>(demo.size()));
    if (!loaded->Load(path.string())) std::abort();
    std::filesystem::remove(path);
    return loaded;
  }();
  return *document;
}

void Grow(std::span<const char> Json) {
  const TFreeMap free({{0x27000, 0x27100}});
  const TRomDocument& document = Document();
  try {
    const TRomPlan plan = PlanRecordsImport(document, free, Json);
    std::set<int> offsets;
    for (const TByteWrite& write : plan.Change.Writes) {
      if (write.Offset < 16 || static_cast<std::size_t>(write.Offset) >= document.Size()) std::abort();
      if (write.Old != document.Byte(write.Offset) || write.Old == write.New) std::abort();
      if (!offsets.insert(write.Offset).second) std::abort();
    }
    for (const TFileRange& range : free.Ranges())
      for (int i = range.First; i < range.End; ++i)
        if (offsets.contains(i) && plan.FreeAfter.Covers({i, i + 1})) std::abort();
  } catch (const ERecordsError& E) {
    if (E.Message().empty()) std::abort();
  } catch (const ERomEditError& E) {
    if (E.Message().empty()) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  static const std::vector<std::uint8_t> demo = MakeDemoRom();
  Grow(std::span(reinterpret_cast<const char*>(Data), Size));
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
