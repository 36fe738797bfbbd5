// tarvelin-import as built, on what tarvelin-export wrote: pictures brought back
// unchanged change no byte, one changed pixel changes its two plane bits, and a
// refusal writes nothing.

#include <gtest/gtest.h>

#include <QImage>
#include <fstream>
#include <iterator>
#include <random>

#include "sprite/NesPalette.h"
#include "tests/support/FileTestSupport.h"
#include "tests/tools/export/ProgramTestSupport.h"
#include "tools/DemoRom.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Read(const fs::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Hex3(int Number) {
  char text[8];
  std::snprintf(text, sizeof text, "%03X", static_cast<unsigned>(Number));
  return text;
}

const char* const Banks[] = {"12-13", "14-15", "16"};

void WritePalette(const TTestDirectory& Dir) {
  const auto& master = NesMasterPalette();
  Dir.Write("fcpalette.pal", std::vector<std::uint8_t>(master.begin(), master.end()));
}

// Exports every pattern of every bank, imports every picture back, and expects the same image.
void ExpectRoundTrip(const std::vector<std::uint8_t>& Rom, const char* Format) {
  TTestDirectory dir;
  dir.Write("rom.nes", Rom);
  WritePalette(dir);
  std::vector<std::string> exportArguments = {"rom.nes", "out", "--quiet", "--format", Format};
  for (int n = 0; n < 512; ++n) exportArguments.insert(exportArguments.end(), {"--sprite", Hex3(n)});
  const auto exported = program_test::RunProgram(TARVELIN_EXPORT_EXE, exportArguments, dir.Path());
  ASSERT_EQ(exported.ExitCode, 0) << exported.Err;
  std::vector<std::string> arguments = {"rom.nes", "back.nes"};
  for (const char* bank : Banks)
    for (int n = 0; n < 512; ++n) {
      const std::string name = Hex3(n) + "." + Format;
      arguments.insert(arguments.end(), {"--pattern-table", "out/patterntable/" + std::string(bank) + "/" + name,
                                         "--bank", bank, "--sprite", Hex3(n), "--sprite-picture",
                                         "out/sprite/" + std::string(bank) + "/" + name, "--bank", bank, "--sprite",
                                         Hex3(n)});
    }
  const auto run = program_test::RunProgram(TARVELIN_IMPORT_EXE, arguments, dir.Path());
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.Err, "");
  // One line per picture, each changing nothing.
  std::size_t lines = 0, unchanged = 0;
  for (std::size_t at = 0; (at = run.Out.find('\n', at)) != std::string::npos; ++at) ++lines;
  for (std::size_t at = 0; (at = run.Out.find(": 0 tiles, 0 bytes changed\n", at)) != std::string::npos; ++at) ++unchanged;
  EXPECT_EQ(lines, 3u * 512 * 2) << run.Out.substr(0, 2000);
  EXPECT_EQ(unchanged, 3u * 512 * 2);
  EXPECT_TRUE(Read(dir.Path() / "back.nes") == Rom);
}

TEST(ImportRoundTripTest, EveryPatternOfTheDemoRomComesBackUnchanged) { ExpectRoundTrip(MakeDemoRom(), "png"); }

TEST(ImportRoundTripTest, EveryPatternOfTheDemoRomComesBackUnchangedFromBmp) { ExpectRoundTrip(MakeDemoRom(), "bmp"); }

TEST(ImportRoundTripTest, EveryPatternOfASeededRandomRomComesBackUnchanged) {
  auto rom = MakeDemoRom();  // its header, random bytes behind it
  std::mt19937 random(28);
  std::uniform_int_distribution<int> byte(0, 255);
  for (std::size_t i = 16; i < rom.size(); ++i) rom[i] = static_cast<std::uint8_t>(byte(random));
  ExpectRoundTrip(rom, "png");
}

class ImportToolTest : public ::testing::Test {
protected:
  void SetUp() override {
    FRom = MakeDemoRom();
    FDir.Write("demo.nes", FRom);
    WritePalette(FDir);
    const auto run = program_test::RunProgram(
        TARVELIN_EXPORT_EXE, {"demo.nes", "out", "--quiet", "--bank", "12-13", "--sprite", "8", "--sprite", "1"},
        FDir.Path());
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
  }
  program_test::TRun Import(std::vector<std::string> Arguments) {
    Arguments.insert(Arguments.begin(), "demo.nes");
    return program_test::RunProgram(TARVELIN_IMPORT_EXE, Arguments, FDir.Path());
  }
  TTestDirectory FDir;
  std::vector<std::uint8_t> FRom;
};

