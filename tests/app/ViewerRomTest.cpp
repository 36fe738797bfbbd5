// The ROM as a document in the window: undo of edits, saving the ROM, patches
// out and in, and the question before unsaved edits are lost.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <QStatusBar>
#include <QUndoStack>
#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

#include "app/edit/TarvelinRomCommands.h"
#include "rom/TarvelinRomEdits.h"
#include "tests/app/ViewerTestSupport.h"

namespace viewer_test {
namespace {

std::vector<std::uint8_t> ReadFile(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ViewerRomTest : public ViewerTest {
protected:
  void SetUp() override {
    ViewerTest::SetUp();
    Form1->UnsavedEditsDialog = [this] {
      ++Asked;
      return Answer;
    };
    Form1->OverwriteRomDialog = [this](const std::string& Path) {
      OverwriteAsked.push_back(Path);
      return Overwrite;
    };
    Form1->SaveDialog = [this](const std::string& Filter, const std::string& Proposed) {
      Offered.push_back({Filter, Proposed});
      return Chosen;
    };
    Form1->ChangedOnDiskDialog = [this](const std::string& Path) {
      ChangedAsked.push_back(Path);
      return OnChange;
    };
    Form1->EmptyPatchDialog = [this](const std::string&) {
      ++EmptyAsked;
      return false;
    };
  }
  std::string Status() const { return Form1->statusBar()->currentMessage().toStdString(); }
  // One drag of sprite 0 of pattern $010 through the positions given, as one gesture.
  void Drag(std::initializer_list<std::pair<int, int>> Positions) {
    const int gesture = TRomCommand::NewGesture();
    for (const auto& [y, x] : Positions)
      Form1->RomUndoStack->push(new TMoveSpriteCommand(
          RomDocument, SetSpritePosition(RomDocument, {0, 0x010}, 0, y, x), "スプライト 0 を移動", gesture));
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Dir.Path()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  int AlignAt() const {
    const int base = DemoRom::BankBases[0];
    return AlignOffsetIn(Image, base, Image[static_cast<std::size_t>(FrameOffsetIn(Image, base, 0x010) + 2)]);
  }

  int Asked = 0;
  TForm1::TUnsavedEdits Answer = TForm1::TUnsavedEdits::Cancel;
  bool Overwrite = true;
  std::vector<std::string> OverwriteAsked;
  std::optional<std::string> Chosen;
  std::vector<std::pair<std::string, std::string>> Offered;
  std::vector<std::string> ChangedAsked;
  TForm1::TChangedOnDisk OnChange = TForm1::TChangedOnDisk::Cancel;
  int EmptyAsked = 0;
};

TEST_F(ViewerRomTest, ADragIsOneUndoStepAndSavingWritesTheWholeImage) {
  EXPECT_FALSE(Form1->SaveRom1->isEnabled());
  OpenDemo();
  EXPECT_TRUE(Form1->SaveRom1->isEnabled() && Form1->SaveRomAs1->isEnabled() && Form1->ExportPatch1->isEnabled());
  Drag({{0x01, 0x02}, {0x03, 0x04}, {-2, -3}});
  EXPECT_EQ(Form1->RomUndoStack->count(), 1);
  EXPECT_EQ(Form1->RomUndoStack->undoText().toStdString(), "スプライト 0 を移動");
  const int at = AlignAt();
  EXPECT_EQ(PrgData[static_cast<std::size_t>(at)], 0xFE);
  EXPECT_EQ(PrgData[static_cast<std::size_t>(at + 1)], 0xFD);
  Form1->RomUndoStack->undo();
  EXPECT_TRUE(BuffersHoldDemo());
  EXPECT_FALSE(RomDocument.IsModified());
  Form1->RomUndoStack->redo();
  EXPECT_TRUE(RomDocument.IsModified());
  // A drag that ends where it began leaves no step behind.
  Drag({{0x40, 0x40}, {0xFE, 0xFD}});
  EXPECT_EQ(Form1->RomUndoStack->count(), 1);

  Overwrite = false;
  Form1->SaveRom1->trigger();
  EXPECT_EQ(OverwriteAsked, std::vector<std::string>{RomPath});
  EXPECT_EQ(ReadFile(RomPath), Image);
  Overwrite = true;
  Form1->SaveRom1->trigger();
  EXPECT_EQ(ReadFile(RomPath), RomDocument.Image());
  EXPECT_NE(ReadFile(RomPath), Image);
  EXPECT_FALSE(RomDocument.IsModified());
  EXPECT_TRUE(Shown().empty());

  // Saved under another name, the window names the new file.
  Drag({{0x10, 0x10}});
  Chosen = (Dir.Path() / "copy").string();
  Form1->SaveRomAs1->trigger();
  // Never the opened file itself: one Enter would replace it.
  EXPECT_EQ(Offered.back(), (std::pair<std::string, std::string>{TForm1::ROMOpenDialogFilter,
                                                                  (Dir.Path() / "demo-edited.nes").string()}));
  EXPECT_EQ(ReadFile(*Chosen + ".nes"), RomDocument.Image());
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer - " + *Chosen + ".nes");
}

TEST_F(ViewerRomTest, UnsavedEditsAreNeverDroppedWithoutAsking) {
  Form1->show();
  OpenDemo();
  EXPECT_TRUE(Form1->close()) << "nothing to lose, nothing asked";
  EXPECT_EQ(Asked, 0);
  Form1->show();
  Drag({{0x11, 0x22}});
  int opened = 0;
  Form1->ROMOpenDialog = [&]() -> std::optional<std::string> {
    ++opened;
    return RomPath;
  };
  Answer = TForm1::TUnsavedEdits::Cancel;
  Form1->Open1->trigger();
  EXPECT_FALSE(Form1->close());
  EXPECT_EQ(Asked, 2);
  EXPECT_EQ(opened, 0);
  EXPECT_TRUE(Form1->isVisible());
  EXPECT_TRUE(RomDocument.IsModified());

  // Saving first: a refused overwrite keeps the window and the edits.
  Answer = TForm1::TUnsavedEdits::Save;
  Overwrite = false;
  EXPECT_FALSE(Form1->close());
  EXPECT_TRUE(RomDocument.IsModified());
  Overwrite = true;
  Form1->Open1->trigger();
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(ReadFile(RomPath)[static_cast<std::size_t>(AlignAt())], 0x11);
  EXPECT_FALSE(RomDocument.IsModified());
  EXPECT_EQ(Form1->RomUndoStack->count(), 0) << "a new load starts a new history";

  Drag({{0x33, 0x44}});
  Answer = TForm1::TUnsavedEdits::Discard;
  EXPECT_TRUE(Form1->close());
  EXPECT_EQ(ReadFile(RomPath)[static_cast<std::size_t>(AlignAt())], 0x11);
}

// While the guard lives, no file may grow past Bytes, as on a nearly full disk.
class TFileSizeLimit {
public:
  explicit TFileSizeLimit(rlim_t Bytes) {
    getrlimit(RLIMIT_FSIZE, &FOld);
    FOldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = FOld;
    limit.rlim_cur = Bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &FOld);
    signal(SIGXFSZ, FOldHandler);
  }

private:
  rlimit FOld{};
  sighandler_t FOldHandler;
};

TEST_F(ViewerRomTest, AFailedWriteLeavesTheOldFileWholeAndNoTemporaryFile) {
  OpenDemo();
  Drag({{0x55, 0x66}});
  const std::string patch = (Dir.Path() / "edits.ips").string();
  Dir.Write("edits.ips", {'o', 'l', 'd'});
  const auto before = Files();
  {
    const TFileSizeLimit full(8);
    Form1->SaveRom1->trigger();
    Chosen = patch;
    Form1->ExportPatch1->trigger();
  }
  ASSERT_EQ(Shown().size(), 2u);
  EXPECT_EQ(Shown()[0].Text, "ファイル " + RomPath + " を作成できません: ファイルが大きすぎます");
  EXPECT_EQ(Shown()[1].Text, "ファイル " + patch + " を作成できません: ファイルが大きすぎます");
  EXPECT_EQ(ReadFile(RomPath), Image);
  EXPECT_EQ(ReadFile(patch), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(Files(), before);
  EXPECT_TRUE(RomDocument.IsModified());
}

TEST_F(ViewerRomTest, ExportedPatchesGiveTheEditedImage) {
  OpenDemo();
  Drag({{0x01, 0x01}});
  Form1->RomUndoStack->push(new TPaintTileCommand(RomDocument, SetChrPixel(RomDocument, 7, 9, 3, 4, 2), "タイル",
                                                  TRomCommand::NewGesture()));
  for (const char* name : {"edits.ips", "edits.bps"}) {
    Chosen = (Dir.Path() / name).string();
    Form1->ExportPatch1->trigger();
    EXPECT_EQ(ApplyPatch(Image, ReadFile(*Chosen), RomImageSize), RomDocument.Image()) << name;
  }
  EXPECT_EQ(Offered[0], (std::pair<std::string, std::string>{TForm1::PatchSaveFilter, (Dir.Path() / "demo.ips").string()}));
  const auto bps = ReadFile(*Chosen);
  EXPECT_EQ(std::vector<std::uint8_t>(bps.begin(), bps.begin() + 4), (std::vector<std::uint8_t>{'B', 'P', 'S', '1'}));
}

TEST_F(ViewerRomTest, APatchedRomOpensUnmodifiedWithThePatchInTheCaption) {
  std::vector<std::uint8_t> hack = Image;
  const int base = DemoRom::BankBases[0];
  const int frame = FrameOffsetIn(Image, base, 0);
  hack[static_cast<std::size_t>(frame)] ^= 0x01;  // pattern $000's CHR bank
  const std::string ips = Dir.Write("hack.ips", CreatePatch(TPatchFormat::Ips, Image, hack));
  Form1->ROMOpenDialog = [this]() -> std::optional<std::string> { return RomPath; };
  Form1->PatchOpenDialog = [ips]() -> std::optional<std::string> { return ips; };
  Form1->OpenPatched1->trigger();
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer - " + RomPath + " + hack.ips");
  EXPECT_EQ(RomDocument.Image(), hack);
  EXPECT_FALSE(RomDocument.IsModified());
  ShowSpritePage();
  EXPECT_EQ(Text(Form1->LblSCHRBank), Hex(hack[static_cast<std::size_t>(frame)], 2, "$"));

  // Saving a patched ROM asks for a name: the unpatched file stays.
  Chosen = std::nullopt;
  Form1->SaveRom1->trigger();
  EXPECT_TRUE(OverwriteAsked.empty());
  EXPECT_EQ(Offered.size(), 1u);

  // A BPS made for another ROM is refused; what is open stays open.
  std::vector<std::uint8_t> other = Image;
  other[0x30000] ^= 0xFF;
  const std::string bps = Dir.Write("other.bps", CreatePatch(TPatchFormat::Bps, other, hack));
  Form1->PatchOpenDialog = [bps]() -> std::optional<std::string> { return bps; };
  Form1->OpenPatched1->trigger();
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].Text.rfind("パッチ " + bps + ": ", 0), 0u) << "names the patch: " << Shown()[0].Text;
  EXPECT_NE(Shown()[0].Text.find("元のROMの CRC"), std::string::npos) << Shown()[0].Text;
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer - " + RomPath + " + hack.ips");
  EXPECT_EQ(RomDocument.Image(), hack);
}

// Ctrl+S, Ctrl+S again and an export: the patch turns the file as first opened
// into the image shown, however often it was saved; after a patch, the clean ROM.
TEST_F(ViewerRomTest, PatchesTakeTheFileAsOpenedWhateverWasSavedSince) {
  const auto crc = [](const std::vector<std::uint8_t>& Bytes) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(crc32(0, Bytes.data(), static_cast<uInt>(Bytes.size()))));
    return std::string(text);
  };
  OpenDemo();
  const std::size_t at = static_cast<std::size_t>(AlignAt());
  Drag({{0x01, 0x02}});
  Form1->SaveRom1->trigger();
  EXPECT_EQ(Status(), "ROMを保存しました: " + RomPath + " (524304 バイト)、前回の保存から変わったのは 2 バイト (1 か所)");
  Drag({{0x03, 0x02}});
  Form1->SaveRom1->trigger();
  EXPECT_EQ(OverwriteAsked.size(), 1u) << "asked the first time only";
  Drag({{0x05, 0x02}});
  const std::vector<std::uint8_t> opened = Image;  // as the file was before the first save
  Chosen = (Dir.Path() / "all.ips").string();
  Form1->ExportPatch1->trigger();
  std::vector<std::uint8_t> shown = opened;
  shown[at] = 0x05, shown[at + 1] = 0x02;
  EXPECT_EQ(RomDocument.Image(), shown);
  EXPECT_EQ(ApplyPatch(opened, ReadFile(*Chosen), RomImageSize), shown);
  EXPECT_EQ(Status(), "IPSパッチを書き出しました: " + *Chosen + " (" + std::to_string(ReadFile(*Chosen).size()) +
                          " バイト)、元のROM demo.nes (CRC32 " + crc(opened) + ") との違いは 2 バイト (1 か所)");
  // Back as opened: a patch of nothing is asked for first, and here refused.
  Drag({{static_cast<int>(opened[at]), static_cast<int>(opened[at + 1])}});
  Chosen = (Dir.Path() / "none.ips").string();
  Form1->ExportPatch1->trigger();
  EXPECT_EQ(EmptyAsked, 1);
  EXPECT_FALSE(std::filesystem::exists(*Chosen));

