// make_demo_rom [path]: writes the demo ROM image.

#include <cstdio>
#include <string>

#include "host/Exception.h"
#include "sprite/TarvelinFiles.h"
#include "tools/DemoRom.h"

namespace {

constexpr const char* Usage = "usage: make_demo_rom [path]\n";

}  // namespace

int main(int argc, char** argv) {
  const std::string argument = argc == 2 ? argv[1] : "";
  if (argument == "--help" || argument == "-h") {
    std::fputs(Usage, stdout);
    std::fputs("Writes the demo ROM image to path (default tarvelin-demo.nes).\n", stdout);
    return 0;
  }
  // A name that looks like an option is one this program does not know; "./-x" names such a file.
  if (argc > 2 || (argument.size() > 1 && argument[0] == '-')) {
    std::fputs(Usage, stderr);
    return 2;
  }
  const std::string path = argc == 2 ? argument : "tarvelin-demo.nes";
  try {
    WriteFileAtomically(path, MakeDemoRom());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_demo_rom: %s\n", e.what());
    return 1;
  }
  return 0;
}
