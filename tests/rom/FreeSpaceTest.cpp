// The free-space file and the detection's proposals, worked out by hand.

#include <gtest/gtest.h>

#include <memory>

#include "rom/TarvelinFreeSpaceFile.h"
#include "rom/TarvelinRomDocument.h"
#include "tests/rom/RomTestSupport.h"
#include "tests/support/FileTestSupport.h"

namespace {

std::string Ranges(const TFreeMap& Free) {
  std::string text;
  for (const TFileRange& r : Free.Ranges()) text += FormatRange(r) + " ";
  return text;
}

TEST(FreeSpaceFileTest, ReadsRangesAndRefusesAnythingElseNamingTheLine) {
  const std::string head = "TARVELIN free space 1\n";
  const struct {
    std::string Text;
    std::string Expected;  // the ranges, or the message
  } cases[] = {
      {head + "$2A000 $2A0FF\n", "$2A000-$2A0FF "},
      {"# mine\r\n\r\n" + head + "  2a000\t$2A00f \r\n# more\n$00010 $00010", "$00010-$00010 $2A000-$2A00F "},
      {head + "$100 $1FF\n$180 $2FF\n$300 $30F\n", "$00100-$0030F "},
      {head, ""},
      {"", "空き領域ファイルが空です"},
      {"# only\n", "空き領域ファイルが空です"},
      {"TARVELIN free space 2\n",
       "空き領域ファイルの 1 行目: \"TARVELIN free space 1\" で始まる空き領域ファイルではありません"},
      {head + "$2A000\n", "空き領域ファイルの 2 行目: 最初と最後のファイル位置が要ります"},
      {head + "\n$2A0FF $2A000\n", "空き領域ファイルの 3 行目: 最初の位置が最後の位置より後ろです"},
      {head + "$0000F $00010\n", "空き領域ファイルの 2 行目: PRG-ROM ($00010-$4000F) の外です"},
      {head + "$40000 $40010\n", "空き領域ファイルの 2 行目: PRG-ROM ($00010-$4000F) の外です"},
      {head + "$2G000 $2A000\n", "空き領域ファイルの 2 行目: 16 進のファイル位置が要ります"},
      {head + "$ $2A000\n", "空き領域ファイルの 2 行目: 16 進のファイル位置が要ります"},
      {head + "$1000000 $1000001\n", "空き領域ファイルの 2 行目: 16 進のファイル位置が要ります"},
      {head + "$2A000 $2A001 $2A002\n", "空き領域ファイルの 2 行目: 16 進のファイル位置が要ります"},
      {std::string(MaxFreeSpaceFileSize + 1, '#'), "空き領域ファイルが大きすぎます"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text.substr(0, 80));
    std::string got;
    try {
      const TFreeMap free = ParseFreeSpace(c.Text);
      got = Ranges(free);
      EXPECT_EQ(ParseFreeSpace(FormatFreeSpace(free)), free);
    } catch (const EFreeSpaceError& Error) {
      got = Error.what();
    }
    EXPECT_EQ(got, c.Expected);
  }
}

TEST(FreeSpaceFileTest, LivesBesideTheRomAndIsOptional) {
  TTestDirectory dir;
  const std::string rom = (dir.Path() / "game.nes").string();
  EXPECT_EQ(FreeSpaceFileName(rom), rom + ".tarvelin-free");
  EXPECT_FALSE(ReadFreeSpaceFile(rom).has_value());
  dir.Write("game.nes.tarvelin-free", {'T', 'A', 'R', 'V', 'E', 'L', 'I',  'N', ' ', 'f', 'r', 'e', 'e', ' ', 's',
                                       'p', 'a', 'c', 'e', ' ', '1', '\n', '$', '2', '0', ' ', '$', '2', '1'});
  EXPECT_EQ(Ranges(*ReadFreeSpaceFile(rom)), "$00020-$00021 ");
}

TEST(FreeSpaceDetectionTest, ProposesLongFillRunsNoPointerReaches) {
  TTestDirectory dir;
  TMessageCapture messages;
  auto prg = std::make_unique<TPrgData>();
  auto chr = std::make_unique<TChrData>();
  TRomDocument document(*prg, *chr);
  auto rom = MakeTestRom();
  // In bank "16": a run of $FF cut by a reached record, and a run of 31.
  std::fill(rom.begin() + 0x2D100, rom.begin() + 0x2D200, 0xFF);
  rom[0x2C010 + 0x042] = 0x40, rom[0x2C010 + 0x242] = 0x91;  // pattern $042 -> $9140 = $2D150: 1 sprite, 5 bytes
  rom[0x2D151] = 0x00;
  std::fill(rom.begin() + 0x2D300, rom.begin() + 0x2D31F, 0xFF);
  ASSERT_TRUE(document.Load(dir.Write("d.nes", rom)));
  std::string inBank16;
  for (const TFileRange& r : DetectFreeSpace(*prg, TFreeMap({{0x2C900, 0x2C950}})))
    if (r.First >= 0x2C010) inBank16 += FormatRange(r) + " ";
  // Zeros from the tables' end to the neutral FrameData at $2D010 (but for the declared
  // $2C900-$2C94F), $FF around the record at $2D150, then zeros from after the neutral
  // AnimationData ($2D030-$2D032) to the end of the reach, cut by the $FF runs.
  EXPECT_EQ(inBank16,
            "$2C810-$2C8FF $2C950-$2D00F $2D033-$2D0FF $2D100-$2D14F $2D155-$2D1FF $2D200-$2D2FF $2D31F-$2E00F ");
}

}  // namespace
