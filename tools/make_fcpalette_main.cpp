// make_fcpalette [path]: writes the built-in master palette as the viewer's
// 192-byte palette file.

#include <cstdio>
#include <string>

#include "host/Classes.h"
#include "host/Exception.h"
#include "sprite/NesPalette.h"

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "usage: make_fcpalette [path]\n");
    return 2;
  }
  const std::string path = argc == 2 ? argv[1] : "fcpalette.pal";
  try {
    const auto& palette = NesMasterPalette();
    TFileStream file(path, fmCreate);
    file.WriteBuffer(palette.data(), static_cast<std::int64_t>(palette.size()));
  } catch (const Exception& e) {
    std::fprintf(stderr, "make_fcpalette: %s\n", e.what());
    return 1;
  }
  return 0;
}
