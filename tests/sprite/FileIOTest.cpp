#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

#include "rom/TarvelinFileIO.h"
#include "host/Exception.h"
#include "tests/support/FileTestSupport.h"

namespace {

const std::string SizeMessage = "ファイルサイズが異常です";
const std::string HeaderMessage = "ヘッダが異常です";

// An image of Size bytes with a good header and position-dependent contents.
std::vector<std::uint8_t> Image(std::size_t Size, std::uint8_t Seed = 0) {
  std::vector<std::uint8_t> bytes(Size);
  for (std::size_t i = 0; i < Size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8) + Seed);
  const std::uint8_t header[4] = {'N', 'E', 'S', 0x1A};
  std::copy_n(header, std::min<std::size_t>(4, Size), bytes.begin());
  return bytes;
}

class LoadRomImageTest : public testing::Test {
protected:
  void Fill(std::uint8_t Value) {
    Prg->fill(Value);
    Chr->fill(Value);
  }
  bool AllAre(std::uint8_t Value) const {
    return std::all_of(Prg->begin(), Prg->end(), [&](auto b) { return b == Value; }) &&
           std::all_of(Chr->begin(), Chr->end(), [&](auto b) { return b == Value; });
  }
  // Both buffers hold File from its start, and Old past its end.
  void ExpectHolds(const std::vector<std::uint8_t>& File, std::uint8_t Old) const {
    for (std::size_t i = 0; i < Prg->size(); ++i) {
      const auto want = i < File.size() ? File[i] : Old;
      ASSERT_EQ((*Prg)[i], want) << "PrgData[" << i << "]";
    }
    for (std::size_t i = 0; i < Chr->size(); ++i) {
      const auto at = i + Prg->size();
      const auto want = at < File.size() ? File[at] : Old;
      ASSERT_EQ((*Chr)[i], want) << "ChrData[" << i << "]";
    }
  }

  TTestDirectory Dir;
  TMessageCapture Messages;
  std::unique_ptr<TPrgData> Prg = std::make_unique<TPrgData>();
  std::unique_ptr<TChrData> Chr = std::make_unique<TChrData>();
};

TEST_F(LoadRomImageTest, SizesAtTheLimitsLoadAndThoseBeyondAreRefusedBeforeReading) {
  Fill(0xAA);
  EXPECT_FALSE(LoadRomImage(Dir.Write("15.nes", Image(15)), *Prg, *Chr));
  Messages.ExpectOnly(SizeMessage);
  EXPECT_FALSE(LoadRomImage(Dir.Write("over.nes", Image(524305)), *Prg, *Chr));
  ASSERT_EQ(Messages.Shown().size(), 2u);
  EXPECT_EQ(Messages.Shown()[1].Text, SizeMessage);
  EXPECT_TRUE(AllAre(0xAA)) << "a refused size must not touch the buffers";
  EXPECT_FALSE(LoadRomImage(Dir.Write("empty.nes", {}), *Prg, *Chr));
  EXPECT_EQ(Messages.Shown().size(), 3u);

  const auto full = Image(524304, 3);
  EXPECT_TRUE(LoadRomImage(Dir.Write("full.nes", full), *Prg, *Chr));
  EXPECT_EQ(Messages.Shown().size(), 3u);
  ExpectHolds(full, 0xAA);
}

TEST_F(LoadRomImageTest, SixteenByteFileTakesOnlyTheHeader) {
  Fill(0x5C);
  const auto header = Image(16);
  EXPECT_TRUE(LoadRomImage(Dir.Write("16.nes", header), *Prg, *Chr));
  EXPECT_TRUE(Messages.Shown().empty());
  ExpectHolds(header, 0x5C);
}

TEST_F(LoadRomImageTest, FileEndingInsideChrFillsChrAsFarAsItGoes) {
  Fill(0x11);
  const auto file = Image(0x40010 + 100, 9);
  EXPECT_TRUE(LoadRomImage(Dir.Write("short.nes", file), *Prg, *Chr));
  ExpectHolds(file, 0x11);
}

