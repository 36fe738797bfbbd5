// A ROM shorter than the full image loads as any other, and the status bar says
// that the pictures may show earlier bytes past its end.

#include <QStatusBar>

#include "tests/app/ViewerTestSupport.h"

namespace {

using namespace viewer_test;

using ViewerShortRomTest = ViewerTest;

TEST_F(ViewerShortRomTest, StatusBarGivesTheLengthOfAShortRom) {
  OpenDemo();
  EXPECT_EQ(Form1->statusBar()->currentMessage(), QString());
  // Only the header and the PRG-ROM: CHR keeps the demo's bytes from the first open.
  const std::string path = Dir.Write("short.nes", std::vector<std::uint8_t>(Image.begin(), Image.begin() + 0x40010));
  Open(path);
  EXPECT_EQ(Form1->statusBar()->currentMessage().toStdString(),
            "ファイルが 262160 バイトしかありません (完全なイメージは 524304 バイト)。それ以降は以前の内容のままです");
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(ChrData[0x3FFFF], Image[0x8000F]);
  OpenDemo();
  EXPECT_EQ(Form1->statusBar()->currentMessage(), QString());
}

}  // namespace
