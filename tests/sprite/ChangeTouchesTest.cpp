// The sheet's question "does this edit change that thumbnail?" checked against
// drawing: random writes near each demo pattern's bytes, and every write that
// changes a picture must be one the usage queries name.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "dib/ZrDIB.h"
#include "rom/TarvelinRomUsage.h"
#include "sprite/TarvelinDrawSprite.h"
#include "sprite/TarvelinSpritePattern.h"
#include "tools/DemoRom.h"

namespace {

struct TImage {
  std::unique_ptr<TPrgData> Prg = std::make_unique<TPrgData>();
  std::unique_ptr<TChrData> Chr = std::make_unique<TChrData>();
  explicit TImage(const std::vector<std::uint8_t>& File) {
    std::copy_n(File.begin(), Prg->size(), Prg->begin());
    std::copy_n(File.begin() + static_cast<std::ptrdiff_t>(Prg->size()), Chr->size(), Chr->begin());
  }
  std::uint8_t& At(int Offset) {
    const auto at = static_cast<std::size_t>(Offset);
    return at < Prg->size() ? (*Prg)[at] : (*Chr)[at - Prg->size()];
  }
};

// The pixels of pattern Number of the bank at Base, or of the first frame of animation Number.
std::vector<std::uint8_t> Picture(const TImage& Image, int Base, int Number, bool Animation) {
  const TDrawSprite drawer(*Image.Chr, nullptr);
  auto picture = CreatePageDIB(256, 256);
  int pattern = Number;
  if (Animation) pattern = AnimationFramePattern(*Image.Prg, AnimationDataOffset(*Image.Prg, Base, Number), 0);
  if (pattern >= 0) DrawSpritePattern(drawer, LocateSpritePattern(*Image.Prg, Base, pattern), *picture);
  std::vector<std::uint8_t> pixels;
  for (int y = 0; y < 256; ++y) {
    const auto row = picture->GetScanLine(y);
    pixels.insert(pixels.end(), row.begin(), row.end());
  }
  return pixels;
}

TEST(ChangeTouchesTest, EveryWriteThatChangesAThumbnailIsNamed) {
  const auto file = MakeDemoRom();
  std::mt19937 random(33);
  struct TItem {
    bool Animation;
    int BankIndex, Number;
  };
  std::vector<TItem> items;
  for (const auto& p : DemoRom::Patterns) items.push_back({false, p.BankIndex, p.Number});
  for (int m : {0, 1, 4, 5, 6}) items.push_back({true, 0, m});
  items.push_back({true, 2, 0xFF});
  int changing = 0, quiet = 0;
  for (const auto& item : items) {
    SCOPED_TRACE((item.Animation ? "animation " : "pattern ") + std::to_string(item.BankIndex) + ":" +
                 std::to_string(item.Number));
    TImage image(file);
    const int base = DemoRom::BankBases[static_cast<std::size_t>(item.BankIndex)];
    const auto original = Picture(image, base, item.Number, item.Animation);
    // Where the picture's bytes lie, worked out from the file: pointers, records, the CHR window.
    const int animation = item.Animation ? AnimationDataOffset(*image.Prg, base, item.Number) : 0;
    const int number = item.Animation ? AnimationFramePattern(*image.Prg, animation, 0) : item.Number;
    const int frame = FrameDataOffset(*image.Prg, base, std::max(number, 0));
    const int align = AlignDataOffset(*image.Prg, base, file[static_cast<std::size_t>(frame + 2)]);
    const int window = file[static_cast<std::size_t>(frame)] - file[static_cast<std::size_t>(frame + 3)] / 64;
    const int areas[][2] = {
        {base, base + 0x800},
        {frame - 8, frame + 40},
        {align - 8, align + 40},
        {animation - 4, animation + 12},
        {0x40010 + std::max(window, 0) * 1024, 0x40010 + std::clamp(window + 4, 1, 256) * 1024},
    };
    for (int trial = 0; trial < 600; ++trial) {
      const auto& area = areas[trial % 5];
      if (area[1] <= area[0] || (trial % 5 == 3 && !item.Animation)) continue;
      const int offset = std::uniform_int_distribution<int>(std::max(area[0], 16), std::min(area[1], 0x80010) - 1)(random);
      const auto old = image.At(offset);
      const auto value = static_cast<std::uint8_t>(old ^ (1 << (trial % 8)));
      image.At(offset) = value;
      const TRomChange change{{{offset, old, value}}};
      const bool named = item.Animation
                             ? ChangeTouchesAnimationStart(*image.Prg, {item.BankIndex, item.Number}, change)
                             : ChangeTouchesPattern(*image.Prg, {item.BankIndex, item.Number}, change);
      const bool differs = Picture(image, base, item.Number, item.Animation) != original;
      if (differs) {
        EXPECT_TRUE(named) << "offset " << std::hex << offset;
      }
      changing += differs;
      quiet += !named;
      image.At(offset) = old;
    }
  }
  // The trials reached both kinds of write.
  EXPECT_GT(changing, 300);
  EXPECT_GT(quiet, 1000);
  // A write far from everything a pattern draws from is no change of it.
  TImage image(file);
  EXPECT_FALSE(ChangeTouchesPattern(*image.Prg, {0, 0}, TRomChange{{{0x10, 0, 1}}}));
  EXPECT_FALSE(ChangeTouchesPattern(*image.Prg, {0, 0}, TRomChange{}));
}

}  // namespace
