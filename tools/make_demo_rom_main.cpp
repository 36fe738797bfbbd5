// make_demo_rom [path]: writes the demo ROM image.

#include <cstdio>
#include <string>

#include "host/Classes.h"
#include "host/Exception.h"
#include "tools/DemoRom.h"

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "usage: make_demo_rom [path]\n");
    return 2;
  }
  const std::string path = argc == 2 ? argv[1] : "tarvelin-demo.nes";
  try {
    const auto image = MakeDemoRom();
    TFileStream file(path, fmCreate);
    file.WriteBuffer(image.data(), static_cast<std::int64_t>(image.size()));
  } catch (const Exception& e) {
    std::fprintf(stderr, "make_demo_rom: %s\n", e.what());
    return 1;
  }
  return 0;
}