TEST_F(ImportToolTest, OnePixelChangesItsTwoPlaneBits) {
  // Pattern $008 loads CHR bank $0A at offset 2 (bands 2 and 3: banks $0A, $0B). Pixel (10, 65) is band 2,
  // tile $01, tile pixel (2, 1): file offset $40010 + $0A x $400 + $10 + 1 = $42821 and + 8, bit $20.
  QImage table(QString::fromStdString((FDir.Path() / "out/patterntable/12-13/008.png").string()));
  ASSERT_EQ(table.format(), QImage::Format_Indexed8);
  const int old = table.pixelIndex(10, 65);
  table.setPixel(10, 65, old ^ 3);
  ASSERT_TRUE(table.save(QString::fromStdString((FDir.Path() / "edited.png").string())));
  const auto run = Import({"edited.nes", "--pattern-table", "edited.png", "--bank", "12-13", "--sprite", "8"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const auto edited = Read(FDir.Path() / "edited.nes");
  ASSERT_EQ(edited.size(), FRom.size());
  std::vector<std::size_t> differ;
  for (std::size_t i = 0; i < FRom.size(); ++i)
    if (edited[i] != FRom[i]) differ.push_back(i);
  EXPECT_EQ(differ, (std::vector<std::size_t>{0x42821, 0x42829}));
  for (const std::size_t i : differ) EXPECT_EQ(edited[i] ^ FRom[i], 0x20);
  EXPECT_NE(run.Out.find("edited.png: 1 tiles, 2 bytes changed"), std::string::npos) << run.Out;
  // The patch form of the same change, from the ROM as read.
  const auto patch = Import({"edited.ips", "--pattern-table", "edited.png", "--bank", "12-13", "--sprite", "8", "-q"});
  ASSERT_EQ(patch.ExitCode, 0) << patch.Err;
  EXPECT_EQ(patch.Out, "");
  EXPECT_EQ(Read(FDir.Path() / "edited.ips"),
            (std::vector<std::uint8_t>{'P', 'A', 'T', 'C', 'H', 0x04, 0x28, 0x21, 0x00, 0x01, edited[0x42821], 0x04, 0x28,
                                       0x29, 0x00, 0x01, edited[0x42829], 'E', 'O', 'F'}));
}

TEST_F(ImportToolTest, NamesThePatternsThatShareTheTiles) {
  // Tile $00 of CHR bank $00 is what every pattern number the demo lists no record for draws ($00D first).
  ASSERT_EQ(program_test::RunProgram(TARVELIN_EXPORT_EXE, {"demo.nes", "out", "--quiet", "--bank", "12-13", "--sprite", "0"},
                                     FDir.Path()).ExitCode, 0);
  QImage table(QString::fromStdString((FDir.Path() / "out/patterntable/12-13/000.png").string()));
  table.setPixel(0, 0, table.pixelIndex(0, 0) ^ 3);
  ASSERT_TRUE(table.save(QString::fromStdString((FDir.Path() / "zero.png").string())));
  const auto run = Import({"x.nes", "--pattern-table", "zero.png", "--bank", "12-13", "--sprite", "0"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_NE(run.Out.find("zero.png: 1 tiles, 2 bytes changed\n  also shown by "), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find(" other patterns: 12-13:$00D 12-13:$00E 12-13:$00F 12-13:$013 "), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find(" more\n"), std::string::npos) << run.Out;
}

TEST_F(ImportToolTest, RefusalsWriteNothingAndUsageErrorsExitTwo) {
  // The pattern table given as the sprite picture: the wrong size.
  auto run = Import({"x.nes", "--sprite-picture", "out/patterntable/12-13/008.png", "--bank", "12-13", "--sprite", "8"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("128 x 128"), std::string::npos) << run.Err;
  EXPECT_FALSE(fs::exists(FDir.Path() / "x.nes"));
  // A pixel in band 0, which pattern $008 leaves empty.
  QImage table(QString::fromStdString((FDir.Path() / "out/patterntable/12-13/008.png").string()));
  table.setPixel(3, 4, 1);
  ASSERT_TRUE(table.save(QString::fromStdString((FDir.Path() / "band.png").string())));
  run = Import({"x.nes", "--pattern-table", "band.png", "--bank", "12-13", "--sprite", "8"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("pixel (3,4), tile $00 pixel (3,4) of the tile"), std::string::npos) << run.Err;
  EXPECT_FALSE(fs::exists(FDir.Path() / "x.nes"));
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"x.nes", "--bank", "12-13"},
           {"x.nes", "--pattern-table", "band.png", "--sprite", "8"},
           {"x.nes", "--pattern-table", "band.png", "--bank", "12-13", "--sprite", "200"},
           {"x.txt"},
           {"x.nes", "--chr", "a.chr"}}) {
    run = Import(arguments);
    EXPECT_EQ(run.ExitCode, 2) << arguments.back();
    EXPECT_FALSE(fs::exists(FDir.Path() / "x.nes"));
  }
  // Written even when nothing changed.
  run = Import({"same.nes"});
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_TRUE(Read(FDir.Path() / "same.nes") == FRom);
}

TEST_F(ImportToolTest, StepsApplyInTheOrderGiven) {
  // Bank $0A as raw CHR, then the pattern table of $008 drawn before it: the picture wins.
  std::vector<std::uint8_t> ones(1024, 0xFF);
  FDir.Write("ones.chr", ones);
  auto run = Import({"a.nes", "--chr", "ones.chr", "--chr-bank", "0A", "--pattern-table", "out/patterntable/12-13/008.png",
                     "--bank", "12-13", "--sprite", "8"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_TRUE(Read(FDir.Path() / "a.nes") == FRom);
  run = Import({"b.nes", "--pattern-table", "out/patterntable/12-13/008.png", "--bank", "12-13", "--sprite", "8",
                "--chr", "ones.chr", "--chr-bank", "a"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const auto b = Read(FDir.Path() / "b.nes");
  EXPECT_TRUE(std::equal(b.begin() + 0x42810, b.begin() + 0x42C10, ones.begin()));
}

}  // namespace
