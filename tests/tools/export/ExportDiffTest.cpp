// tarvelin-export --diff: what another ROM or a patch changes, and only those pictures.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "rom/TarvelinPatch.h"
#include "sprite/NesPalette.h"
#include "tests/support/FileTestSupport.h"
#include "tests/tools/export/ProgramTestSupport.h"
#include "tools/DemoRom.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> FilesIn(const fs::path& Folder) {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(Folder))
    if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), Folder).string());
  return files;
}

std::string Text(const fs::path& File) {
  std::stringstream text;
  text << std::ifstream(File).rdbuf();
  return text.str();
}

TEST(ExportDiffTest, ListsWhatAnotherRomOrAPatchChangesAndDrawsOnlyThat) {
  TTestDirectory dir;
  const auto rom = MakeDemoRom();
  dir.Write("demo.nes", rom);
  const auto& master = NesMasterPalette();
  dir.Write("fcpalette.pal", std::vector<std::uint8_t>(master.begin(), master.end()));
  // Pattern $1FF of bank "16" takes CHR bank $81; animation $FF of that bank shows it.
  auto hack = rom;
  const auto& p = DemoRom::Bank16LastPattern;
  hack[static_cast<std::size_t>(p.FrameOffset)] = 0x81;
  dir.Write("hack.nes", hack);
  dir.Write("hack.bps", CreatePatch(TPatchFormat::Bps, rom, hack));
  dir.Write("hack.ips", CreatePatch(TPatchFormat::Ips, rom, hack));
  char row[64];
  std::snprintf(row, sizeof row, "pattern,16,1FF,%X,%X\n", p.FrameOffset, p.FrameOffset);
  const std::string csv = std::string("kind,bank,number,old_address,new_address\n") + row;
  const std::set<std::string> pictures = {"diff.csv",           "index.csv",          "sprite/16/1FF.png",
                                          "patterntable/16/1FF.png", "animation/16/FF.gif", "animation/16/FF.txt"};
  for (const char* other : {"hack.nes", "hack.bps", "hack.ips"}) {
    const std::string out = std::string("out-") + other;
    const auto run = program_test::RunProgram(TARVELIN_EXPORT_EXE, {"demo.nes", out, "--diff", other, "-q"}, dir.Path());
    ASSERT_EQ(run.ExitCode, 0) << other << run.Err;
    EXPECT_EQ(Text(dir.Path() / out / "diff.csv"), csv) << other;
    EXPECT_EQ(FilesIn(dir.Path() / out), pictures) << other;
    // Drawn as the other image has it.
    EXPECT_NE(Text(dir.Path() / out / "index.csv").find(",81,60410,"), std::string::npos) << other;
  }
  const auto same = program_test::RunProgram(TARVELIN_EXPORT_EXE, {"demo.nes", "same", "--diff", "demo.nes"}, dir.Path());
  ASSERT_EQ(same.ExitCode, 0) << same.Err;
  EXPECT_EQ(FilesIn(dir.Path() / "same"), (std::set<std::string>{"diff.csv", "index.csv"}));

  dir.Write("junk", std::vector<std::uint8_t>{'x'});
  const auto refused = program_test::RunProgram(TARVELIN_EXPORT_EXE, {"demo.nes", "refused", "--diff", "junk"}, dir.Path());
  EXPECT_EQ(refused.ExitCode, 1);
  EXPECT_NE(refused.Err.find("tarvelin-export: junk: "), std::string::npos) << refused.Err;
  EXPECT_FALSE(fs::exists(dir.Path() / "refused"));
}

}  // namespace
