// APNG and transparent GIF animations read back by Pillow: frame counts, loop
// counts, delays as exact fractions of the NES frame rate, and every pixel.

#include <gtest/gtest.h>

#include <cmath>

#include "sprite/TarvelinAnimationTiming.h"
#include "sprite/TarvelinApng.h"
#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinPictureFiles.h"
#include "sprite/TarvelinSpritePattern.h"
#include "sprite/tarvelinSpriteGlobals.h"
#include "dib/ZrDIB.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/PillowSupport.h"
#include "tools/DemoRom.h"
#include "sprite/NesPalette.h"

namespace {

namespace fs = std::filesystem;

class ApngTest : public testing::Test {
 protected:
  void SetUp() override {
    Python = pillow::Python();
    if (Python.empty()) GTEST_SKIP() << "Pillow (python3-pil) is missing: our APNGs are not read back";
  }
  pillow::TRead Read(const std::string& Name, const std::vector<std::uint8_t>& Bytes) const {
    return pillow::Read(Python, Dir.Write(Name, Bytes), Dir.Path() / (Name + ".frame"));
  }
  std::string Python;
  TTestDirectory Dir;
};

// One NES frame is 1 / 60.0988 s.
double NesMs(int Frames) {
  return Frames * 1000.0 / 60.0988;
}

TEST_F(ApngTest, TheEncodersChunksDelaysAndTransparencyReadBack) {
  const std::uint32_t colors[] = {0x112233, 0xFF0000, 0x00FF00};
  TApngEncoder encoder(3, 2, colors, 0, 2);
  const std::uint8_t first[] = {0, 1, 2, 2, 1, 0}, second[] = {1, 1, 1, 0, 0, 2};
  encoder.Add(first, {1, 3});
  encoder.Add(second, {65535, 1});
  encoder.Add(first, {7, 1000});
  const auto read = Read("hand.png", encoder.Finish());
  EXPECT_EQ(read.Format, "PNG");
  ASSERT_EQ(read.Frames, 3);
  EXPECT_EQ(read.Loop, 2);
  EXPECT_EQ(read.Width, 3);
  const std::vector<double> durations = {1000.0 / 3, 65535000.0, 7.0};
  for (int k = 0; k < 3; ++k)
    EXPECT_NEAR(read.DurationsMs[static_cast<std::size_t>(k)], durations[static_cast<std::size_t>(k)], 1e-6) << k;
  const auto rgba = [&](std::span<const std::uint8_t> Pixels) {
    std::vector<std::uint8_t> out;
    for (const auto p : Pixels)
      out.insert(out.end(), {static_cast<std::uint8_t>(colors[p] >> 16), static_cast<std::uint8_t>(colors[p] >> 8),
                             static_cast<std::uint8_t>(colors[p]), static_cast<std::uint8_t>(p == 0 ? 0 : 255)});
    return out;
  };
  // Pillow keeps a transparent pixel's colour.
  EXPECT_EQ(read.Rgba[0], rgba(first));
  EXPECT_EQ(read.Rgba[1], rgba(second));
  EXPECT_EQ(read.Rgba[2], rgba(first));
}

// Demo ROM animations of bank "12-13", and records written over animation $00's.
TEST_F(ApngTest, AnimationsReadBackWithTheGamesTimingAndPixels) {
  const auto image = MakeDemoRom();
  std::copy_n(image.begin(), PrgData.size(), PrgData.begin());
  std::copy_n(image.begin() + ChrDataFileOffset, ChrData.size(), ChrData.begin());
  const TDrawSprite drawer(ChrData, nullptr);
  const int base = DemoRom::BankBases[0];
  const int zero = AnimationDataOffset(PrgData, base, 0);
  const TPrgData demo = PrgData;

  struct TCase {
    const char* Name;
    int Number;
    std::vector<std::uint8_t> Record;  // written over animation $00's, when given
    TAnimationFormat Format;
    bool Transparent;
    std::vector<int> Patterns;  // each file frame's pattern, -1 for the empty picture
    std::vector<double> DurationsMs;
    int Loop;
  };
  const double g4 = NesMs(4);
  const TCase cases[] = {
      {"00", 0, {}, TAnimationFormat::Apng, false, {0x10, 0x11, 0x12}, {g4, g4, g4}, 0},
      {"04", 4, {}, TAnimationFormat::Apng, true, {0x10, 0x11, 0x12, -1}, {g4, g4, g4, 0}, 1},
      // Long frames: 256 NES frames (4.26 s) still one APNG frame each.
      {"256", 0, {0x01, 255, 0x12, 0x10}, TAnimationFormat::Apng, true, {0x12, 0x10}, {NesMs(256), NesMs(256)}, 0},
      // A transparent GIF: the transparent index in every frame, each frame clearing the last.
      {"04", 4, {}, TAnimationFormat::Gif, true, {0x10, 0x11, 0x12, -1}, {70, 60, 70, 0}, -1},
  };
  const auto& master = NesMasterPalette();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + (c.Format == TAnimationFormat::Apng ? " apng" : " gif"));
    PrgData = demo;
    std::copy(c.Record.begin(), c.Record.end(), PrgData.begin() + zero);
    const int address = AnimationDataOffset(PrgData, base, c.Number);
    const TAnimationFiles files =
        EncodeAnimation(drawer, PrgData, base, address, 1, {c.Format, DefaultBackground, c.Transparent});
    const bool apng = c.Format == TAnimationFormat::Apng;
    EXPECT_TRUE(apng ? files.Gif.empty() : files.Apng.empty());
    const auto read = Read(std::string(c.Name) + (apng ? ".png" : ".gif"), apng ? files.Apng : files.Gif);
    EXPECT_EQ(read.Format, apng ? "PNG" : "GIF");
    ASSERT_EQ(read.Frames, static_cast<int>(c.Patterns.size()));
    if (apng) {
      EXPECT_EQ(read.Loop, c.Loop);
    }
    for (std::size_t k = 0; k < c.Patterns.size(); ++k) {
      SCOPED_TRACE(k);
      // Within 10 ns: no 16-bit fraction is exact, the nearest one is that close.
      EXPECT_NEAR(read.DurationsMs[k], c.DurationsMs[k], 1e-5);
      auto picture = CreatePageDIB(256, 256);
      if (c.Patterns[k] >= 0) DrawSpritePattern(drawer, LocateSpritePattern(PrgData, base, c.Patterns[k]), *picture);
      ASSERT_EQ(read.Rgba[k].size(), 256u * 256u * 4u);
      for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
          const int index = picture->GetScanLine(y)[static_cast<std::size_t>(x)];
          const auto n = 3u * SpritePaletteSet[static_cast<std::size_t>(index)];
          const std::uint8_t* got = &read.Rgba[k][static_cast<std::size_t>(4 * (256 * y + x))];
          const bool clear = c.Transparent && index == 0;
          if (clear ? got[3] != 0
                    : (got[0] != master[n] || got[1] != master[n + 1] || got[2] != master[n + 2] || got[3] != 255)) {
            ADD_FAILURE() << "pixel (" << x << ", " << y << ") index " << index;
            goto next;
          }
        }
    next:;
    }
  }
  ClearPrgData(PrgData);
  ClearChrData(ChrData);
}

TEST(ApngDelayTest, EachFrameGetsTheNearestSixteenBitFraction) {
  for (const int frames : {1, 2, 3, 4, 16, 27, 100, 128, 255, 256}) {
    SCOPED_TRACE(frames);
    const long double exact = frames * 10000.0L / 600988.0L;
    // Every denominator tried, each with its nearest numerator.
    long double best = 1;
    for (int den = 1; den <= 0xFFFF; ++den) {
      const long double num = std::round(exact * den);
      if (num <= 0xFFFF) best = std::min(best, std::abs(exact - num / den));
    }
    const TApngDelay delay = NesFramesToApngDelay(frames);
    ASSERT_GT(delay.Denominator, 0);
    EXPECT_LE(std::abs(exact - static_cast<long double>(delay.Numerator) / delay.Denominator), best * (1 + 1e-12L));
    EXPECT_LT(best, 5e-9L);  // a few nanoseconds at worst
  }
  EXPECT_EQ(NesFramesToApngDelay(0), (TApngDelay{0, 1}));
}

}  // namespace
