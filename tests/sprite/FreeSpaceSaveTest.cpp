// The free map's file beside the ROM: read at open, written with the save only
// when there is something to keep, and a file that cannot be read left alone.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "rom/TarvelinFreeSpaceFile.h"
#include "sprite/TarvelinFreeSpaceSave.h"
#include "tests/support/FileTestSupport.h"

namespace {

std::string Text(const std::filesystem::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return in ? text.str() : "(none)";
}

TEST(FreeSpaceSaveTest, TheMapTravelsWithTheRomAndABadFileIsKept) {
  const std::string head = "TARVELIN free space 1\n";
  const std::string written = head + "# first and last file offset of each free range\n";
  const struct {
    const char* Name;
    std::string Beside;     // the file at open, or "(none)"
    bool Edit;              // a range $2A000-$2A00F added before the save
    bool SaveAs;            // saved as h.nes beside it
    std::string Message;    // shown at open
    std::string AfterSave;  // the file beside the ROM after the save
  } cases[] = {
      {"nothing declared, nothing written", "(none)", false, false, "", "(none)"},
      {"nothing declared, nothing written elsewhere", "(none)", false, true, "", "(none)"},
      {"the user's own file stays as written", "# mine\n" + head + "$2C900 $2C94F\n", false, false, "",
       "# mine\n" + head + "$2C900 $2C94F\n"},
      {"a declared range goes with the ROM", head + "$2C900 $2C94F\n", false, true, "", written + "$2C900 $2C94F\n"},
      {"an empty map goes nowhere", head, false, true, "", "(none)"},
      {"an edit is written", "(none)", true, false, "", written + "$2A000 $2A00F\n"},
      {"a bad file is left alone", head + "$2A0FF $2A000\n", false, false,
       "空き領域ファイルの 2 行目: 最初の位置が最後の位置より後ろです", head + "$2A0FF $2A000\n"},
      {"an edit replaces a bad file", head + "oops\n", true, false,
       "空き領域ファイルの 2 行目: 最初と最後のファイル位置が要ります", written + "$2A000 $2A00F\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestDirectory dir(std::string("free-space-save-") + std::to_string(&c - cases));
    TMessageCapture messages;
    std::vector<std::uint8_t> rom(0x40010, 0);
    rom[0] = 'N', rom[1] = 'E', rom[2] = 'S', rom[3] = 0x1A;
    const std::string path = dir.Write("g.nes", rom);
    if (c.Beside != "(none)")
      dir.Write("g.nes.tarvelin-free", std::vector<std::uint8_t>(c.Beside.begin(), c.Beside.end()));
    auto prg = std::make_unique<TPrgData>();
    auto chr = std::make_unique<TChrData>();
    TRomDocument document(*prg, *chr);
    ASSERT_TRUE(document.Load(path));
    if (c.Message.empty())
      EXPECT_TRUE(messages.Shown().empty());
    else
      messages.ExpectOnly(c.Message);
    EXPECT_FALSE(document.IsModified());
    if (c.Edit) {
      TFreeMap free = document.FreeSpace();
      free.Add({0x2A000, 0x2A010});
      document.SetFreeSpace(free);
      EXPECT_TRUE(document.IsModified());
    }
    const std::string target = c.SaveAs ? (dir.Path() / "h.nes").string() : path;
    // As the window saves: the ROM, then the document told, which writes the map first.
    document.SetSaveCompanion([&](const std::string& Name) { WriteFreeSpaceBeside(document, Name); });
    document.Saved(target);
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(Text(target + ".tarvelin-free"), c.AfterSave);
  }
}

}  // namespace
