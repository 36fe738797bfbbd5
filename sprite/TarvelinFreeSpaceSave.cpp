#include "sprite/TarvelinFreeSpaceSave.h"

#include "rom/TarvelinFreeSpaceFile.h"
#include "sprite/TarvelinFiles.h"

void WriteFreeSpaceBeside(const TRomDocument& Document, const std::filesystem::path& RomPath) {
  const std::filesystem::path path = FreeSpaceFileName(RomPath.string());
  const bool elsewhere = path != std::filesystem::path(FreeSpaceFileName(Document.GetFileName()));
  const bool keep = Document.IsFreeSpaceModified() ||
                    (Document.FreeSpaceError().empty() && !Document.FreeSpace().Empty() && elsewhere);
  if (!keep) return;
  const std::string text = FormatFreeSpace(Document.FreeSpace());
  WriteFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}
