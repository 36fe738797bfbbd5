#pragma once
// The free map goes beside the ROM with each save, written atomically.

#include <filesystem>

#include "rom/TarvelinRomDocument.h"

// Writes Document's free map to RomPath's free-space file when there is something
// to keep: a map that was edited, or a readable map that is not empty or whose
// file is there already. A file beside the ROM that could not be read at open is
// left as it was unless the map was edited since. Call before Document.Saved.
void WriteFreeSpaceBeside(const TRomDocument& Document, const std::filesystem::path& RomPath);
