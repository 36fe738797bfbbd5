// The ROM as a document in the window: undo of edits, saving the ROM, patches
// out and in, and the question before unsaved edits are lost.

#include <signal.h>
#include <sys/resource.h>

#include <QUndoStack>
#include <fstream>
#include <iterator>

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
  }
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
  EXPECT_NE(Shown()[0].Text.find(RomPath), std::string::npos) << Shown()[0].Text;
  EXPECT_NE(Shown()[1].Text.find(patch), std::string::npos) << Shown()[1].Text;
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
  EXPECT_NE(Shown()[0].Text.find("元のROMの CRC"), std::string::npos) << Shown()[0].Text;
  EXPECT_EQ(Caption(), "TARVELIN Sprite Viewer - " + RomPath + " + hack.ips");
  EXPECT_EQ(RomDocument.Image(), hack);
}

}  // namespace
}  // namespace viewer_test
