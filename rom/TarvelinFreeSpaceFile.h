#pragma once
// The free map's file beside the ROM, NAME.nes.tarvelin-free: a first line
// "TARVELIN free space 1", then one range a line as its first and last file
// offset in hex ("$2A000 $2A0FF"); blank lines and lines starting with '#' are
// skipped. Ranges lie in PRG-ROM; overlapping ones are joined.

#include <optional>
#include <string>
#include <string_view>

#include "host/Exception.h"
#include "rom/TarvelinFreeSpace.h"

// A free-space file that cannot be read as one; the message names the line.
// English() says the same for the command-line tools.
class EFreeSpaceError : public Exception {
public:
  EFreeSpaceError(std::string Message, std::string English)
      : Exception(std::move(Message)), FEnglish(std::move(English)) {}
  const std::string& English() const { return FEnglish; }

private:
  std::string FEnglish;
};

inline constexpr const char* FreeSpaceFileSuffix = ".tarvelin-free";
inline constexpr std::size_t MaxFreeSpaceFileSize = 1 << 20;

std::string FreeSpaceFileName(const std::string& RomFileName);
std::string FormatFreeSpace(const TFreeMap& Free);
TFreeMap ParseFreeSpace(std::string_view Text);
// The map beside RomFileName, or nothing when it has none. Raises EFreeSpaceError
// for a file that is there but unreadable or malformed.
std::optional<TFreeMap> ReadFreeSpaceFile(const std::string& RomFileName);
