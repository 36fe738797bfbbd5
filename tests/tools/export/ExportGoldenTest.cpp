// The exported stills are the viewer's own pictures, pixel for pixel and colour for colour.

#include <QImage>
#include <fstream>
#include <iterator>

#include "tests/app/ViewerTestSupport.h"
#include "tests/tools/export/ProgramTestSupport.h"

namespace {

using namespace viewer_test;

// Palette file with every colour changed, so a picture coloured by the built-in copy would differ.
std::vector<std::uint8_t> ShiftedPalette() {
  const auto& master = NesMasterPalette();
  std::vector<std::uint8_t> palette(master.begin(), master.end());
  for (auto& b : palette) b = static_cast<std::uint8_t>(b ^ 0x5A);
  return palette;
}

class ExportGoldenTest : public ViewerTest {
protected:
  std::optional<std::vector<std::uint8_t>> PaletteFile() const override { return ShiftedPalette(); }
};

// The picture a control shows, top row first, as 0x00RRGGBB per pixel with its index.
struct TPixels {
  int Width = 0, Height = 0;
  std::vector<int> Index;
  std::vector<std::uint32_t> Rgb;
};

TPixels ShownPixels(TImageEx* Control) {
  const auto* dib = dynamic_cast<const TZrDIB*>(Control->GetPicture().GetGraphic());
  TPixels pixels;
  if (!dib) return pixels;
  const TZrInternalDIB& storage = *dib->GetInternalDIB();
  pixels.Width = dib->GetWidth();
  pixels.Height = dib->GetHeight();
  const int stride = (pixels.Width + 3) / 4 * 4;
  const bool bottomUp = storage.BitmapInfo.bmiHeader.biHeight > 0;
  for (int y = 0; y < pixels.Height; ++y) {
    const BYTE* row = storage.Bits + (bottomUp ? pixels.Height - 1 - y : y) * stride;
    for (int x = 0; x < pixels.Width; ++x) {
      const RGBQUAD& c = storage.BitmapInfo.bmiColors[row[x]];
      pixels.Index.push_back(row[x]);
      pixels.Rgb.push_back(std::uint32_t{c.rgbRed} << 16 | std::uint32_t{c.rgbGreen} << 8 | c.rgbBlue);
    }
  }
  return pixels;
}

// The file read by Qt, each Scale x Scale block checked to be one pixel.
TPixels Exported(const std::filesystem::path& Path, int Scale) {
  const QImage image(QString::fromStdString(Path.string()));
  TPixels pixels;
  if (image.isNull() || image.format() != QImage::Format_Indexed8) return pixels;
  pixels.Width = image.width() / Scale;
  pixels.Height = image.height() / Scale;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelIndex(x, y) != image.pixelIndex(x / Scale * Scale, y / Scale * Scale)) return {};
  for (int y = 0; y < pixels.Height; ++y)
    for (int x = 0; x < pixels.Width; ++x) {
      pixels.Index.push_back(image.pixelIndex(x * Scale, y * Scale));
      pixels.Rgb.push_back(image.pixel(x * Scale, y * Scale) & 0xFFFFFFu);
    }
  return pixels;
}

// Pixels that differ, so a failure reports a count rather than 65,536 values.
template <typename T>
std::size_t Differences(const std::vector<T>& A, const std::vector<T>& B) {
  if (A.size() != B.size()) return std::max(A.size(), B.size());
  std::size_t count = 0;
  for (std::size_t i = 0; i < A.size(); ++i) count += A[i] != B[i];
  return count;
}

