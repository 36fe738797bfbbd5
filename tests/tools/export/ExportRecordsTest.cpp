// tarvelin-export --records: the records as text, with or without the pictures.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "records/TarvelinRecords.h"
#include "rom/TarvelinPatch.h"
#include "tests/support/FileTestSupport.h"
#include "tests/tools/export/ProgramTestSupport.h"
#include "tools/DemoRom.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& Path) {
  std::stringstream text;
  text << std::ifstream(Path, std::ios::binary).rdbuf();
  return text.str();
}

TEST(ExportRecordsTest, WritesTheRecordsAloneWithNoPictures) {
  TTestDirectory dir;
  const auto rom = MakeDemoRom();
  dir.Write("demo.nes", rom);
  // Pattern $1FF of bank "16" takes CHR bank $81 in the patched image.
  auto hack = rom;
  hack[static_cast<std::size_t>(DemoRom::Bank16LastPattern.FrameOffset)] = 0x81;
  dir.Write("hack.ips", CreatePatch(TPatchFormat::Ips, rom, hack));

  const auto run = program_test::RunProgram(
      TARVELIN_EXPORT_EXE,
      {"demo.nes", "out", "--records", "json", "--records", "ca65", "--records", "asm6", "--no-pictures"}, dir.Path());
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  // Nothing is drawn, so no word about a missing palette file either.
  EXPECT_EQ(run.Err, "");
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.Path() / "out"))
    names.push_back(entry.path().filename().string());
  std::ranges::sort(names);
  EXPECT_EQ(names, (std::vector<std::string>{"records.asm", "records.json", "records.s"}));
  EXPECT_EQ(Read(dir.Path() / "out" / "records.json"), WriteRecords(rom, TRecordsFormat::Json));
  EXPECT_EQ(Read(dir.Path() / "out" / "records.s"), WriteRecords(rom, TRecordsFormat::Ca65));

  const auto patched = program_test::RunProgram(
      TARVELIN_EXPORT_EXE, {"demo.nes", "hacked", "--patch", "hack.ips", "--records", "json", "--no-pictures"},
      dir.Path());
  ASSERT_EQ(patched.ExitCode, 0) << patched.Err;
  const std::string json = Read(dir.Path() / "hacked" / "records.json");
  EXPECT_NE(json.find(R"("$2C910": {"cpu": "$8900", "numbers": ["16:$1FF"], "chr": "$81")"), std::string::npos);

  const auto alone = program_test::RunProgram(TARVELIN_EXPORT_EXE, {"demo.nes", "none", "--no-pictures"}, dir.Path());
  EXPECT_EQ(alone.ExitCode, 2);
  EXPECT_NE(alone.Err.find("--no-pictures needs --records"), std::string::npos) << alone.Err;
  const auto unknown =
      program_test::RunProgram(TARVELIN_EXPORT_EXE, {"demo.nes", "none", "--records", "xml"}, dir.Path());
  EXPECT_EQ(unknown.ExitCode, 2);
  EXPECT_FALSE(fs::exists(dir.Path() / "none"));
}

}  // namespace
