// tarvelin-export's --animation-format and --transparent, the files read back
// by Pillow and Qt.

#include <gtest/gtest.h>

#include <QImage>

#include "tests/support/FileTestSupport.h"
#include "tests/support/PillowSupport.h"
#include "tests/tools/export/ProgramTestSupport.h"
#include "tools/DemoRom.h"
#include "sprite/NesPalette.h"

namespace {

namespace fs = std::filesystem;

TEST(ExportApngTest, AnimationsAsApngAndTransparentPictures) {
  TTestDirectory dir;
  dir.Write("demo.nes", MakeDemoRom());
  const auto& master = NesMasterPalette();
  dir.Write("fcpalette.pal", std::vector<std::uint8_t>(master.begin(), master.end()));
  const auto run = program_test::RunProgram(TARVELIN_EXPORT_EXE,
                                            {"demo.nes", "out", "--bank", "12-13", "--sprite", "D", "--animation", "4",
                                             "--animation-format", "apng", "--transparent", "--scale", "2"},
                                            dir.Path());
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const fs::path animation = dir.Path() / "out" / "animation" / "12-13";
  EXPECT_FALSE(fs::exists(animation / "04.gif"));
  EXPECT_TRUE(fs::exists(animation / "04.txt"));
  // The composed sprite's background is transparent, the pattern table is not.
  const QImage sprite(QString::fromStdString((dir.Path() / "out" / "sprite" / "12-13" / "00D.png").string()));
  ASSERT_EQ(sprite.size(), QSize(512, 512));
  EXPECT_EQ(qAlpha(sprite.pixel(0, 0)), 0);
  EXPECT_FALSE(QImage(QString::fromStdString((dir.Path() / "out" / "patterntable" / "12-13" / "00D.png").string()))
                   .hasAlphaChannel());

  const std::string python = pillow::Python();
  if (python.empty()) GTEST_SKIP() << "Pillow (python3-pil) is missing: the APNG is not read back";
  const auto read = pillow::Read(python, animation / "04.png", dir.Path() / "04");
  EXPECT_EQ(read.Format, "PNG");
  ASSERT_EQ(read.Frames, 4);  // three patterns, then the $00 frame that stops it
  EXPECT_EQ(read.Loop, 1);
  EXPECT_EQ(read.Width, 512);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(read.DurationsMs[static_cast<std::size_t>(k)], 4000 / 60.0988, 1e-5);
  // The end frame is all background: all transparent.
  bool clear = true;
  for (std::size_t i = 3; i < read.Rgba[3].size(); i += 4) clear = clear && read.Rgba[3][i] == 0;
  EXPECT_TRUE(clear);

  const auto bad =
      program_test::RunProgram(TARVELIN_EXPORT_EXE, {"demo.nes", "bad", "--animation-format", "mng"}, dir.Path());
  EXPECT_EQ(bad.ExitCode, 2);
  EXPECT_NE(bad.Err.find("unknown animation format 'mng' (gif or apng)"), std::string::npos) << bad.Err;
  EXPECT_FALSE(fs::exists(dir.Path() / "bad"));
}

}  // namespace
