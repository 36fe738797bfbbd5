#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>

#include "rom/TarvelinPatch.h"
#include "rom/TarvelinRecoveryJournal.h"
#include "tests/rom/RomTestSupport.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

TEST(RecoveryJournalTest, RestoresOnItsBaseOnlyAndRefusesTornFiles) {
  const TBytes base = MakeTestRom();
  TBytes edited = base;
  edited[0x24815] = 0x45;
  edited[RomImageSize - 1] = 0x77;
  const TBytes journal = CreateRecoveryJournal(base, edited, "/roms/a b.nes", "/p/hack.ips");
  const auto info = ReadRecoveryJournalInfo(journal);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->Rom, "/roms/a b.nes");
  EXPECT_EQ(info->Patch, "/p/hack.ips");
  EXPECT_EQ(info->BaseSize, base.size());
  EXPECT_EQ(info->BaseCrc, crc32(0, base.data(), static_cast<uInt>(base.size())));
  EXPECT_EQ(ApplyRecoveryJournal(base, journal), edited);

  TBytes changedBase = base;
  changedBase[0x30000] ^= 1;
  const TBytes shorter(base.begin(), base.end() - 1);
  for (const TBytes* other : {static_cast<const TBytes*>(&changedBase), &shorter}) {
    EXPECT_FALSE(RecoveryJournalFits(*info, *other));
    EXPECT_THROW(ApplyRecoveryJournal(*other, journal), EPatchError);
  }
  EXPECT_TRUE(RecoveryJournalFits(*info, base));

  // Cut anywhere, one bit flipped, or a plain BPS of someone else: not a journal.
  for (const std::size_t cut : {std::size_t{0}, std::size_t{4}, std::size_t{20}, journal.size() - 1})
    EXPECT_FALSE(ReadRecoveryJournalInfo(TBytes(journal.begin(), journal.begin() + static_cast<long>(cut)))) << cut;
  TBytes flipped = journal;
  flipped[10] ^= 0x10;
  EXPECT_FALSE(ReadRecoveryJournalInfo(flipped));
  EXPECT_FALSE(ReadRecoveryJournalInfo(CreatePatch(TPatchFormat::Bps, base, edited)));
  // Whole by its CRC, but its sizes run into the footer and name 10 bytes of metadata past the end.
  TBytes short_sizes = {'B', 'P', 'S', '1', 0x80, 0x80, 0x8A, 1, 2, 3, 4};
  const uLong crc = crc32(0, short_sizes.data(), static_cast<uInt>(short_sizes.size()));
  for (int i = 0; i < 4; ++i) short_sizes.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
  EXPECT_FALSE(ReadRecoveryJournalInfo(short_sizes));
}

TEST(RecoveryJournalTest, LivesUnderTheStateFolderOnePerRomAndPatch) {
  const char* old = std::getenv("XDG_STATE_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_STATE_HOME", "/tmp/state-here", 1);
  EXPECT_EQ(RecoveryFolder(), "/tmp/state-here/tarvelin-sprite-viewer/recovery");
  if (old) setenv("XDG_STATE_HOME", saved.c_str(), 1);
  else unsetenv("XDG_STATE_HOME");
  const auto a = RecoveryJournalPath("/f", "/r.nes", ""), b = RecoveryJournalPath("/f", "/r.nes", "/x.ips");
  EXPECT_NE(a, b);
  EXPECT_EQ(a, RecoveryJournalPath("/f", "/r.nes", ""));
  EXPECT_EQ(a.parent_path(), "/f");
}

}  // namespace
