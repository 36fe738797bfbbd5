// tarvelin-export --patch: a hack's sprites exported without a patched file.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "rom/TarvelinPatch.h"
#include "tests/support/FileTestSupport.h"
#include "tests/tools/export/ProgramTestSupport.h"
#include "tools/DemoRom.h"
#include "sprite/NesPalette.h"

namespace {

namespace fs = std::filesystem;

TEST(ExportPatchTest, ExportsThePatchedImageAndRefusesAPatchForAnotherRom) {
  TTestDirectory dir;
  const auto rom = MakeDemoRom();
  dir.Write("demo.nes", rom);
  const auto& master = NesMasterPalette();
  dir.Write("fcpalette.pal", std::vector<std::uint8_t>(master.begin(), master.end()));
  // Pattern $1FF of bank "16" takes CHR bank $81 (at $81 x $400 + $40010 = $60410) instead of $80.
  auto hack = rom;
  const auto& p = DemoRom::Bank16LastPattern;
  ASSERT_EQ(hack[static_cast<std::size_t>(p.FrameOffset)], 0x80);
  hack[static_cast<std::size_t>(p.FrameOffset)] = 0x81;
  dir.Write("hack.bps", CreatePatch(TPatchFormat::Bps, rom, hack));
  auto other = rom;
  other[0x100] ^= 1;
  dir.Write("other.bps", CreatePatch(TPatchFormat::Bps, other, hack));

  const std::vector<std::string> only = {"--bank", "16", "--sprite", "1FF"};
  auto arguments = [&](const char* Out, const char* Patch) {
    std::vector<std::string> all = {"demo.nes", Out, "--patch", Patch};
    all.insert(all.end(), only.begin(), only.end());
    return all;
  };
  const auto run = program_test::RunProgram(TARVELIN_EXPORT_EXE, arguments("out", "hack.bps"), dir.Path());
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  std::stringstream csv;
  csv << std::ifstream(dir.Path() / "out" / "index.csv").rdbuf();
  EXPECT_NE(csv.str().find("\nsprite,16,1FF,"), std::string::npos) << csv.str();
  EXPECT_NE(csv.str().find(",81,60410,"), std::string::npos) << csv.str();

  const auto refused = program_test::RunProgram(TARVELIN_EXPORT_EXE, arguments("refused", "other.bps"), dir.Path());
  EXPECT_EQ(refused.ExitCode, 1);
  EXPECT_NE(refused.Err.find("tarvelin-export: BPSパッチ: このROMに当てるパッチではありません"), std::string::npos)
      << refused.Err;
  EXPECT_FALSE(fs::exists(dir.Path() / "refused"));
}

}  // namespace