TEST_F(LoadRomImageTest, EachSignatureByteIsCheckedAndCallerClearingZeroesAll) {
  ASSERT_TRUE(LoadRomImage(Dir.Write("good.nes", Image(524304, 1)), *Prg, *Chr));
  for (int at = 0; at < 4; ++at) {
    auto bad = Image(524304, 1);
    bad[static_cast<std::size_t>(at)] ^= 0x01;  // 0x1A becomes 0x1B at position 3
    EXPECT_FALSE(LoadRomImage(Dir.Write("bad.nes", bad), *Prg, *Chr)) << "byte " << at;
    ASSERT_EQ(Messages.Shown().size(), static_cast<std::size_t>(at + 1));
    EXPECT_EQ(Messages.Shown().back().Text, HeaderMessage);
    EXPECT_EQ(Messages.Shown().back().Caption, ApplicationTitle);
  }
  ClearPrgData(*Prg);
  ClearChrData(*Chr);
  EXPECT_TRUE(AllAre(0));
}

TEST_F(LoadRomImageTest, UnopenablePathsRaiseFOpenErrorAndLeaveBuffersAlone) {
  Fill(0x77);
  const auto expectOpenError = [&](const std::string& path) {
    try {
      LoadRomImage(path, *Prg, *Chr);
      ADD_FAILURE() << "opened " << path;
    } catch (const EFOpenError& e) {
      EXPECT_EQ(e.Message(), "ファイル " + path + " は開けません");
    }
    EXPECT_TRUE(AllAre(0x77));
    EXPECT_TRUE(Messages.Shown().empty());
  };
  expectOpenError((Dir.Path() / "missing.nes").string());
  expectOpenError(Dir.Path().string());
}

TEST_F(LoadRomImageTest, UnreadableFileRaisesFOpenError) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root, which reads a file of mode 000 all the same";
  Fill(0x77);
  const auto path = Dir.Write("locked.nes", Image(524304));
  ASSERT_EQ(::chmod(path.c_str(), 0), 0);
  EXPECT_THROW(LoadRomImage(path, *Prg, *Chr), EFOpenError);
  EXPECT_TRUE(std::all_of(Prg->begin(), Prg->end(), [](auto b) { return b == 0x77; }));
}

// ---------------------------------------------------------------------------

class AddressRulesTest : public testing::Test {
protected:
  std::unique_ptr<TPrgData> P = std::make_unique<TPrgData>();
  void SetPointer(int Low, int High, int Pointer) {
    (*P)[static_cast<std::size_t>(Low)] = static_cast<std::uint8_t>(Pointer & 0xFF);
    (*P)[static_cast<std::size_t>(High)] = static_cast<std::uint8_t>(Pointer >> 8);
  }
};

TEST_F(AddressRulesTest, ZeroedBuffersLeadToBankBaseMinus8000) {
  for (const int b : SpriteBanks) {
    for (const int n : {0x000, 0x0FF, 0x100, 0x1FF}) EXPECT_EQ(FrameDataOffset(*P, b, n), b - 0x8000);
    EXPECT_EQ(AlignDataOffset(*P, b, 0x00), b - 0x8000);
    EXPECT_EQ(AnimationDataOffset(*P, b, 0xFF), b - 0x8000);
  }
  EXPECT_EQ(FrameDataOffset(*P, SpriteBanks[0], 0), 0x1C010);
  EXPECT_EQ(AnimationBanks, SpriteBanks);
}