  // Opened with a hack: the exported patch goes from the clean ROM to the hack and the edits.
  std::vector<std::uint8_t> hack = opened;
  hack[0x30000] ^= 0xA5;
  hack[at + 1] = 0x77;
  Form1->ROMOpenDialog = [this]() -> std::optional<std::string> { return RomPath; };
  const std::string ips = Dir.Write("hack.ips", CreatePatch(TPatchFormat::Ips, ReadFile(RomPath), hack));
  Form1->PatchOpenDialog = [ips]() -> std::optional<std::string> { return ips; };
  Answer = TForm1::TUnsavedEdits::Discard;
  Form1->OpenPatched1->trigger();
  Drag({{0x09, 0x08}});
  const std::vector<std::uint8_t> clean = ReadFile(RomPath);
  for (const char* name : {"hack2.ips", "hack2.bps"}) {
    Chosen = (Dir.Path() / name).string();
    Form1->ExportPatch1->trigger();
    std::vector<std::uint8_t> expected = hack;
    expected[at] = 0x09, expected[at + 1] = 0x08;
    EXPECT_EQ(ApplyPatch(clean, ReadFile(*Chosen), RomImageSize), expected) << name;
  }
  EXPECT_EQ(EmptyAsked, 1);
}

// Before Ctrl+S replaces the file, it checks the file is still what was loaded
// or saved; what another program did decides whether it asks.
TEST_F(ViewerRomTest, AFileChangedByAnotherProgramIsNotReplacedWithoutAsking) {
  const struct {
    const char* Name;
    std::function<void(const std::string&, std::vector<std::uint8_t>)> Other;
    bool Asked;
  } cases[] = {
      {"nothing", [](const std::string&, std::vector<std::uint8_t>) {}, false},
      {"the same bytes written again", [](const std::string& P, std::vector<std::uint8_t> B) {
         std::ofstream(P, std::ios::binary).write(reinterpret_cast<const char*>(B.data()), static_cast<std::streamsize>(B.size()));
       }, false},
      {"one byte rewritten in place", [](const std::string& P, std::vector<std::uint8_t> B) {
         B[0x20000] ^= 1;
         std::ofstream(P, std::ios::binary).write(reinterpret_cast<const char*>(B.data()), static_cast<std::streamsize>(B.size()));
       }, true},
      {"replaced by a shorter file", [](const std::string& P, std::vector<std::uint8_t> B) {
         B.resize(0x40010);
         const std::string other = P + ".new";
         std::ofstream(other, std::ios::binary).write(reinterpret_cast<const char*>(B.data()), static_cast<std::streamsize>(B.size()));
         std::filesystem::rename(other, P);
       }, true},
      {"removed", [](const std::string& P, std::vector<std::uint8_t>) { std::filesystem::remove(P); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Dir.Write("demo.nes", Image);
    OpenDemo();
    Drag({{0x21, 0x22}});
    c.Other(RomPath, Image);
    const auto before = std::filesystem::exists(RomPath) ? ReadFile(RomPath) : std::vector<std::uint8_t>{};
    ChangedAsked.clear();
    OnChange = TForm1::TChangedOnDisk::Cancel;
    Form1->SaveRom1->trigger();
    EXPECT_EQ(ChangedAsked.size(), c.Asked ? 1u : 0u);
    EXPECT_EQ(ReadFile(RomPath), c.Asked ? before : RomDocument.Image());
    if (!c.Asked) continue;
    // Under another name, then over it when told to.
    OnChange = TForm1::TChangedOnDisk::SaveAs;
    Chosen = (Dir.Path() / "mine.nes").string();
    Form1->SaveRom1->trigger();
    EXPECT_EQ(ReadFile(*Chosen), RomDocument.Image());
    EXPECT_EQ(ReadFile(RomPath), before);
    Open(RomPath);
    Drag({{0x31, 0x32}});
    c.Other(RomPath, ReadFile(RomPath));
    OnChange = TForm1::TChangedOnDisk::Overwrite;
    Form1->SaveRom1->trigger();
    EXPECT_EQ(ReadFile(RomPath), RomDocument.Image());
  }
  EXPECT_TRUE(Shown().empty());
}

TEST_F(ViewerRomTest, AFailedSaveSaysWhyInJapanese) {
  OpenDemo();
  Drag({{0x41, 0x42}});
  std::filesystem::create_directory(Dir.Path() / "folder.nes");
  const struct {
    std::string Chosen;
    const char* Reason;
  } cases[] = {
      {(Dir.Path() / "missing" / "x.nes").string(), "フォルダがありません"},
      {(Dir.Path() / "folder.nes").string(), "同じ名前のフォルダがあります"},
      {(Dir.Path() / (std::string(300, 'n') + ".nes")).string(), "名前が長すぎます"},
      {(Dir.Path() / "demo.nes" / "x.nes").string(), "途中の名前がフォルダではありません"},
      {"/proc/x.nes", "書き込みが許可されていません"},
  };
  for (const auto& c : cases) {
    Chosen = c.Chosen;
    Form1->SaveRomAs1->trigger();
    ASSERT_FALSE(Shown().empty());
    EXPECT_EQ(Shown().back().Text, "ファイル " + c.Chosen + " を作成できません: " + c.Reason);
  }
  EXPECT_EQ(Shown().size(), std::size(cases));
  EXPECT_TRUE(RomDocument.IsModified());
  EXPECT_EQ(ReadFile(RomPath), Image);
}

// A save killed at any moment leaves the file as it was or as saved, whole.
TEST_F(ViewerRomTest, AKilledSaveLeavesTheOldFileWhole) {
  OpenDemo();
  const std::size_t at = static_cast<std::size_t>(AlignAt());
  std::vector<std::uint8_t> edited = Image;
  edited[at] ^= 0x80;
  std::mt19937 random(26);
  for (int round = 0; round < 12; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Saves the edited and the opened image in turn until killed.
      for (;;) {
        const std::uint8_t now = RomDocument.Byte(static_cast<int>(at));
        RomDocument.Apply(TRomChange{{{static_cast<int>(at), now, static_cast<std::uint8_t>(now ^ 0x80)}}});
        Form1->SaveRom1Click();
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 20000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const auto file = ReadFile(RomPath);
    EXPECT_TRUE(file == Image || file == edited) << "round " << round << ": " << file.size() << " bytes";
  }
  // A kill between naming the new file and renaming it leaves the name; the next save clears it.
  OnChange = TForm1::TChangedOnDisk::Overwrite;
  Form1->SaveRom1Click();
  EXPECT_EQ(ReadFile(RomPath), Image);
  for (const auto& entry : std::filesystem::directory_iterator(Dir.Path()))
    EXPECT_TRUE(entry.path() == RomPath || entry.path().filename() == "fcpalette.pal") << entry.path();
}

}  // namespace
}  // namespace viewer_test
