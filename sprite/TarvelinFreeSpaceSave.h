#pragma once
// The free map goes beside the ROM with each save, written atomically.

#include <filesystem>

#include "rom/TarvelinRomDocument.h"

// Writes Document's free map to RomPath's free-space file when there is something
// to keep: a map that was edited, or a map that is not empty going beside another
// file than the one it was read from. A file the user wrote is otherwise left as
// it is, comments and all, and so is one that could not be read at open unless
// the map was edited since. Call before the document takes the save as done.
void WriteFreeSpaceBeside(const TRomDocument& Document, const std::filesystem::path& RomPath);