TEST_F(AddressRulesTest, EachNumberReadsItsOwnTableEntries) {
  const int b = SpriteBanks[2];
  ASSERT_EQ(b, 0x2C010);
  struct TCase {
    int Number, Low, High;
  };
  // Pattern $1FF: low byte from $2C20F, high byte from $2C40F.
  const TCase patterns[] = {{0x1FF, 0x2C20F, 0x2C40F}, {0x0FF, 0x2C10F, 0x2C30F}, {0x100, 0x2C110, 0x2C310}, {0x000, 0x2C010, 0x2C210}};
  int pointer = 0x8123;
  for (const auto& c : patterns) SetPointer(c.Low, c.High, pointer += 0x111);
  pointer = 0x8123;
  for (const auto& c : patterns) {
    pointer += 0x111;
    EXPECT_EQ(FrameDataOffset(*P, b, c.Number), b + pointer - 0x8000) << std::hex << c.Number;
  }
  SetPointer(0x2C010 + 0x4FF, 0x2C010 + 0x5FF, 0xA001);
  SetPointer(0x2C010 + 0x680, 0x2C010 + 0x780, 0x9F00);
  EXPECT_EQ(AlignDataOffset(*P, b, 0xFF), b + 0x2001);
  EXPECT_EQ(AnimationDataOffset(*P, b, 0x80), b + 0x1F00);
  // A pointer outside $8000-$BFFF is used as it comes.
  SetPointer(0x2C010 + 0x401, 0x2C010 + 0x501, 0x0010);
  EXPECT_EQ(AlignDataOffset(*P, b, 0x01), b + 0x10 - 0x8000);
}

TEST_F(AddressRulesTest, NumbersWrapAndAnyBankBaseStaysInsideTheBuffer) {
  const int b = SpriteBanks[1];
  SetPointer(b + 0x1FF, b + 0x3FF, 0x8A00);
  SetPointer(b + 0x400, b + 0x500, 0x8B00);
  SetPointer(b + 0x7FF - 0x100, b + 0x7FF, 0x8C00);
  EXPECT_EQ(FrameDataOffset(*P, b, -1), b + 0xA00);
  EXPECT_EQ(FrameDataOffset(*P, b, 0x3FF), b + 0xA00);
  EXPECT_EQ(AlignDataOffset(*P, b, 0x100), b + 0xB00);
  EXPECT_EQ(AnimationDataOffset(*P, b, -1), b + 0xC00);

  // Tables partly or wholly outside the buffer read as zero there.
  (*P)[0x40005] = 0x12;
  EXPECT_EQ(FrameDataOffset(*P, 0x40000, 5), 0x40000 + 0x12 - 0x8000);
  EXPECT_EQ(AnimationDataOffset(*P, 0x40000, 5), 0x40000 - 0x8000);
  EXPECT_EQ(AlignDataOffset(*P, -0x10000, 7), -0x18000);
  EXPECT_EQ(FrameDataOffset(*P, INT_MAX, 0x1FF), static_cast<int>(static_cast<std::int64_t>(INT_MAX) - 0x8000));
  EXPECT_EQ(FrameDataOffset(*P, INT_MIN, 0), static_cast<int>(static_cast<std::int64_t>(INT_MIN) - 0x8000));
}

TEST(ChrBankAddress, BanksStartAfterPrgAndWrapAt256) {
  EXPECT_EQ(ChrBankAddress(0x00), 0x40010);
  EXPECT_EQ(ChrBankAddress(0xFF), 0x7FC10);
  EXPECT_EQ(ChrBankAddress(0x100), 0x40010);
  EXPECT_EQ(FormatAddress(ChrBankAddress(0xFF)), "$7FC10");
}

TEST(Formatting, AddressesBytesAndDumps) {
  EXPECT_EQ(FormatAddress(0), "$00000");
  EXPECT_EQ(FormatAddress(0x2C20F), "$2C20F");
  EXPECT_EQ(FormatAddress(0x8000F), "$8000F");
  EXPECT_EQ(FormatByte(0x05), "05");
  EXPECT_EQ(FormatByte(0xAB), "AB");
  EXPECT_EQ(FormatByte(0x1FF), "FF");
  const std::uint8_t record[] = {0x02, 0x03, 0x10, 0x11, 0xFE};
  EXPECT_EQ(HexDump(record), "02 03 10 11 FE ");
  EXPECT_EQ(HexDump({}), "");
}

}  // namespace