TEST_F(ExportGoldenTest, StillsMatchTheViewersPictures) {
  OpenDemo();
  ASSERT_TRUE(BuffersHoldDemo());
  const std::vector<DemoRom::TPattern> patterns = {
      DemoRom::OneSprite,        DemoRom::Overlap,     DemoRom::FourFlips,   DemoRom::FourGroups,
      DemoRom::AllSprites,       DemoRom::LoadOffset2, DemoRom::WindowBelowBank0, DemoRom::WindowPastLastBank,
      DemoRom::EdgeWrap,         DemoRom::LastPattern, DemoRom::Bank14Block, DemoRom::Bank16LastPattern};
  struct TRunCase {
    const char* Format;
    int Scale;
  };
  const TRunCase runs[] = {{"png", 1}, {"bmp", 2}, {"png", 3}};
  for (const auto& run : runs) {
    std::vector<std::string> arguments = {RomPath, std::string("out-") + run.Format + std::to_string(run.Scale),
                                          "--format", run.Format, "--scale", std::to_string(run.Scale)};
    for (const auto& p : patterns) arguments.insert(arguments.end(), {"--sprite", Hex(p.Number, 3)});
    const auto result = program_test::RunProgram(TARVELIN_EXPORT_EXE, arguments, Dir.Path());
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(result.Err, "");
  }
  for (const auto& p : patterns) {
    SCOPED_TRACE(p.Exercises);
    GoToPattern(p.BankIndex, p.Number);
    const TPixels sprite = ShownPixels(Form1->ImgSprite), table = ShownPixels(Form1->ImgPatternTable);
    ASSERT_EQ(sprite.Width, 256);
    ASSERT_EQ(table.Width, 128);
    for (const auto& run : runs) {
      SCOPED_TRACE(std::string(run.Format) + " x" + std::to_string(run.Scale));
      const auto out = Dir.Path() / (std::string("out-") + run.Format + std::to_string(run.Scale));
      const std::string bank[] = {"12-13", "14-15", "16"};
      const std::string file = Hex(p.Number, 3) + "." + run.Format;
      const TPixels exportedSprite = Exported(out / "sprite" / bank[p.BankIndex] / file, run.Scale);
      const TPixels exportedTable = Exported(out / "patterntable" / bank[p.BankIndex] / file, run.Scale);
      EXPECT_EQ(exportedSprite.Width, 256);
      EXPECT_EQ(Differences(exportedSprite.Index, sprite.Index), 0u);
      EXPECT_EQ(Differences(exportedSprite.Rgb, sprite.Rgb), 0u);
      EXPECT_EQ(exportedTable.Width, 128);
      EXPECT_EQ(Differences(exportedTable.Index, table.Index), 0u);
      EXPECT_EQ(Differences(exportedTable.Rgb, table.Rgb), 0u);
    }
  }
}

// The pHYs chunk's data: dots per unit across and down, and the unit (1: the metre); empty when none.
std::vector<std::uint32_t> Resolution(const std::filesystem::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto at = bytes.find("pHYs");
  if (at == std::string::npos || at + 13 > bytes.size()) return {};
  const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 4 + i])); };
  return {byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3), byte(4) << 24 | byte(5) << 16 | byte(6) << 8 | byte(7),
          byte(8)};
}

TEST_F(ExportGoldenTest, ViewerAndExporterWriteOneResolution) {
  OpenDemo();
  GoToPattern(0, DemoRom::OneSprite.Number);
  const auto saved = Dir.Path() / "viewer.png";
  Form1->SaveDialog = [&](const std::string&, const std::string&) { return std::optional<std::string>(saved.string()); };
  Form1->SaveImage1->trigger();
  const auto result = program_test::RunProgram(
      TARVELIN_EXPORT_EXE, {RomPath, "out", "--bank", "12-13", "--sprite", Hex(DemoRom::OneSprite.Number, 3)}, Dir.Path());
  ASSERT_EQ(result.ExitCode, 0) << result.Err;
  // 96 dpi: 96 / 0.0254 dots per metre, rounded.
  const std::vector<std::uint32_t> dpi96 = {3780, 3780, 1};
  const std::filesystem::path files[] = {saved, Dir.Path() / "viewer-patterntable.png",
                                         Dir.Path() / "out" / "sprite" / "12-13" / "000.png",
                                         Dir.Path() / "out" / "patterntable" / "12-13" / "000.png"};
  for (const auto& file : files) EXPECT_EQ(Resolution(file), dpi96) << file;
}

}  // namespace
