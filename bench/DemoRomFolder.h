#pragma once
// A folder of a benchmark's own holding the demo ROM and the palette file, removed at exit.

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "sprite/NesPalette.h"
#include "sprite/TarvelinFiles.h"
#include "tools/DemoRom.h"

struct TDemoRomFolder {
  // Name and the process id make the folder's name, in Parent.
  TDemoRomFolder(const std::filesystem::path& Parent, const std::string& Name)
      : Path(Parent / (Name + "-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(Path);
    WriteNewFile(Rom, MakeDemoRom());
    const auto& palette = NesMasterPalette();
    WriteNewFile(Palette, std::vector<std::uint8_t>(palette.begin(), palette.end()));
  }
  ~TDemoRomFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
  }
  TDemoRomFolder(const TDemoRomFolder&) = delete;
  TDemoRomFolder& operator=(const TDemoRomFolder&) = delete;

  std::filesystem::path Path;
  std::filesystem::path Rom = Path / "demo.nes";
  std::filesystem::path Palette = Path / "fcpalette.pal";
};
