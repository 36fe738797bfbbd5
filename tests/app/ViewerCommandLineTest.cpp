// A ROM named on the command line: made absolute, then opened by the window's
// own open command with its checks and messages.

#include "app/window/TarvelinCommandLine.h"
#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

TEST(CommandLineRomTest, NoArgumentMeansNoRom) { EXPECT_EQ(CommandLineRom({}), std::nullopt); }

TEST(CommandLineRomTest, PathsAreMadeAbsoluteAgainstTheCurrentDirectory) {
  const auto here = std::filesystem::current_path();
  const struct {
    const char* Argument;
    std::filesystem::path Expected;
  } cases[] = {
      {"demo.nes", here / "demo.nes"},
      {"./a/../b/demo.nes", here / "b" / "demo.nes"},
      {"/roms/x/../demo.nes", "/roms/demo.nes"},
      {"/roms/demo.nes", "/roms/demo.nes"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CommandLineRom({QString::fromUtf8(c.Argument)}), c.Expected.string()) << c.Argument;
}

using ViewerCommandLineTest = ViewerTest;

TEST_F(ViewerCommandLineTest, OpensTheRomAsTheMenuWouldAndPutsTheDialogBack) {
  bool dialogRan = false;
  Form1->ROMOpenDialog = [&]() -> std::optional<std::string> {
    dialogRan = true;
    return std::nullopt;
  };
  OpenCommandLineRom(*Form1, *CommandLineRom({"demo.nes"}));

  EXPECT_FALSE(dialogRan);
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(BuffersHoldDemo());
  EXPECT_TRUE(Form1->PageControl1->isVisibleTo(Form1));
  EXPECT_EQ(Form1->PageControl1->currentWidget(), Form1->TabAnimation);
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer - " + RomPath);
  ASSERT_NE(SpriteDrawer, nullptr);
  // The next ファイル > 開く asks the user again.
  Form1->Open1->trigger();
  EXPECT_TRUE(dialogRan);
}

TEST_F(ViewerCommandLineTest, RefusesWhatTheOpenCommandRefusesWithItsMessage) {
  auto header = Image;
  header[3] = 0x1B;
  const struct {
    std::string Path;
    std::string Message;
  } cases[] = {
      {Dir.Write("header.nes", header), "ヘッダが異常です"},
      {Dir.Write("short.nes", std::vector<std::uint8_t>(Image.begin(), Image.begin() + 15)), "ファイルサイズが異常です"},
      {(Dir.Path() / "missing.nes").string(), "ファイル " + (Dir.Path() / "missing.nes").string() + " は開けません"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Path);
    TMessageCapture messages;
    OpenCommandLineRom(*Form1, c.Path);
    messages.ExpectOnly(c.Message);
    EXPECT_TRUE(BuffersZero());
    EXPECT_FALSE(Form1->PageControl1->isVisibleTo(Form1));
    EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer");
    EXPECT_EQ(SpriteDrawer, nullptr);
  }
}

}  // namespace
}  // namespace viewer_test
