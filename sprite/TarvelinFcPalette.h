#pragma once
// The NES master palette as read from "fcpalette.pal": 64 RGB triples.

#include <array>
#include <cstdint>
#include <string>

class TFcPaletteData {
public:
  // Reads the file (a bare name resolves against the current directory). A
  // size other than 192 bytes is reported and the load goes on; a file that
  // cannot be opened raises EFOpenError.
  explicit TFcPaletteData(const std::string& FileName);
  // From bytes already in memory, such as the built-in copy.
  explicit TFcPaletteData(const std::array<std::uint8_t, 192>& Data);

  // 0x00BBGGRR colour of NES colour number Index.
  std::uint32_t GetColor(int Index) const { return FColors[static_cast<std::size_t>(Index & 0x3F)]; }
  const std::array<std::uint8_t, 192>& GetData() const { return FData; }

private:
  void MakeColors();

  std::array<std::uint8_t, 192> FData{};
  std::array<std::uint32_t, 64> FColors{};
};
