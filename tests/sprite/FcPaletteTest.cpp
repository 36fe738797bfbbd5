#include <gtest/gtest.h>
#include <unistd.h>

#include "sprite/TarvelinFcPalette.h"
#include "host/Exception.h"
#include "tests/support/FileTestSupport.h"
#include "sprite/NesPalette.h"

namespace {

const std::string NotFound = "パレットが見つかりません";

// Size bytes; entry n is (n, 2n + 1, 255 - n) as far as the file goes.
std::vector<std::uint8_t> PaletteFile(std::size_t Size) {
  std::vector<std::uint8_t> bytes(Size);
  for (std::size_t i = 0; i < Size; ++i) {
    const auto n = static_cast<std::uint8_t>(i / 3);
    const std::uint8_t parts[3] = {n, static_cast<std::uint8_t>(2 * n + 1), static_cast<std::uint8_t>(255 - n)};
    bytes[i] = parts[i % 3];
  }
  return bytes;
}

std::uint32_t Rgb(std::uint32_t R, std::uint32_t G, std::uint32_t B) { return R | G << 8 | B << 16; }

// Runs in the per-test directory so bare names resolve there.
class FcPaletteTest : public testing::Test {
protected:
  void SetUp() override {
    FOldDirectory = std::filesystem::current_path();
    std::filesystem::current_path(Dir.Path());
  }
  void TearDown() override { std::filesystem::current_path(FOldDirectory); }

  TTestDirectory Dir;
  TMessageCapture Messages;

private:
  std::filesystem::path FOldDirectory;
};

TEST_F(FcPaletteTest, FullFileLoadsSilentlyWithRedInTheLowByte) {
  auto bytes = PaletteFile(192);
  bytes[3 * 0x2C] = 0;
  bytes[3 * 0x2C + 1] = 255;
  bytes[3 * 0x2C + 2] = 255;
  Dir.Write("fcpalette.pal", bytes);
  const TFcPaletteData palette("fcpalette.pal");
  EXPECT_TRUE(Messages.Shown().empty());
  EXPECT_EQ(palette.GetColor(0x2C), 0xFFFF00u);
  EXPECT_EQ(palette.GetColor(0x01), Rgb(1, 3, 254));
  EXPECT_EQ(palette.GetColor(0x3F), Rgb(63, 127, 192));
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), palette.GetData().begin()));
}

TEST_F(FcPaletteTest, WrongSizesAreReportedAndLoadAsFarAsTheyGo) {
  Dir.Write("short.pal", PaletteFile(191));
  const TFcPaletteData shortPalette("short.pal");
  Messages.ExpectOnly(NotFound);
  for (int n = 0; n < 63; ++n) EXPECT_EQ(shortPalette.GetColor(n), Rgb(n, 2 * n + 1, 255 - n)) << n;
  EXPECT_EQ(shortPalette.GetColor(63), Rgb(63, 127, 0));

  Dir.Write("empty.pal", {});
  const TFcPaletteData empty("empty.pal");
  ASSERT_EQ(Messages.Shown().size(), 2u);
  EXPECT_EQ(Messages.Shown()[1].Text, NotFound);
  for (int n = 0; n < 64; ++n) EXPECT_EQ(empty.GetColor(n), 0u) << n;

  auto longFile = PaletteFile(192);
  longFile.resize(200, 0xEE);
  Dir.Write("long.pal", longFile);
  const TFcPaletteData longPalette("long.pal");
  ASSERT_EQ(Messages.Shown().size(), 3u);
  EXPECT_EQ(Messages.Shown()[2].Caption, ApplicationTitle);
  EXPECT_TRUE(std::equal(longPalette.GetData().begin(), longPalette.GetData().end(), longFile.begin()));
  EXPECT_EQ(longPalette.GetColor(63), Rgb(63, 127, 192));
}

TEST_F(FcPaletteTest, NameResolvesAgainstTheCurrentDirectoryOnly) {
  const auto beside = Dir.Path() / "program";
  std::filesystem::create_directory(beside);
  std::filesystem::create_directory(Dir.Path() / "elsewhere");
  std::ofstream(beside / "fcpalette.pal", std::ios::binary).write(std::string(192, '\x40').data(), 192);
  std::filesystem::current_path(Dir.Path() / "elsewhere");
  try {
    TFcPaletteData palette("fcpalette.pal");
    FAIL() << "found a palette outside the current directory";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "ファイル fcpalette.pal は開けません");
  }
  EXPECT_TRUE(Messages.Shown().empty());
  std::filesystem::current_path(beside);
  EXPECT_EQ(TFcPaletteData("fcpalette.pal").GetColor(5), 0x404040u);
}

TEST_F(FcPaletteTest, IndexIsMaskedAndTheBuiltInCopyWorks) {
  const TFcPaletteData builtIn(NesMasterPalette());
  EXPECT_EQ(builtIn.GetColor(0x0F), 0u);
  EXPECT_EQ(builtIn.GetColor(0x40), builtIn.GetColor(0x00));
  EXPECT_EQ(builtIn.GetColor(-1), builtIn.GetColor(0x3F));
  const auto& rgb = NesMasterPalette();
  EXPECT_EQ(builtIn.GetColor(0x2C), Rgb(rgb[3 * 0x2C], rgb[3 * 0x2C + 1], rgb[3 * 0x2C + 2]));
}

}  // namespace
